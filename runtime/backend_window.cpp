// A real SDL2 window. Supports: a resizable window opened maximised and shown only once it has
// a picture, drawn at the window's own resolution (the drawing replayed at its scale, aspect kept,
// centred, drawn again on a resize or a move to another monitor), typed text (including
// input-method text), Enter, keypad Enter, Backspace, Delete, Escape as the clear key, F1 to F12,
// and the close box. A page in a web browser has its own (backend_browser.cpp).
#ifndef __EMSCRIPTEN__

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11) && !defined(__EMSCRIPTEN__)
#define DRILLS_WAIT_ON_X11 1
#include <X11/Xatom.h>
#include <poll.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
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
// How long the window must have been quiet after showing its first picture before the rest of
// that picture's black is painted into the window's own pixels.
constexpr int kSettledMs = 100;
// How long the first picture waits for the frame a window manager has promised to announce:
// it usually comes within a few milliseconds, and without it the window is shown before its
// picture is painted, which takes tens of milliseconds more.
constexpr int kFrameAnswerMs = 100;

SDL_Rect SdlRect(const Rect& r) { return SDL_Rect{r.x1, r.y1, r.x2 - r.x1 + 1, r.y2 - r.y1 + 1}; }

// The part of a window's surface the canvas fills, drawn in palette colours at the window's
// scale. Collects what changed, in window coordinates, for the next update.
class WindowPixels final : public DrawTarget {
public:
    WindowPixels(SDL_Surface* s, int x, int y, int w, int h)
        : surface_(s), pixels_(s->pixels), pitch_(s->pitch), bpp_(s->format->BytesPerPixel),
          x_(x), y_(y), w_(w), h_(h) {
        for (int i = 0; i < 16; ++i)
            colours_[i] = SDL_MapRGB(s->format, static_cast<Uint8>(kPalette[i] >> 16),
                                     static_cast<Uint8>(kPalette[i] >> 8), static_cast<Uint8>(kPalette[i]));
    }

    // Whether these are still the window's pixels: a new size brings a new surface.
    bool over(const SDL_Surface* s) const { return s == surface_ && s->pixels == pixels_; }

    int width() const override { return w_; }
    int height() const override { return h_; }
    int left() const { return x_; }
    int top() const { return y_; }
    void fill(std::uint8_t c) override { fillRect(0, 0, w_ - 1, h_ - 1, c); }

    void fillRect(int x1, int y1, int x2, int y2, std::uint8_t c) override {
        if (x1 > x2) std::swap(x1, x2);
        if (y1 > y2) std::swap(y1, y2);
        x1 = std::max(x1, 0);
        y1 = std::max(y1, 0);
        x2 = std::min(x2, w_ - 1);
        y2 = std::min(y2, h_ - 1);
        if (x1 > x2 || y1 > y2) return;
        for (int y = y1; y <= y2; ++y) {
            Uint8* row = rowAt(y);
            if (bpp_ == 4) {
                std::fill_n(reinterpret_cast<Uint32*>(row) + x1, x2 - x1 + 1, colours_[c]);
            } else {
                for (int x = x1; x <= x2; ++x) put(row, x, c);
            }
        }
        touch(x1, y1, x2, y2);
    }

    void blit(int x, int y, const std::uint8_t* mask, int w, int h, std::uint8_t c, const Rect& clip) override {
        const int xa = std::max({x, clip.x1, 0}), xb = std::min({x + w - 1, clip.x2, w_ - 1});
        const int ya = std::max({y, clip.y1, 0}), yb = std::min({y + h - 1, clip.y2, h_ - 1});
        if (xa > xb || ya > yb) return;
        for (int py = ya; py <= yb; ++py) {
            const std::uint8_t* bits = mask + static_cast<size_t>(py - y) * w;
            Uint8* row = rowAt(py);
            if (bpp_ == 4) {
                auto* out = reinterpret_cast<Uint32*>(row);
                for (int px = xa; px <= xb; ++px)
                    if (bits[px - x]) out[px] = colours_[c];
            } else {
                for (int px = xa; px <= xb; ++px)
                    if (bits[px - x]) put(row, px, c);
            }
        }
        touch(xa, ya, xb, yb);
    }

