// A palette canvas: one byte per pixel, colours 0 to 15. All drawing of the runtime lands
// here; the backends only show it.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace rt {

struct Rect {
    int x1 = 0, y1 = 0, x2 = -1, y2 = -1;  // inclusive; empty when x2 < x1
    bool empty() const { return x2 < x1 || y2 < y1; }
    void add(const Rect& r);
};

// Memory the system hands over already zeroed (calloc): a large buffer costs no writes, and its
// untouched pages no page faults, until something other than zero is stored in them. Elements
// made without a value are left as they came, zero; a buffer that shrank and grew again within
// its capacity would keep old values there, so it is for buffers sized once.
template <class T>
struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U>
    ZeroedAllocator(const ZeroedAllocator<U>&) {}
    T* allocate(std::size_t n) {
        if (void* p = std::calloc(n, sizeof(T))) return static_cast<T*>(p);
        throw std::bad_alloc();
    }
    void deallocate(T* p, std::size_t) { std::free(p); }
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... A>
    void construct(U* p, A&&... a) {
        ::new (static_cast<void*>(p)) U(std::forward<A>(a)...);
    }
    bool operator==(const ZeroedAllocator&) const = default;
};

// Palette pixels, one byte each, all 0 when made.
using Pixels = std::vector<std::uint8_t, ZeroedAllocator<std::uint8_t>>;

// Pixels a painter draws into, in palette colours 0 to 15: the canvas below, or a window's own
// pixels at its scale. Every primitive clips to the target.
class DrawTarget {
public:
    virtual ~DrawTarget() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void fill(std::uint8_t c) = 0;
    // Inclusive corners, in any order.
    virtual void fillRect(int x1, int y1, int x2, int y2, std::uint8_t c) = 0;
    // A stepped line from (x1, y1) to (x2, y2), each step a pen x pen square from its top-left.
    virtual void line(int x1, int y1, int x2, int y2, int pen, std::uint8_t c);
    // Sets the pixels where mask is non-zero; the mask is w x h, placed at (x, y), clipped
    // to the target and to the rectangle clip.
    virtual void blit(int x, int y, const std::uint8_t* mask, int w, int h, std::uint8_t c, const Rect& clip) = 0;
};

class Canvas final : public DrawTarget {
public:
    Canvas(int width, int height);

    int width() const override { return width_; }
    int height() const override { return height_; }
    std::uint8_t at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Pixels& pixels() const { return pixels_; }

    // Every primitive clips to the canvas and widens the changed rectangle once.
    void fill(std::uint8_t c) override;
    void plot(int x, int y, std::uint8_t c);
    // Rows of spans.
    void fillRect(int x1, int y1, int x2, int y2, std::uint8_t c) override;
    void blit(int x, int y, const std::uint8_t* mask, int w, int h, std::uint8_t c, const Rect& clip) override;

    // For drawing many single pixels: set() clips but leaves the changed rectangle alone, and
    // one touch() afterwards records the whole area.
    void set(int x, int y, std::uint8_t c) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        pixels_[static_cast<size_t>(y) * width_ + x] = c;
        allZero_ = allZero_ && c == 0;
    }
    void touch(int x1, int y1, int x2, int y2);

    // What changed since the last takeDirty().
    Rect takeDirty();

private:
    int width_;
    int height_;
    Pixels pixels_;
    Rect dirty_;
    // Every pixel is 0, as in a new canvas: filling it with 0 then writes nothing, so the first
    // screen's clearing touches none of its memory.
    bool allZero_ = true;
};

// The 16 colours as 0xRRGGBB.
extern const std::uint32_t kPalette[16];

// PNG files of a canvas (palette colours). Both throw std::runtime_error on failure; loadPng
// maps each pixel back to its palette number (a colour not in the palette is an error).
void savePng(const Canvas& canvas, const std::string& path);
Canvas loadPng(const std::string& path);

}  // namespace rt
