// Drawing as a list of operations in the program's coordinates, so that any surface can replay
// it at its own resolution: the canvas at one pixel per unit, a window at its scale.
#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "runtime/text.h"

namespace rt {

class DrawTarget;
class Glyphs;
struct Rect;

namespace op {
// Rectangles and lines name whole pixels, both ends included, in any order.
struct Fill {
    std::uint8_t c;
    bool operator==(const Fill&) const = default;
};
struct Line {
    int x1, y1, x2, y2;
    std::uint8_t c;
    bool operator==(const Line&) const = default;
};
struct Box {
    int x1, y1, x2, y2;
    std::uint8_t c;
    bool operator==(const Box&) const = default;
};
struct Rect {
    int x1, y1, x2, y2;
    std::uint8_t c;
    bool operator==(const Rect&) const = default;
};
struct Circle {
    float cx, cy, r;
    std::uint8_t c;
    bool disc;
    bool operator==(const Circle&) const = default;
};
// A row of glyphs from (x, y), each w = 8 x sx per cell wide and 16 x sy high, clipped to its own
// cell widened by `above` and `below` rows (the text layer's cells are taller than its glyphs).
struct Glyphs {
    int x, y;
    Text text;
    int sx, sy;
    std::uint8_t c;
    int above = 0, below = 0;
    bool operator==(const Glyphs&) const = default;
};
}  // namespace op

using DrawOp = std::variant<op::Fill, op::Line, op::Box, op::Rect, op::Circle, op::Glyphs>;

// The unit pixels an operation may touch at any scale (a slanted line's pen and a small dot
// reach a little beyond their own pixels on a coarse or fine device).
struct Bounds {
    int x1, y1, x2, y2;
    bool inside(const Bounds& b) const { return x1 >= b.x1 && y1 >= b.y1 && x2 <= b.x2 && y2 <= b.y2; }
};
Bounds bounds(const DrawOp& op);

// What has been drawn since the canvas was last filled whole: replaying it from an empty
// surface, or over the picture itself, gives the whole picture. Each operation keeps its serial
// number (in `serials`, rising), so a surface that has painted up to some serial paints only what
// came after it, even after the list has dropped what later operations hide.
struct DrawList {
    std::vector<DrawOp> ops;
    std::vector<std::uint64_t> serials;
    std::uint64_t added = 0;  // operations ever added; the last one's serial
    // Records an operation. A whole fill starts the list again. When the list has doubled, the
    // operations that later ones hide are dropped, so a long session that never clears the
    // screen keeps a short list.
    void add(DrawOp op);
    // The index of the first operation after serial `seen`.
    std::size_t after(std::uint64_t seen) const;

private:
    void dropHidden();
    std::size_t compactAt_ = 1024;
};

// Draws operations into a canvas (or any target) at `scale` device pixels per unit. At scale 1 every operation
// sets exactly the pixels of the unit grid; at other scales lines and outlines keep at least
// one device pixel, glyphs are rasterised from the font at the scaled size, and colour 0
// erases, filled boxes overwrite and text sets only glyph pixels, as at scale 1.
class Painter {
public:
    Painter(DrawTarget& target, Glyphs& glyphs, double scale) : canvas_(target), glyphs_(glyphs), scale_(scale) {}
    void apply(const DrawOp& op);
    double scale() const { return scale_; }

    // The first device pixel of unit pixel p, and the one after its last (never empty).
    int start(int p) const;
    int end(int p) const;

private:
    void rect(int x1, int y1, int x2, int y2, std::uint8_t c);
    void line(const op::Line& l);
    void circle(const op::Circle& c);
    void glyphs(const op::Glyphs& g);

    DrawTarget& canvas_;
    Glyphs& glyphs_;
    double scale_;
};

// When the drawing starts by filling the screen black, the device pixels at `painter`'s scale (the
// unit pixels without one) that each operation after the fill may change, in order: a fresh black
// surface needs only these painted. Nothing when the drawing does not start so.
std::optional<std::vector<Rect>> changedOverBlackByOp(const DrawList& drawn, const Painter* painter);
// Fewer rectangles covering at least the same pixels: those that lie side by side or over each
// other become one where that adds little to paint.
std::vector<Rect> fewerRects(std::vector<Rect> rects);
// Rectangles covering the pixels of a width x height surface that none of `parts` covers.
std::vector<Rect> outside(const std::vector<Rect>& parts, int width, int height);

}  // namespace rt