    Rect takeDirty() {
        Rect r = dirty_;
        dirty_ = Rect{};
        return r;
    }

private:
    // The row of canvas pixel row y, starting at canvas column 0.
    Uint8* rowAt(int y) const {
        return static_cast<Uint8*>(pixels_) + static_cast<size_t>(y + y_) * pitch_ + static_cast<size_t>(x_) * bpp_;
    }
    void put(Uint8* row, int x, std::uint8_t c) const {
        std::memcpy(row + static_cast<size_t>(x) * bpp_, &colours_[c], static_cast<size_t>(bpp_));
    }
    void touch(int x1, int y1, int x2, int y2) { dirty_.add(Rect{x1 + x_, y1 + y_, x2 + x_, y2 + y_}); }

    const SDL_Surface* surface_;
    void* pixels_;
    int pitch_, bpp_;
    int x_, y_, w_, h_;  // where the canvas lies in the surface, and its size
    Uint32 colours_[16];
    Rect dirty_;
};

class WindowBackend final : public Backend {
public:
    WindowBackend(const std::string& title, int width, int height)
        : width_(width), height_(height), shown_(static_cast<size_t>(width) * height) {
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
        usable_ = usable;
        window_ = SDL_CreateWindow(
            title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, usable.w, usable.h,
            SDL_WINDOW_RESIZABLE | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
        if (!window_) throw StartupError(std::string("cannot open a window: ") + SDL_GetError());
        // Below this the smallest text loses its strokes.
        SDL_SetWindowMinimumSize(window_, width * 6 / 10, height * 6 / 10);
        // On X11 SDL hands every key to the input method first and reports the text it gives
        // back only after all the keys of that batch.
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver && std::strcmp(driver, "x11") == 0) input_ = KeyInput(KeyInput::Order::KeysFirstInBatch);
        SDL_StartTextInput();
#ifdef DRILLS_WAIT_ON_X11
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11) {
            x11_ = info.info.x11.display;
            x11Window_ = info.info.x11.window;
            askFrameExtents();
        }
#endif
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
                    // A new size comes with new window pixels: the picture is painted again,
                    // unless it already was at that size after the change (as at the first
                    // picture, sized once the window manager had placed the window). A size
                    // left and come back to passes through another one, which repaints.
                    if (ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED &&
                        (ev.window.data1 != paintedW_ || ev.window.data2 != paintedH_))
                        repaint_ = true;
                    if (ev.window.event == SDL_WINDOWEVENT_EXPOSED ||
                        ev.window.event == SDL_WINDOWEVENT_RESTORED ||
                        ev.window.event == SDL_WINDOWEVENT_MAXIMIZED)
                        resend_ = true;
                    break;
                case SDL_TEXTEDITING:
                    input_.composing(ev.edit.text[0] != '\0', ev.edit.timestamp, keys);
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
        input_.endBatch(keys);
        return closed;
    }

    void present(const Canvas& canvas, const Rect& dirty, const DrawList& drawn) override {
        // The first picture goes out whole, painted from the drawing before the canvas is drawn
        // (readsFirstCanvas). The next present is handed all the canvas drew since as changed,
        // which brings the copy of what the window shows up to date. (A change may then be sent
        // that was none.)
        const bool changedPixels = shown_once_ && !dirty.empty() && changed(canvas, dirty);
        // Shown only with something to show: never an empty or black window first.
        const bool sizedAhead = !shown_once_ && sizedAsMaximised();
        if (!shown_once_ && !sizedAhead) {
            SDL_ShowWindow(window_);
            shown_once_ = true;
            // The window manager has sized the maximised window by the time it is shown; taking
            // that size now paints the first picture once, at its final size.
            SDL_PumpEvents();
        }
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface) throw std::runtime_error(std::string("the window has no surface: ") + SDL_GetError());
        const bool whole = sizedAhead ? paintFirst(surface, drawn) : paint(surface, drawn);
        bool sent = false;
        if (sizedAhead) {
            // The picture goes out as soon as the window manager has mapped the window, at the
            // size it already has.
#ifdef DRILLS_WAIT_ON_X11
            if (mapAsked_) {
                waitUntilMapped();
                sendParts(surface);
                sent = true;
            }
#endif
            SDL_ShowWindow(window_);
            shown_once_ = true;
        }
        if (!sent && !send(surface, whole, changedPixels)) return;
        pending_ = Rect{};
        resend_ = false;
        if (!iconSet_) {
            setIcon();  // once the first picture has gone out, so it never delays it
            iconSet_ = true;
        }
    }

    void wait() override {
        // Text being composed may be finished by the input method without a new key event;
        // only then is the wait bounded, so the commit is picked up soon.
        const int timeout = input_.isComposing() ? kComposingWaitMs : -1;
#ifdef DRILLS_WAIT_ON_X11
        if (x11_) {
            // The black of a picture painted in parts is painted into the surface once the
            // window has been left alone for a moment, after it has shown the picture, not before.
            if (partial_.empty()) {
                waitOnX11(timeout);
            } else if (!waitOnX11(kSettledMs)) {
                finishParts();
            }
            return;
        }
#endif
        SDL_WaitEventTimeout(nullptr, timeout);
    }

    bool interactive() const override { return true; }
    bool readsFirstCanvas() const override { return false; }
    void useGlyphs(Glyphs& glyphs) override { glyphs_ = &glyphs; }

