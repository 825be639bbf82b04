#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <unordered_map>

#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/glyphs.h"

namespace rt {

Bounds bounds(const DrawOp& op) {
    return std::visit(
        [](const auto& o) -> Bounds {
            using O = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<O, op::Fill>) {
                return {INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};
            } else if constexpr (std::is_same_v<O, op::Circle>) {
                const int x = static_cast<int>(std::lround(o.cx)), y = static_cast<int>(std::lround(o.cy));
                const int reach = static_cast<int>(std::ceil(o.r)) + 2;
                return {x - reach, y - reach, x + reach, y + reach};
            } else if constexpr (std::is_same_v<O, op::Glyphs>) {
                int w = 0;
                for (char32_t ch : o.text) w += 8 * (isFullWidth(ch) ? 2 : 1) * o.sx;
                return {o.x, o.y - o.above, o.x + w - 1, o.y + 16 * o.sy - 1 + o.below};
            } else {
                const int margin = std::is_same_v<O, op::Line> ? 1 : 0;
                return {std::min(o.x1, o.x2) - margin, std::min(o.y1, o.y2) - margin,
                        std::max(o.x1, o.x2) + margin, std::max(o.y1, o.y2) + margin};
            }
        },
        op);
}

std::optional<std::vector<Rect>> changedOverBlackByOp(const DrawList& drawn, const Painter* painter) {
    const auto* fill = drawn.ops.empty() ? nullptr : std::get_if<op::Fill>(&drawn.ops.front());
    if (!fill || kPalette[fill->c] != 0) return std::nullopt;
    auto start = [painter](int p) { return painter ? painter->start(p) : p; };
    auto end = [painter](int p) { return painter ? painter->end(p) : p + 1; };
    std::vector<Rect> areas;
    for (size_t i = 1; i < drawn.ops.size(); ++i) {
        const Bounds b = bounds(drawn.ops[i]);
        areas.push_back(Rect{start(b.x1), start(b.y1), end(b.x2) - 1, end(b.y2) - 1});
    }
    return areas;
}

namespace {
long areaOf(const Rect& r) { return r.empty() ? 0 : static_cast<long>(r.x2 - r.x1 + 1) * (r.y2 - r.y1 + 1); }
}  // namespace

std::vector<Rect> fewerRects(std::vector<Rect> rects) {
    std::erase_if(rects, [](const Rect& r) { return r.empty(); });
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < rects.size() && !merged; ++i)
            for (size_t j = i + 1; j < rects.size() && !merged; ++j) {
                Rect u = rects[i];
                u.add(rects[j]);
                // A quarter more than the two cover is worth one rectangle less to paint and send.
                if (4 * areaOf(u) <= 5 * (areaOf(rects[i]) + areaOf(rects[j]))) {
                    rects[i] = u;
                    rects.erase(rects.begin() + static_cast<long>(j));
                    merged = true;
                }
            }
    }
    return rects;
}

std::vector<Rect> outside(const std::vector<Rect>& parts, int width, int height) {
    // Bands of rows in which no part starts or ends; in each, the gaps between the parts.
    std::vector<int> edges{0, height};
    for (const Rect& r : parts)
        edges.insert(edges.end(), {std::clamp(r.y1, 0, height), std::clamp(r.y2 + 1, 0, height)});
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    std::vector<Rect> out;
    for (size_t b = 0; b + 1 < edges.size(); ++b) {
        const int top = edges[b], bottom = edges[b + 1] - 1;
        std::vector<std::pair<int, int>> covered;
        for (const Rect& r : parts)
            if (r.y1 <= top && r.y2 >= bottom)
                covered.emplace_back(std::max(r.x1, 0), std::min(r.x2, width - 1));
        std::sort(covered.begin(), covered.end());
        int x = 0;
        for (const auto& [x1, x2] : covered) {
            if (x1 > x) out.push_back(Rect{x, top, x1 - 1, bottom});
            x = std::max(x, x2 + 1);
        }
        if (x < width) out.push_back(Rect{x, top, width - 1, bottom});
    }
    return out;
}

