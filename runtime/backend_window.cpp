// A real SDL2 window. Supports: a resizable window opened maximised, the canvas scaled to it with
// its aspect kept, typed text (including input-method text), Enter, keypad Enter, Backspace,
// Delete, Escape as the clear key, F1 to F12, and the close box.
#include <SDL.h>

#include <algorithm>
#include <vector>

#include "runtime/backend.h"
#include "runtime/options.h"

namespace rt {

namespace {

class WindowBackend final : public Backend {
public:
    WindowBackend(const std::string& title, int width, int height) : shown_(static_cast<size_t>(width) * height, 0) {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "1");
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        if (SDL_Init(SDL_INIT_VIDEO) != 0)
            throw StartupError(std::string("no display: ") + SDL_GetError() + " (run with --headless, or set DISPLAY)");
        window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * 2 / 3,
                                   height * 2 / 3, SDL_WINDOW_RESIZABLE | SDL_WINDOW_MAXIMIZED);
        if (!window_) throw StartupError(std::string("cannot open a window: ") + SDL_GetError());
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) throw StartupError(std::string("cannot draw in the window: ") + SDL_GetError());
        SDL_RenderSetLogicalSize(renderer_, width, height);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (!texture_) throw StartupError(std::string("cannot make the screen texture: ") + SDL_GetError());
        rgb_.assign(static_cast<size_t>(width) * height, 0);
        SDL_UpdateTexture(texture_, nullptr, rgb_.data(), width * 4);
        SDL_StartTextInput();
        redraw_ = true;
    }

    ~WindowBackend() override {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
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
                    if (ev.window.event == SDL_WINDOWEVENT_EXPOSED || ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                        ev.window.event == SDL_WINDOWEVENT_RESTORED || ev.window.event == SDL_WINDOWEVENT_MAXIMIZED)
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
        if (!dirty.empty() && changed(canvas, dirty)) {
            SDL_Rect r{dirty.x1, dirty.y1, dirty.x2 - dirty.x1 + 1, dirty.y2 - dirty.y1 + 1};
            SDL_UpdateTexture(texture_, &r, rgb_.data() + static_cast<size_t>(dirty.y1) * canvas.width() + dirty.x1,
                              canvas.width() * 4);
            redraw_ = true;
        }
        if (!redraw_) return;
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
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
    // erased between two polls thus costs no upload and no frame.
    bool changed(const Canvas& canvas, const Rect& d) {
        bool differs = false;
        const int w = canvas.width();
        for (int y = d.y1; y <= d.y2; ++y) {
            const size_t row = static_cast<size_t>(y) * w;
            const auto* now = canvas.pixels().data() + row;
            auto* was = shown_.data() + row;
            if (std::equal(now + d.x1, now + d.x2 + 1, was + d.x1)) continue;
            differs = true;
            std::copy(now + d.x1, now + d.x2 + 1, was + d.x1);
            for (int x = d.x1; x <= d.x2; ++x) rgb_[row + x] = kPalette[now[x]];
        }
        return differs;
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::vector<std::uint8_t> shown_;  // palette numbers of what the window shows
    std::vector<std::uint32_t> rgb_;
    bool redraw_ = false;
};

}  // namespace

std::unique_ptr<Backend> makeWindowBackend(const std::string& title, int width, int height) {
    return std::make_unique<WindowBackend>(title, width, height);
}

}  // namespace rt