private:
    // Sends what the window is to show now; false when there is nothing to send.
    bool send([[maybe_unused]] SDL_Surface* s, bool whole, bool changedPixels) {
        if (!partial_.empty() && whole) {
#ifdef DRILLS_WAIT_ON_X11
            sendParts(s);
#endif
        } else if (!partial_.empty() && (resend_ || changedPixels)) {
            // The rest of the window shows its black background: only the picture goes out.
            std::vector<SDL_Rect> sent;
            for (const Rect& r : partial_) sent.push_back(SdlRect(r));
            if (!pending_.empty()) sent.push_back(SdlRect(pending_));
            SDL_UpdateWindowSurfaceRects(window_, sent.data(), static_cast<int>(sent.size()));
        } else if (whole || resend_) {
            SDL_UpdateWindowSurface(window_);
        } else if (changedPixels && !pending_.empty()) {
            // Only the changed part is sent: a typed character costs a few cells.
            const SDL_Rect r = SdlRect(pending_);
            SDL_UpdateWindowSurfaceRects(window_, &r, 1);
        } else {
            return false;
        }
        return true;
    }

#ifdef DRILLS_WAIT_ON_X11
    // SDL's own wait wakes itself through a second connection by sending an event to the
    // window; one still on its way when the window is destroyed at the close box makes the X
    // library end the process with "BadWindow". Waiting here on the connection itself sends
    // nothing, so a close at any moment ends cleanly.
    // True when something arrived (or a signal ended the wait), false at the timeout.
    bool waitOnX11(int timeout) {
        SDL_PumpEvents();
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return true;
        // Flushes what SDL asked of the server and reads what has arrived; events read but not
        // yet taken are for the next pump, and the socket alone would not show them.
        if (XPending(x11_) > 0) return true;
        pollfd fd{ConnectionNumber(x11_), POLLIN, 0};
        return poll(&fd, 1, timeout) != 0;  // an interrupting signal (SIGTERM) ends the wait too
    }

    // Has the X server paint the window black wherever it has not been sent a picture (at
    // every exposure), or no longer: without a background it leaves what was there, so a
    // resize shows no black flash before the picture is painted again.
    void blackBackground(const SDL_Surface* s) {
        XSetWindowBackground(x11_, x11Window_, SDL_MapRGB(s->format, 0, 0, 0));
    }
    void noBackground() { XSetWindowBackgroundPixmap(x11_, x11Window_, None); }

    // Waits for the window manager to map the window asked for in paintFirst, as SDL would
    // when showing it, which then finds it mapped.
    void waitUntilMapped() {
        XEvent ev;
        XIfEvent(
            x11_, &ev,
            [](Display*, XEvent* e, XPointer w) {
                return e->type == MapNotify && e->xmap.window == *reinterpret_cast<Window*>(w) ? True : False;
            },
            reinterpret_cast<XPointer>(&x11Window_));
    }

    // Asks the window manager what frame it will put around the window. Some (openbox among
    // them) answer by giving the hidden window its maximised size too (see sizedAsMaximised).
    void askFrameExtents() {
        frameExtentsAtom_ = XInternAtom(x11_, "_NET_FRAME_EXTENTS", False);
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = x11Window_;
        ev.xclient.message_type = XInternAtom(x11_, "_NET_REQUEST_FRAME_EXTENTS", False);
        ev.xclient.format = 32;
        XSendEvent(x11_, DefaultRootWindow(x11_), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
        XFlush(x11_);
    }

    // A property's 32-bit items (longs, as the X library hands them over); none when it is not
    // set or not of that type.
    std::vector<long> items(Window w, Atom property, Atom type, long most) {
        Atom got = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<long> out;
        if (XGetWindowProperty(x11_, w, property, 0, most, False, type, &got, &format, &count, &after,
                               &data) == Success &&
            got == type && format == 32)
            out.assign(reinterpret_cast<const long*>(data), reinterpret_cast<const long*>(data) + count);
        if (data) XFree(data);
        return out;
    }

    // The frame the window manager announced, waiting a while for one that promised to.
    bool awaitFrameExtents(long (&extents)[4]) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFrameAnswerMs);
        for (;;) {
            const int queued = XQLength(x11_);
            if (frameExtents(extents)) return true;  // also reads what has arrived
            // Waited for only when the window manager lists the request among what it supports.
            if (!frameAnswerPromised_) {
                const std::vector<long> supported =
                    items(DefaultRootWindow(x11_), XInternAtom(x11_, "_NET_SUPPORTED", False), XA_ATOM, 4096);
                const auto asked = static_cast<long>(XInternAtom(x11_, "_NET_REQUEST_FRAME_EXTENTS", False));
                if (std::find(supported.begin(), supported.end(), asked) == supported.end()) return false;
                frameAnswerPromised_ = true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  until - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) return false;
            // The answer may have come in with a reply, into the X library's queue: the
            // connection then stays quiet, and waiting on it would wait out the whole time.
            if (XQLength(x11_) > queued) continue;
            pollfd fd{ConnectionNumber(x11_), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left));
        }
    }

    // The frame the window manager announced (left, right, top, bottom), if it has.
    bool frameExtents(long (&extents)[4]) {
        const std::vector<long> e = items(x11Window_, frameExtentsAtom_, XA_CARDINAL, 4);
        if (e.size() != 4) return false;
        std::copy_n(e.begin(), 4, extents);
        return true;
    }
    Display* x11_ = nullptr;
    Window x11Window_ = 0;
    bool mapAsked_ = false;  // the window was mapped before SDL was asked to show it
    Atom frameExtentsAtom_ = None;
    bool frameAnswerPromised_ = false;  // the window manager supports asking for the frame
