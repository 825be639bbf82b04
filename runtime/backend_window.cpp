// A real SDL2 window. Supports: a resizable window opened maximised, the canvas scaled to it with
// its aspect kept, typed text (including input-method text), Enter, keypad Enter, Backspace,
// Delete, Escape as the clear key, F1 to F12, and the close box.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "runtime/backend.h"
#include "runtime/options.h"

namespace rt {

namespace {

class WindowBackend final : public Backend {
public:
    WindowBackend(const std::string& title, int width, int height)
        : width_(width), height_(height), shown_(static_cast<size_t>(width) * height, 0) {
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
        window_ =
            SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * 2 / 3,
                             height * 2 / 3, SDL_WINDOW_RESIZABLE | SDL_WINDOW_MAXIMIZED);
        if (!window_) throw StartupError(std::string("cannot open a window: ") + SDL_GetError());
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
                case SDL_TEXTINPUT:
                    // Printable characters come only from here: their key-down would double them.
                    for (char32_t c : fromUtf8(ev.text.text)) keys.push_back(c);
                    break;
                case SDL_KEYDOWN:
                    key(ev.key.keysym.sym, keys, functionKeys);
                    break;
                default:
                    break;
            }
        }
        return closed;
    }

    void present(const Canvas& canvas, const Rect& dirty) override {
        const bool changedPixels = !dirty.empty() && changed(canvas, dirty);
        if (!changedPixels && !redraw_) return;
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface) throw std::runtime_error(std::string("the window has no surface: ") + SDL_GetError());
        if (redraw_) {
            SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
            SDL_Rect all = scaleRect(surface, Rect{0, 0, width_ - 1, height_ - 1});
            scaleInto(surface, all);
            SDL_UpdateWindowSurface(window_);
        } else {
            // Only the changed part is scaled and sent: a typed character costs a few cells.
            SDL_Rect r = scaleRect(surface, dirty);
            scaleInto(surface, r);
            SDL_UpdateWindowSurfaceRects(window_, &r, 1);
        }
        redraw_ = false;
    }

    void wait(int ms) override { SDL_WaitEventTimeout(nullptr, ms); }

    bool interactive() const override { return true; }

private:
    static void key(SDL_Keycode sym, std::deque<char32_t>& keys, const std::array<Text, 12>& functionKeys) {
        switch (sym) {
            case SDLK_RETURN:
            case SDLK_KP_ENTER:
            case SDLK_RETURN2:
                keys.push_back(13);
                return;
            case SDLK_BACKSPACE:
                keys.push_back(8);
                return;
            case SDLK_DELETE:
                keys.push_back(127);
                return;
            case SDLK_ESCAPE:
                keys.push_back(12);
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

    // The canvas is shown as large as the window allows with its aspect kept, centred.
    void placement(const SDL_Surface* s, double& scale, int& ox, int& oy) const {
        scale = std::min(static_cast<double>(s->w) / width_, static_cast<double>(s->h) / height_);
        ox = static_cast<int>((s->w - width_ * scale) / 2);
        oy = static_cast<int>((s->h - height_ * scale) / 2);
    }

    // The window pixels that show canvas rectangle r.
    SDL_Rect scaleRect(const SDL_Surface* s, const Rect& r) const {
        double k;
        int ox, oy;
        placement(s, k, ox, oy);
        int x1 = ox + static_cast<int>(std::floor(r.x1 * k)),
            y1 = oy + static_cast<int>(std::floor(r.y1 * k));
        int x2 = ox + static_cast<int>(std::ceil((r.x2 + 1) * k)),
            y2 = oy + static_cast<int>(std::ceil((r.y2 + 1) * k));
        x1 = std::max(x1, 0);
        y1 = std::max(y1, 0);
        x2 = std::min(x2, s->w);
        y2 = std::min(y2, s->h);
        return SDL_Rect{x1, y1, std::max(0, x2 - x1), std::max(0, y2 - y1)};
    }

    // Nearest-neighbour scaling of what the window shows into window rectangle r.
    void scaleInto(SDL_Surface* s, const SDL_Rect& r) {
        double k;
        int ox, oy;
        placement(s, k, ox, oy);
        Uint32 colours[16];
        for (int i = 0; i < 16; ++i)
            colours[i] = SDL_MapRGB(s->format, static_cast<Uint8>(kPalette[i] >> 16),
                                    static_cast<Uint8>(kPalette[i] >> 8), static_cast<Uint8>(kPalette[i]));
        const int bpp = s->format->BytesPerPixel;
        if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
        for (int y = r.y; y < r.y + r.h; ++y) {
            const int cy = static_cast<int>((y - oy) / k);
            if (cy < 0 || cy >= height_) continue;
            Uint8* out = static_cast<Uint8*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
            const std::uint8_t* src = shown_.data() + static_cast<size_t>(cy) * width_;
            for (int x = r.x; x < r.x + r.w; ++x) {
                const int cx = static_cast<int>((x - ox) / k);
                if (cx < 0 || cx >= width_) continue;
                std::memcpy(out + static_cast<size_t>(x) * bpp, &colours[src[cx]], static_cast<size_t>(bpp));
            }
        }
        if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    }

    int width_, height_;
    SDL_Window* window_ = nullptr;
    std::vector<std::uint8_t> shown_;  // palette numbers of what the window shows
    bool redraw_ = false;
};

}  // namespace

std::unique_ptr<Backend> makeWindowBackend(const std::string& title, int width, int height) {
    return std::make_unique<WindowBackend>(title, width, height);
}

}  // namespace rt
