// The page's canvas in a web browser. The page (web/page.html) collects keyboard, input-method
// and resize events into Module.drillsQueue; this backend takes them from there, draws the
// canvas at the page's device resolution (the drawing replayed at its scale, aspect kept) and,
// while waiting, hands control back to the browser until the queue has something, so an idle
// tab runs nothing at all.
#ifdef __EMSCRIPTEN__

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/backend.h"
#include "runtime/drawing.h"
#include "runtime/keyinput.h"

namespace rt {

namespace {

// clang-format off
EM_JS(int, drills_event_size, (), {
  const q = Module.drillsQueue;
  return q && q.length ? lengthBytesUTF8(q[0]) + 1 : 0;
});

EM_JS(void, drills_event_take, (char* out, int size), {
  stringToUTF8(Module.drillsQueue.shift(), out, size);
});

// Resolves once the page has queued an event; until then the program is suspended and the
// browser runs nothing for it. The first wait lets the page do what it put off until the first
// picture was drawn (taking the keyboard, watching the pixel ratio).
EM_ASYNC_JS(void, drills_wait, (), {
  const first = Module.drillsFirstWait;
  Module.drillsFirstWait = null;
  if (first) first();
  if (Module.drillsQueue.length) return;
  await new Promise(resolve => { Module.drillsWake = resolve; });
});

// The view in device pixels.
EM_JS(void, drills_view, (int* size), {
  const r = window.devicePixelRatio || 1;
  HEAP32[size >> 2] = Math.floor(window.innerWidth * r);
  HEAP32[(size >> 2) + 1] = Math.floor(window.innerHeight * r);
});

// Gives the canvas a backing store of w x h device pixels, shown at w x h / devicePixelRatio CSS
// pixels, so each of its pixels is one of the screen's.
EM_JS(void, drills_resize, (int w, int h), {
  const c = Module.canvas, r = window.devicePixelRatio || 1;
  c.width = w;
  c.height = h;
  c.style.width = (w / r) + 'px';
  c.style.height = (h / r) + 'px';
  Module.drillsContext = c.getContext('2d', {alpha: false});
});

EM_JS(void, drills_put, (const void* rgba, int w, int h, int x, int y, int rw, int rh), {
  const data = new Uint8ClampedArray(HEAPU8.buffer, rgba, w * h * 4);
  Module.drillsContext.putImageData(new ImageData(data, w, h), 0, 0, x, y, rw, rh);
});
// clang-format on

class BrowserBackend final : public Backend {
public:
    BrowserBackend(int width, int height) : width_(width), height_(height) {}

    void useGlyphs(Glyphs& glyphs) override { glyphs_ = &glyphs; }

    void maximise() override {}

    bool pump(std::deque<char32_t>& keys, const std::array<Text, 12>& functionKeys) override {
        while (const int size = drills_event_size()) {
            std::string ev(static_cast<size_t>(size), '\0');
            drills_event_take(ev.data(), size);
            ev.resize(static_cast<size_t>(size - 1));
            handle(ev, keys, functionKeys);
        }
        input_.endBatch(keys);
        return false;  // a page is closed with its tab; the program is not asked
    }

    // The picture is made from the recording alone, at any scale, 1 included.
    bool readsCanvas() const override { return false; }

    void present(const Canvas&, const Rect&, const DrawList& drawn) override {
        const bool fresh = sync(drawn);
        const Canvas& picture = *device_;
        const Rect whole{0, 0, picture.width() - 1, picture.height() - 1};
        std::vector<Rect> parts;
        if (!redraw_) {
            parts.push_back(pending_);
        } else if (const auto areas = fresh ? changedOverBlackByOp(drawn, painter_.get()) : std::nullopt) {
            // A new page canvas is black already: only what lies on it is converted and handed
            // over, each part alone, so the black between the lines of text costs nothing.
            parts = fewerRects(*areas);
        } else {
            parts.push_back(whole);
        }
        pending_ = Rect{};
        redraw_ = false;
        const int w = picture.width();
        for (Rect r : parts) {
            r.x1 = std::max(r.x1, 0);
            r.y1 = std::max(r.y1, 0);
            r.x2 = std::min(r.x2, whole.x2);
            r.y2 = std::min(r.y2, whole.y2);
            if (r.empty()) continue;
            for (int y = r.y1; y <= r.y2; ++y) {
                const std::uint8_t* src = picture.pixels().data() + static_cast<size_t>(y) * w;
                std::uint32_t* out = rgba_.get() + static_cast<size_t>(y) * w;
                for (int x = r.x1; x <= r.x2; ++x) out[x] = colours_[src[x]];
            }
            drills_put(rgba_.get(), w, picture.height(), r.x1, r.y1, r.x2 - r.x1 + 1, r.y2 - r.y1 + 1);
        }
    }