#endif

    // True when the hidden window already has the size the window manager will give it when it
    // maximises it: the usable part of the screen less the announced frame. The first picture is
    // then painted while the window manager maps the window, instead of after it has placed the
    // window. Otherwise (no answer about the frame, another
    // size, not X11) the window is shown first and its size taken from the window manager.
    bool sizedAsMaximised() {
#ifdef DRILLS_WAIT_ON_X11
        long e[4];
        if (!x11_ || !awaitFrameExtents(e)) return false;
        // A resize the window manager made before it answered has arrived with the answer.
        SDL_PumpEvents();
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        return w == usable_.w - e[0] - e[1] && h == usable_.h - e[2] - e[3];
#else
        return false;
#endif
    }

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

    // Brings the window's pixels up to date. The drawing is painted straight into the window's
    // surface (no picture of the window's size is kept beside it): all of it, as large as the
    // window allows with its aspect kept, whenever the window's pixels are new or its scale
    // changes; otherwise only what was drawn since the last time. Returns true when all of it
    // was painted.
    bool paint(SDL_Surface* s, const DrawList& drawn) {
        const double scale = scaleFor(s);
        size_t from = drawn.after(painted_);
        const bool whole = repaint_ || !pixels_ || !pixels_->over(s) || scale != painter_->scale();
        if (!whole && from < drawn.ops.size()) finishParts();  // what comes next may lie outside them
        if (whole && !partial_.empty()) {
            partial_.clear();
#ifdef DRILLS_WAIT_ON_X11
            noBackground();
#endif
        }
#ifdef DRILLS_WAIT_ON_X11
        if (whole && x11_ && paintParts(s, drawn)) return true;
#endif
        if (whole) {
            newPixels(s, scale);
            from = 0;
        }
        if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
        if (whole) blackOut(s, drawn);
        for (size_t i = from; i < drawn.ops.size(); ++i) painter_->apply(drawn.ops[i]);
        if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
        painted_ = drawn.added;
        pending_.add(pixels_->takeDirty());
        return whole;
    }

    // The first picture, painted before the window is shown: the window manager frames and
    // maps the window meanwhile. It is mapped without a background, so the server paints nothing
    // into it before the picture (see sendParts). Returns as paint does.
    bool paintFirst(SDL_Surface* s, const DrawList& drawn) {
#ifdef DRILLS_WAIT_ON_X11
        if (x11_) {
            XMapRaised(x11_, x11Window_);
            XFlush(x11_);
            mapAsked_ = true;
        }
#endif
        return paint(s, drawn);
    }