void DrawList::add(DrawOp op) {
    if (std::holds_alternative<op::Fill>(op)) {
        ops.clear();
        serials.clear();
        compactAt_ = 1024;
    }
    ops.push_back(std::move(op));
    serials.push_back(++added);
    if (ops.size() >= compactAt_) {
        dropHidden();
        compactAt_ = std::max<std::size_t>(1024, 2 * ops.size());
    }
}

std::size_t DrawList::after(std::uint64_t seen) const {
    return static_cast<std::size_t>(std::upper_bound(serials.begin(), serials.end(), seen) - serials.begin());
}

namespace {
std::size_t hashOf(const DrawOp& op) {
    std::size_t h = op.index();
    auto mix = [&h](auto v) { h = h * 1000003u ^ std::hash<decltype(v)>{}(v); };
    std::visit(
        [&](const auto& o) {
            using O = std::decay_t<decltype(o)>;
            mix(o.c);
            if constexpr (std::is_same_v<O, op::Circle>) {
                mix(o.cx), mix(o.cy), mix(o.r), mix(o.disc);
            } else if constexpr (std::is_same_v<O, op::Glyphs>) {
                mix(o.x), mix(o.y), mix(o.sx), mix(o.sy), mix(std::hash<Text>{}(o.text));
            } else if constexpr (!std::is_same_v<O, op::Fill>) {
                mix(o.x1), mix(o.y1), mix(o.x2), mix(o.y2);
            }
        },
        op);
    return h;
}
}  // namespace

// An operation is hidden when a later one draws the very same pixels in the same colour, or when
// a later filled rectangle covers all it may touch: the picture is the same without it, at any
// scale, and the same whether replayed from an empty surface or over the picture itself. A
// surface that had not painted a hidden operation yet has not painted what hides it either.
void DrawList::dropHidden() {
    std::vector<Bounds> covers;
    std::unordered_multimap<std::size_t, std::size_t> later;  // hash -> index of a kept operation
    std::vector<bool> keep(ops.size(), true);
    for (std::size_t i = ops.size(); i-- > 0;) {
        const DrawOp& o = ops[i];
        const std::size_t h = hashOf(o);
        auto [first, last] = later.equal_range(h);
        bool hidden = std::any_of(first, last, [&](const auto& e) { return ops[e.second] == o; });
        const Bounds b = bounds(o);
        if (!hidden)
            hidden = std::any_of(covers.begin(), covers.end(), [&](const Bounds& c) { return b.inside(c); });
        if (hidden) {
            keep[i] = false;
            continue;
        }
        later.emplace(h, i);
        if (std::holds_alternative<op::Rect>(o)) covers.push_back(b);
    }
    std::size_t out = 0;
    for (std::size_t i = 0; i < ops.size(); ++i)
        if (keep[i]) {
            serials[out] = serials[i];
            ops[out++] = std::move(ops[i]);
        }
    ops.resize(out);
    serials.resize(out);
}

int Painter::start(int p) const {
    return scale_ == 1.0 ? p : static_cast<int>(std::floor(p * scale_));
}

int Painter::end(int p) const { return std::max(start(p) + 1, start(p + 1)); }

void Painter::apply(const DrawOp& op) {
    std::visit(
        [this](const auto& o) {
            using O = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<O, op::Fill>) {
                canvas_.fill(o.c);
            } else if constexpr (std::is_same_v<O, op::Line>) {
                line(o);
            } else if constexpr (std::is_same_v<O, op::Box>) {
                const int xa = std::min(o.x1, o.x2), xb = std::max(o.x1, o.x2);
                const int ya = std::min(o.y1, o.y2), yb = std::max(o.y1, o.y2);
                rect(xa, ya, xb, ya, o.c);
                rect(xa, yb, xb, yb, o.c);
                rect(xa, ya, xa, yb, o.c);
                rect(xb, ya, xb, yb, o.c);
            } else if constexpr (std::is_same_v<O, op::Rect>) {
                rect(std::min(o.x1, o.x2), std::min(o.y1, o.y2), std::max(o.x1, o.x2), std::max(o.y1, o.y2), o.c);
            } else if constexpr (std::is_same_v<O, op::Circle>) {
                circle(o);
            } else {
                glyphs(o);
            }
        },
        op);
}