    void wait() override { drills_wait(); }

    bool interactive() const override { return true; }

private:
    // An event as the page queues it: "KIND:MS:DATA", MS its time stamp in milliseconds.
    //   t  text handed over (typed, or a composition confirmed)
    //   c  a composition started or changed (DATA 1) or was dropped (DATA 0)
    //   k  Enter 13, Backspace 8, Delete 127 or the clear key 12
    //   f  function key DATA (1 to 12)
    //   r  the view changed size or pixel ratio
    void handle(const std::string& ev, std::deque<char32_t>& keys, const std::array<Text, 12>& functionKeys) {
        const size_t colon = ev.find(':', 2);
        if (ev.size() < 2 || colon == std::string::npos) return;
        const auto ms = static_cast<std::uint32_t>(std::strtoul(ev.c_str() + 2, nullptr, 10));
        const std::string data = ev.substr(colon + 1);
        switch (ev[0]) {
            case 't':
                input_.committed(fromUtf8(data), ms, keys);
                break;
            case 'c':
                input_.composing(data == "1", ms, keys);
                break;
            case 'k':
                input_.control(static_cast<char32_t>(std::atoi(data.c_str())), ms, keys);
                break;
            case 'f': {
                const int n = std::atoi(data.c_str());
                if (n >= 1 && n <= 12)
                    for (char32_t c : functionKeys[static_cast<size_t>(n - 1)]) keys.push_back(c);
                break;
            }
            case 'r':
                resized_ = true;
                break;
            default:
                break;
        }
    }

    // Brings the picture up to date for the page's scale: drawn again from the start at a new
    // scale, otherwise with only what was drawn since the last time. True when the page's canvas
    // has just been made, and so shows nothing but black.
    bool sync(const DrawList& drawn) {
        size_t from = drawn.after(painted_);
        bool fresh = false;
        if (!rgba_ || resized_) {
            resized_ = false;
            int view[2] = {width_, height_};
            drills_view(view);
            const double scale = std::max(0.05, std::min(static_cast<double>(view[0]) / width_,
                                                         static_cast<double>(view[1]) / height_));
            const int w = std::max(1, static_cast<int>(std::floor(width_ * scale)));
            const int h = std::max(1, static_cast<int>(std::floor(height_ * scale)));
            if (!rgba_ || w != shownW_ || h != shownH_) {
                device_ = std::make_unique<Canvas>(w, h);
                painter_ = std::make_unique<Painter>(*device_, *glyphs_, scale);
                // Not cleared: what is shown of it is always converted first.
                rgba_.reset(new std::uint32_t[static_cast<size_t>(w) * h]);
                drills_resize(w, h);
                shownW_ = w;
                shownH_ = h;
                fresh = true;
                from = 0;
            }
            redraw_ = true;
        }
        for (size_t i = from; i < drawn.ops.size(); ++i) painter_->apply(drawn.ops[i]);
        pending_.add(device_->takeDirty());
        painted_ = drawn.added;
        return fresh;
    }

    static std::array<std::uint32_t, 16> rgbaColours() {
        std::array<std::uint32_t, 16> out{};
        // ImageData's bytes are R, G, B, A in memory: little-endian 0xAABBGGRR.
        for (size_t i = 0; i < 16; ++i) {
            const std::uint32_t c = kPalette[i];
            out[i] = 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
        }
        return out;
    }

    int width_, height_;
    Glyphs* glyphs_ = nullptr;        // handed over before the first present
    int shownW_ = 0, shownH_ = 0;     // the page canvas's size in device pixels
    std::unique_ptr<Canvas> device_;  // the picture at the page's scale
    std::unique_ptr<Painter> painter_;
    std::unique_ptr<std::uint32_t[]> rgba_;  // device_ in the page's colours
    const std::array<std::uint32_t, 16> colours_ = rgbaColours();
    std::uint64_t painted_ = 0;  // the serial of the last operation in the picture
    Rect pending_;               // device pixels changed but not yet shown
    KeyInput input_;  // the page hands events over in the order they happened
    bool resized_ = false;
    bool redraw_ = true;
};

}  // namespace

std::unique_ptr<Backend> makeWindowBackend(const std::string&, int width, int height) {
    return std::make_unique<BrowserBackend>(width, height);
}

}  // namespace rt

#endif