#ifdef DRILLS_WAIT_ON_X11
    // Paints a new surface where the drawing lies on black (as nearly every screen does) only
    // in the parts that hold the drawing: each part black, then the drawing over it. The pixels
    // between the lines of text are never touched, nor sent: the X server paints them black
    // (sendParts), and at 4K that saves writing and sending 30 MB before the pupil sees the
    // picture. The surface's own black follows once the window is quiet (finishParts), or before
    // anything more is painted. False when the drawing does not lie on black, or (never
    // expected) drew beyond its parts: the whole picture is painted then.
    bool paintParts(SDL_Surface* s, const DrawList& drawn) {
        newPixels(s, scaleFor(s));
        const std::optional<std::vector<Rect>> areas = changedOverBlackByOp(drawn, painter_.get());
        if (!areas) return false;
        // The parts are in the window's coordinates.
        const int dx = pixels_->left(), dy = pixels_->top();
        const auto inWindow = [dx, dy](const Rect& r) {
            return Rect{r.x1 + dx, r.y1 + dy, r.x2 + dx, r.y2 + dy};
        };
        std::vector<Rect> parts;
        const std::uint8_t black = std::get<op::Fill>(drawn.ops.front()).c;
        if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
        for (const Rect& r : fewerRects(*areas)) {
            pixels_->fillRect(r.x1, r.y1, r.x2, r.y2, black);
            if (const Rect filled = pixels_->takeDirty(); !filled.empty()) parts.push_back(filled);
        }
        bool within = true;
        for (size_t i = 1; i < drawn.ops.size(); ++i) {
            painter_->apply(drawn.ops[i]);
            const Rect d = pixels_->takeDirty(), a = inWindow((*areas)[i - 1]);
            within = within && (d.empty() || (d.x1 >= a.x1 && d.y1 >= a.y1 && d.x2 <= a.x2 && d.y2 <= a.y2));
        }
        if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
        if (parts.empty() || !within) return false;
        painted_ = drawn.added;
        partial_ = std::move(parts);
        return true;
    }
#endif

    // Sends a picture painted in parts: the server paints the window black around them, and the
    // parts follow in the same flush (SDL syncs after putting them). Nothing comes between the
    // two, so no picture is ever shown with whatever lay under the window still around it, and
    // the server paints the black only where no part will cover it. Until the surface holds the
    // whole picture (finishParts), the server paints black wherever the window is exposed.
    // Without parts, the whole surface goes out.
#ifdef DRILLS_WAIT_ON_X11
    void sendParts(SDL_Surface* s) {
        if (partial_.empty()) {
            SDL_UpdateWindowSurface(window_);
            return;
        }
        std::vector<SDL_Rect> parts;
        for (const Rect& r : partial_) parts.push_back(SdlRect(r));
        std::vector<XRectangle> around;
        for (const Rect& r : outside(partial_, s->w, s->h))
            around.push_back(XRectangle{static_cast<short>(r.x1), static_cast<short>(r.y1),
                                        static_cast<unsigned short>(r.x2 - r.x1 + 1),
                                        static_cast<unsigned short>(r.y2 - r.y1 + 1)});
        XGCValues black{};
        black.foreground = SDL_MapRGB(s->format, 0, 0, 0);
        const GC gc = XCreateGC(x11_, x11Window_, GCForeground, &black);
        XFillRectangles(x11_, x11Window_, gc, around.data(), static_cast<int>(around.size()));
        XFreeGC(x11_, gc);
        blackBackground(s);
        SDL_UpdateWindowSurfaceRects(window_, parts.data(), static_cast<int>(parts.size()));
    }
