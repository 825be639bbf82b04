// A palette canvas: one byte per pixel, colours 0 to 15. All drawing of the runtime lands
// here; the backends only show it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rt {

struct Rect {
    int x1 = 0, y1 = 0, x2 = -1, y2 = -1;  // inclusive; empty when x2 < x1
    bool empty() const { return x2 < x1 || y2 < y1; }
    void add(const Rect& r);
};

class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    std::uint8_t at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

    void fill(std::uint8_t c);
    void plot(int x, int y, std::uint8_t c);
    void line(int x1, int y1, int x2, int y2, std::uint8_t c);
    void box(int x1, int y1, int x2, int y2, std::uint8_t c);
    void fillRect(int x1, int y1, int x2, int y2, std::uint8_t c);
    void circle(float cx, float cy, float r, std::uint8_t c);
    void disc(float cx, float cy, float r, std::uint8_t c);
    // Sets the pixels where mask is non-zero; the mask is w x h, placed at (x, y), clipped
    // to the canvas and to the rectangle clip.
    void blit(int x, int y, const std::uint8_t* mask, int w, int h, std::uint8_t c, const Rect& clip);

    // What changed since the last takeDirty().
    Rect takeDirty();

private:
    void touch(int x1, int y1, int x2, int y2);
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
    Rect dirty_;
};

// The 16 colours as 0xRRGGBB.
extern const std::uint32_t kPalette[16];

// PNG files of a canvas (palette colours). Both throw std::runtime_error on failure; loadPng
// maps each pixel back to its palette number (a colour not in the palette is an error).
void savePng(const Canvas& canvas, const std::string& path);
Canvas loadPng(const std::string& path);

}  // namespace rt
