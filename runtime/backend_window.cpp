// A real SDL2 window. Supports: a resizable window opened maximised and shown only once it has
// a picture, drawn at the window's own resolution (the drawing replayed at its scale, aspect kept,
// centred, drawn again on a resize or a move to another monitor), typed text (including
// input-method text), Enter, keypad Enter, Backspace, Delete, Escape as the clear key, F1 to F12,
// and the close box. A page in a web browser has its own (backend_browser.cpp).
#ifndef __EMSCRIPTEN__

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "runtime/backend.h"
#include "runtime/drawing.h"
#include "runtime/keyinput.h"
#include "runtime/options.h"

namespace rt {

namespace {

// While text is being composed the input method may hand it over with no window event to wake
// the wait; the wait then looks again this often.
constexpr int kComposingWaitMs = 20;

class WindowBackend final : public Backend {
public:
    WindowBackend(const std::string& title, int width, int height, Glyphs& glyphs)
        : width_(width), height_(height), glyphs_(glyphs), shown_(static_cast<size_t>(width) * height, 0) {
        // The window surface is updated a few cells at a time; the system's own framebuffer
        // (shared memory on X11) does that at once, where a GL-backed one redraws the window.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // Only a desktop's window system will do: without one SDL would fall back to drawing on
        // the console or into nowhere, and the pupil would see no window.
        if (!SDL_getenv("SDL_VIDEODRIVER")) {
            std::string drivers;
            if (SDL_getenv("DISPLAY")) drivers = "x11";
            if (SDL_getenv("WAYLAND_DISPLAY")) drivers += drivers.empty() ? "wayland" : ",wayland";
            if (drivers.empty())
                throw StartupError(
                    "no display: neither DISPLAY nor WAYLAND_DISPLAY is set (run with --headless)");
            SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
        }
        if (SDL_Init(SDL_INIT_VIDEO) != 0)
            throw StartupError(std::string("no display: ") + SDL_GetError() +
                               " (run with --headless, or set DISPLAY)");
        // Opened at the size it will have once maximised, so the first picture is drawn at the
        // right scale, and hidden until that picture is ready.
        SDL_Rect usable{0, 0, width * 2 / 3, height * 2 / 3};
        SDL_GetDisplayUsableBounds(0, &usable);
        window_ = SDL_CreateWindow(
            title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, usable.w, usable.h,
            SDL_WINDOW_RESIZABLE | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
        if (!window_) throw StartupError(std::string("cannot open a window: ") + SDL_GetError());
        // Below this the smallest text loses its strokes.
        SDL_SetWindowMinimumSize(window_, width * 6 / 10, height * 6 / 10);
        SDL_StartTextInput();
        redraw_ = true;
    }

    ~WindowBackend() override {
        if (window_) SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    void maximise() override { SDL_MaximizeWindow(window_); }

    bool pump(std::deque<char32_t>& keys, const std::array<Text, 12>& functionKeys) override {
        SDL_Event ev;
        bool closed = false;
        while (SDL_PollEvent(&ev)) {
            switch (ev.type) {
                case SDL_QUIT:
                    closed = true;
                    break;
                case SDL_WINDOWEVENT:
                    if (ev.window.event == SDL_WINDOWEVENT_CLOSE) closed = true;
                    if (ev.window.event == SDL_WINDOWEVENT_EXPOSED ||
                        ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                        ev.window.event == SDL_WINDOWEVENT_RESTORED ||
                        ev.window.event == SDL_WINDOWEVENT_MAXIMIZED)
                        redraw_ = true;
                    break;
                case SDL_TEXTEDITING:
                    input_.composing(ev.edit.text[0] != '\0', ev.edit.timestamp);
                    break;
                case SDL_TEXTINPUT:
                    // Printable characters come only from here: their key-down would double them.
                    input_.committed(fromUtf8(ev.text.text), ev.text.timestamp, keys);
                    break;
                case SDL_KEYDOWN:
                    key(ev.key.keysym.sym, ev.key.timestamp, keys, functionKeys);
                    break;
                default:
                    break;
            }
        }
        return closed;
    }

    void present(const Canvas& canvas, const Rect& dirty, const DrawList& drawn) override {
        const bool changedPixels = !dirty.empty() && changed(canvas, dirty);
        if (!shown_once_) {
            // Shown only now, with something to show: never an empty or black window first.
            SDL_ShowWindow(window_);
            shown_once_ = true;
            redraw_ = true;
        }
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface) throw std::runtime_error(std::string("the window has no surface: ") + SDL_GetError());
        sync(surface, drawn);
        if (!iconSet_) {
            setIcon();  // after the first picture, so it never delays it
            iconSet_ = true;
        }
        if (!changedPixels && !redraw_) return;
        if (redraw_) {
            SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
            copyOut(surface, Rect{0, 0, device_->width() - 1, device_->height() - 1});
            SDL_UpdateWindowSurface(window_);
        } else if (!pending_.empty()) {
            // Only the changed part is sent: a typed character costs a few cells.
            SDL_Rect r = copyOut(surface, pending_);
            SDL_UpdateWindowSurfaceRects(window_, &r, 1);
        }
        pending_ = Rect{};
        redraw_ = false;
    }

    void wait() override {
        // Text being composed may be finished by the input method without a new key event;
        // only then is the wait bounded, so the commit is picked up soon.
        if (input_.isComposing())
            SDL_WaitEventTimeout(nullptr, kComposingWaitMs);
        else
            SDL_WaitEvent(nullptr);
    }

    bool interactive() const override { return true; }

private:
    void key(SDL_Keycode sym, Uint32 ms, std::deque<char32_t>& keys,
             const std::array<Text, 12>& functionKeys) {
        switch (sym) {
            case SDLK_RETURN:
            case SDLK_KP_ENTER:
            case SDLK_RETURN2:
                input_.control(13, ms, keys);
                return;
            case SDLK_BACKSPACE:
                input_.control(8, ms, keys);
                return;
            case SDLK_DELETE:
                input_.control(127, ms, keys);
                return;
            case SDLK_ESCAPE:
                input_.control(12, ms, keys);
                return;
            default:
                break;
        }
        if (sym >= SDLK_F1 && sym <= SDLK_F12)
            for (char32_t c : functionKeys[static_cast<size_t>(sym - SDLK_F1)]) keys.push_back(c);
    }

    // Compares the dirty part with what the window shows and copies it over; a cursor drawn and
    // erased between two polls thus costs no frame.
    bool changed(const Canvas& canvas, const Rect& d) {
        bool differs = false;
        for (int y = d.y1; y <= d.y2; ++y) {
            const size_t row = static_cast<size_t>(y) * width_;
            const auto* now = canvas.pixels().data() + row;
            auto* was = shown_.data() + row;
            if (std::equal(now + d.x1, now + d.x2 + 1, was + d.x1)) continue;
            differs = true;
            std::copy(now + d.x1, now + d.x2 + 1, was + d.x1);
        }
        return differs;
    }

    // Brings the window's own canvas up to date: the canvas is drawn again at the window's
    // scale, as large as the window allows with its aspect kept, whenever that scale changes;
    // otherwise only what was drawn since the last time is drawn.
    void sync(const SDL_Surface* s, const DrawList& drawn) {
        const double scale =
            std::min(static_cast<double>(s->w) / width_, static_cast<double>(s->h) / height_);
        size_t from = drawn.after(painted_);
        if (!device_ || scale != painter_->scale() || s->w != surfaceW_ || s->h != surfaceH_) {
            const int w = std::max(1, static_cast<int>(std::floor(width_ * scale)));
            const int h = std::max(1, static_cast<int>(std::floor(height_ * scale)));
            device_.reset();
            device_ = std::make_unique<Canvas>(w, h);
            painter_ = std::make_unique<Painter>(*device_, glyphs_, scale);
            surfaceW_ = s->w;
            surfaceH_ = s->h;
            ox_ = (s->w - w) / 2;
            oy_ = (s->h - h) / 2;
            from = 0;
            redraw_ = true;
        }
        for (size_t i = from; i < drawn.ops.size(); ++i) painter_->apply(drawn.ops[i]);
        painted_ = drawn.added;
        pending_.add(device_->takeDirty());
    }

    // The program's mark, drawn with its own painter: "x=" in white on a deep teal disc ringed in
    // yellow, 16 units at 4 pixels each; the background stays transparent.
    void setIcon() {
        constexpr int kSize = 64;
        Canvas icon(kSize, kSize);
        Painter painter(icon, glyphs_, kSize / 16.0);
        painter.apply(op::Circle{7.5f, 7.5f, 7.5f, 10, true});
        painter.apply(op::Circle{7.5f, 7.5f, 7.5f, 13, false});
        painter.apply(op::Glyphs{0, 0, U"x=", 1, 1, 15});
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kSize, kSize, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!s) return;  // a window without its icon still works
        for (int y = 0; y < kSize; ++y) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
            for (int x = 0; x < kSize; ++x) {
                const std::uint8_t c = icon.at(x, y);
                row[x] = c == 0 ? 0 : 0xFF000000u | kPalette[c];
            }
        }
        SDL_SetWindowIcon(window_, s);
        SDL_FreeSurface(s);
    }