// Unit pixels x1..x2, y1..y2 (ordered): the device pixels that show them.
void Painter::rect(int x1, int y1, int x2, int y2, std::uint8_t c) {
    canvas_.fillRect(start(x1), start(y1), end(x2) - 1, end(y2) - 1, c);
}

void Painter::line(const op::Line& l) {
    if (l.x1 == l.x2 || l.y1 == l.y2) {
        rect(std::min(l.x1, l.x2), std::min(l.y1, l.y2), std::max(l.x1, l.x2), std::max(l.y1, l.y2), l.c);
        return;
    }
    // A slanted line is stepped between the device pixels of its ends with a square pen as wide
    // as one unit, so it is as thick as a straight one.
    const int pen = std::max(1, static_cast<int>(std::lround(scale_)));
    canvas_.line(start(l.x1), start(l.y1), start(l.x2), start(l.y2), pen, l.c);
}

// Each device pixel is judged by the distance of its centre from the circle's centre (in units),
// so an outline is one unit thick without gaps, and a disc with an outline of the same radius
// covers it exactly. Below scale 1 the outline keeps one device pixel and a dot keeps at least one.
void Painter::circle(const op::Circle& o) {
    const int x0 = static_cast<int>(std::lround(o.cx)), y0 = static_cast<int>(std::lround(o.cy));
    const int reach = static_cast<int>(std::ceil(o.r)) + 1;
    float outerR = o.r + 0.5f;
    float innerR = o.r - 0.5f;
    if (scale_ < 1.0) {
        outerR = std::max(outerR, static_cast<float>(0.75 / scale_));
        innerR = outerR - static_cast<float>(1.0 / scale_);
    }
    const float outer = outerR * outerR;
    const float inner = o.disc ? -1.0f : (innerR > 0.0f ? innerR * innerR : -1.0f);
    const int xa = std::max(0, start(x0 - reach)), xb = std::min(canvas_.width() - 1, end(x0 + reach) - 1);
    const int ya = std::max(0, start(y0 - reach)), yb = std::min(canvas_.height() - 1, end(y0 + reach) - 1);
    // Each row is drawn as the runs of pixels inside the ring: at most two spans.
    for (int y = ya; y <= yb; ++y) {
        const double dy = (y + 0.5) / scale_ - 0.5 - y0;
        int run = -1;
        for (int x = xa; x <= xb + 1; ++x) {
            bool inside = false;
            if (x <= xb) {
                const double dx = (x + 0.5) / scale_ - 0.5 - x0;
                const auto d2 = static_cast<float>(dx * dx + dy * dy);
                inside = d2 < outer && d2 >= inner;
            }
            if (inside && run < 0) run = x;
            if (!inside && run >= 0) {
                canvas_.fillRect(run, y, x - 1, y, o.c);
                run = -1;
            }
        }
    }
}

void Painter::glyphs(const op::Glyphs& g) {
    const int fontHeight = static_cast<int>(std::lround(16 * g.sy * scale_));
    const int h = 16 * g.sy;
    const int top = start(g.y), bottom = start(g.y + h);
    const int clipTop = start(g.y - g.above), clipBottom = start(g.y + h + g.below) - 1;
    int pen = g.x;
    for (char32_t ch : g.text) {
        const int w = 8 * (isFullWidth(ch) ? 2 : 1) * g.sx;
        const int left = start(pen), right = std::max(left + 1, start(pen + w));
        const GlyphMask& m = glyphs_.mask(ch, fontHeight, right - left, std::max(1, bottom - top));
        canvas_.blit(left, top, m.bits.data(), m.width, m.height, g.c,
                     Rect{left, clipTop, right - 1, clipBottom});
        pen += w;
    }
}

}  // namespace rt