#endif

    // Paints the black that a picture painted in parts left to the window's background, so that
    // from now on the surface holds the whole picture again.
    void finishParts() {
        if (partial_.empty()) return;
        SDL_Surface* s = SDL_GetWindowSurface(window_);
        if (s && pixels_ && pixels_->over(s)) {
            const Uint32 black = SDL_MapRGB(s->format, 0, 0, 0);
            if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
            for (const Rect& r : outside(partial_, s->w, s->h)) {
                const SDL_Rect around = SdlRect(r);
                SDL_FillRect(s, &around, black);
            }
            if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
        }
        // A new surface (the window was resized meanwhile) is painted whole anyway.
        partial_.clear();
#ifdef DRILLS_WAIT_ON_X11
        noBackground();
#endif
    }

    // The canvas's place in a new surface: as large as the window allows, aspect kept, centred.
    void newPixels(SDL_Surface* s, double scale) {
        const int w = std::max(1, std::min(s->w, static_cast<int>(std::floor(width_ * scale))));
        const int h = std::max(1, std::min(s->h, static_cast<int>(std::floor(height_ * scale))));
        painter_.reset();
        pixels_ = std::make_unique<WindowPixels>(s, (s->w - w) / 2, (s->h - h) / 2, w, h);
        painter_ = std::make_unique<Painter>(*pixels_, *glyphs_, scale);
        repaint_ = false;
        paintedW_ = s->w;
        paintedH_ = s->h;
    }

    double scaleFor(const SDL_Surface* s) const {
        return std::min(static_cast<double>(s->w) / width_, static_cast<double>(s->h) / height_);
    }

    // Blacks out the margins around the canvas, and the canvas itself unless the drawing starts
    // by filling it: at 4K that is a write of 30 MB saved on the first picture and every resize.
    void blackOut(SDL_Surface* s, const DrawList& drawn) {
        const Uint32 black = SDL_MapRGB(s->format, 0, 0, 0);
        const int x = pixels_->left(), y = pixels_->top(), w = pixels_->width(), h = pixels_->height();
        if (drawn.ops.empty() || !std::holds_alternative<op::Fill>(drawn.ops.front())) {
            SDL_FillRect(s, nullptr, black);
            return;
        }
        const SDL_Rect margins[] = {{0, 0, s->w, y}, {0, y + h, s->w, s->h - y - h}, {0, y, x, h},
                                    {x + w, y, s->w - x - w, h}};
        for (const SDL_Rect& m : margins)
            if (m.w > 0 && m.h > 0) SDL_FillRect(s, &m, black);
    }

    // The program's mark, drawn with its own painter: "x=" in white on a deep teal disc ringed in
    // yellow, 16 units at 4 pixels each; the background stays transparent.
    void setIcon() {
        constexpr int kSize = 64;
        Canvas icon(kSize, kSize);
        Painter painter(icon, *glyphs_, kSize / 16.0);
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

    int width_, height_;
    SDL_Rect usable_{};  // the screen's usable part when the window was opened
    Glyphs* glyphs_ = nullptr;
    SDL_Window* window_ = nullptr;
    Pixels shown_;  // the unit canvas as the window last showed it
    std::unique_ptr<WindowPixels> pixels_;
    std::unique_ptr<Painter> painter_;
    std::uint64_t painted_ = 0;  // the serial of the last operation painted into the window
    Rect pending_;               // window pixels changed but not yet sent
    // While not empty, the only part of the surface that holds the first picture; the window
    // shows the rest as its black background and the surface does not hold it yet.
    std::vector<Rect> partial_;
    KeyInput input_;
    bool shown_once_ = false;
    bool iconSet_ = false;
    bool repaint_ = false;  // the window's pixels are new: paint the whole drawing
    int paintedW_ = -1, paintedH_ = -1;  // the size the whole drawing was last painted at
    bool resend_ = false;   // the window lost what it showed: send all of it again
};

}  // namespace

std::unique_ptr<Backend> makeWindowBackend(const std::string& title, int width, int height) {
    return std::make_unique<WindowBackend>(title, width, height);
}

}  // namespace rt

#endif