    // Copies device rectangle r into the window surface in its colours; returns where it went.
    SDL_Rect copyOut(SDL_Surface* s, const Rect& r) {
        Uint32 colours[16];
        for (int i = 0; i < 16; ++i)
            colours[i] = SDL_MapRGB(s->format, static_cast<Uint8>(kPalette[i] >> 16),
                                    static_cast<Uint8>(kPalette[i] >> 8), static_cast<Uint8>(kPalette[i]));
        const int x1 = std::max(r.x1, -ox_), x2 = std::min(r.x2, s->w - 1 - ox_);
        const int y1 = std::max(r.y1, -oy_), y2 = std::min(r.y2, s->h - 1 - oy_);
        if (x1 > x2 || y1 > y2) return SDL_Rect{0, 0, 0, 0};
        const int bpp = s->format->BytesPerPixel;
        if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
        for (int y = y1; y <= y2; ++y) {
            Uint8* out = static_cast<Uint8*>(s->pixels) + static_cast<size_t>(y + oy_) * s->pitch;
            const std::uint8_t* src = device_->pixels().data() + static_cast<size_t>(y) * device_->width();
            if (bpp == 4) {
                auto* row = reinterpret_cast<Uint32*>(out);
                for (int x = x1; x <= x2; ++x) row[x + ox_] = colours[src[x]];
            } else {
                for (int x = x1; x <= x2; ++x)
                    std::memcpy(out + static_cast<size_t>(x + ox_) * bpp, &colours[src[x]],
                                static_cast<size_t>(bpp));
            }
        }
        if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
        return SDL_Rect{x1 + ox_, y1 + oy_, x2 - x1 + 1, y2 - y1 + 1};
    }

    int width_, height_;
    Glyphs& glyphs_;
    SDL_Window* window_ = nullptr;
    std::vector<std::uint8_t> shown_;  // the unit canvas as the window last showed it
    std::unique_ptr<Canvas> device_;   // the picture at the window's scale
    std::unique_ptr<Painter> painter_;
    std::uint64_t painted_ = 0;  // the serial of the last operation in device_
    Rect pending_;               // device pixels changed but not yet sent
    int surfaceW_ = 0, surfaceH_ = 0, ox_ = 0, oy_ = 0;
    KeyInput input_;
    bool shown_once_ = false;
    bool iconSet_ = false;
    bool redraw_ = false;
};

}  // namespace

std::unique_ptr<Backend> makeWindowBackend(const std::string& title, int width, int height, Glyphs& glyphs) {
    return std::make_unique<WindowBackend>(title, width, height, glyphs);
}

}  // namespace rt

#endif
