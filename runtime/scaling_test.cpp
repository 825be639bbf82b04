// Drawing at a window's scale: every stroke survives at small scales, a large scale is a real
// rendering of the font, and the recorded drawing replays to the same picture at any scale.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/fonts.h"
#include "runtime/glyphs.h"

namespace rt {
namespace {

Glyphs& font() {
    static Glyphs glyphs(findDefaultFont());
    return glyphs;
}

// The lit pixels of one full-width character drawn at unit (8, 8) at `scale`, cut to its cell.
struct Cell {
    int w, h;
    std::vector<bool> lit;
    bool at(int x, int y) const { return lit[static_cast<size_t>(y) * w + x]; }
};

Cell draw(char32_t ch, double scale) {
    Canvas canvas(100, 100);
    Painter painter(canvas, font(), scale);
    painter.apply(op::Glyphs{8, 8, Text(1, ch), 1, 1, 15});
    Cell cell{painter.start(24) - painter.start(8), painter.start(24) - painter.start(8), {}};
    for (int y = 0; y < cell.h; ++y)
        for (int x = 0; x < cell.w; ++x) cell.lit.push_back(canvas.at(painter.start(8) + x, painter.start(8) + y) != 0);
    return cell;
}

// Rows (or columns) holding a run of lit pixels at least `share` of the cell long, grouped into
// strokes: neighbouring rows belong to one stroke.
int strokes(const Cell& c, bool rows, double share) {
    const int across = rows ? c.h : c.w, along = rows ? c.w : c.h;
    int count = 0;
    bool inStroke = false;
    for (int i = 0; i < across; ++i) {
        int run = 0, best = 0;
        for (int j = 0; j < along; ++j) {
            run = (rows ? c.at(j, i) : c.at(i, j)) ? run + 1 : 0;
            best = std::max(best, run);
        }
        const bool stroke = best >= share * along;
        if (stroke && !inStroke) ++count;
        inStroke = stroke;
    }
    return count;
}

TEST(Scaling, EveryStrokeOfTheSymbolsSurvivesAtEveryScale) {
    struct Row {
        char32_t ch;
        int across, down;  // horizontal and vertical strokes
    };
    const Row rows[] = {{U'＋', 1, 1}, {U'－', 1, 0}, {U'＝', 2, 0}, {U'→', 1, 0}};
    for (double scale : {0.6, 0.8, 0.83, 1.0, 1.2, 1.5, 2.0, 2.4, 3.0})
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << " char U+" << std::hex << int(row.ch));
            const Cell c = draw(row.ch, scale);
            EXPECT_EQ(strokes(c, true, 0.5), row.across);
            EXPECT_EQ(strokes(c, false, 0.5), row.down);
            if (row.ch == U'→') {
                // The head: lit pixels just above and below the shaft in the right half.
                int top = -1;
                for (int y = 0; y < c.h && top < 0; ++y) {
                    int n = 0;
                    for (int x = 0; x < c.w; ++x) n += c.at(x, y);
                    if (n >= c.w / 2) top = y;
                }
                ASSERT_GE(top, 1);
                int bottom = top;  // a thick shaft's last row
                while (bottom + 1 < c.h && c.at(c.w / 4, bottom + 1)) ++bottom;
                bool above = false, below = false;
                for (int x = c.w / 2; x < c.w; ++x) {
                    above = above || c.at(x, top - 1);
                    below = below || (bottom + 1 < c.h && c.at(x, bottom + 1));
                }
                EXPECT_TRUE(above && below);
            }
        }
}

TEST(Scaling, LinesBoxesAndDotsKeepAtLeastOneDevicePixel) {
    for (double scale : {0.6, 0.83}) {
        SCOPED_TRACE(scale);
        Canvas canvas(120, 120);
        Painter p(canvas, font(), scale);
        auto litInRows = [&](int y1, int y2, int x1, int x2) {
            for (int y = y1; y <= y2; ++y)
                for (int x = x1; x <= x2; ++x)
                    if (canvas.at(x, y)) return true;
            return false;
        };
        // Every unit row: a one-pixel line drawn on it shows.
        for (int y = 0; y < 20; ++y) {
            canvas.fill(0);
            p.apply(op::Line{10, y, 60, y, 7});
            EXPECT_TRUE(litInRows(p.start(y), p.end(y) - 1, 0, 119)) << "line at " << y;
            canvas.fill(0);
            p.apply(op::Line{y, 10, y, 60, 7});
            EXPECT_TRUE(litInRows(0, 119, p.start(y), p.end(y) - 1)) << "column at " << y;
            canvas.fill(0);
            p.apply(op::Circle{30.0f + y, 40.0f, 0.5f, 5, true});
            EXPECT_TRUE(litInRows(0, 119, 0, 119)) << "dot at " << y;
        }
        // A box keeps its four sides.
        canvas.fill(0);
        p.apply(op::Box{11, 13, 101, 77, 9});
        for (int side = 0; side < 4; ++side) {
            const int x = side == 0 ? 11 : side == 1 ? 101 : 50, y = side == 2 ? 13 : side == 3 ? 77 : 40;
            EXPECT_TRUE(canvas.at(p.start(x), p.start(y))) << "side " << side;
        }
    }
}

TEST(Scaling, TwiceTheScaleIsTheFontAtTwiceTheSizeNotAnEnlargement) {
    for (char32_t ch : {U'＋', U'－', U'＝', U'→', U'答', U'χ'}) {
        SCOPED_TRACE(static_cast<unsigned>(ch));
        const Cell two = draw(ch, 2.0), one = draw(ch, 1.0);
        const GlyphMask direct = font().rendered(ch, 32);
        int differ = 0, enlargedDiffers = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const bool want = y < direct.height && x < direct.width &&
                                  direct.bits[static_cast<size_t>(y) * direct.width + x];
                differ += two.at(x, y) != want;
                enlargedDiffers += one.at(x / 2, y / 2) != want;
            }
        EXPECT_EQ(differ, 0);
        EXPECT_GT(enlargedDiffers, 0);
    }
}

TEST(Scaling, TheRecordedDrawingReplaysToThePictureAtAnyScale) {
    // Many overlapping operations, enough for the record to drop what is hidden several times;
    // the picture is the same replayed whole, or painted bit by bit as a window does.
    std::mt19937 random(7);
    auto n = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    std::vector<DrawOp> ops;
    auto next = [&]() -> DrawOp {
        const auto c = static_cast<std::uint8_t>(n(0, 15));
        const int x = n(-20, 300), y = n(-20, 200), w = n(0, 120), h = n(0, 90);
        switch (n(0, 6)) {
            case 0: return op::Rect{x, y, x + w, y + h, c};
            case 1: return op::Box{x, y, x + w, y + h, c};
            case 2: return op::Line{x, y, x + w, y + h - 45, c};
            case 3: return op::Circle{x + 0.5f, y * 1.0f, n(1, 44) / 2.0f, c, n(0, 1) == 1};
            case 4: return op::Glyphs{x, y, U"ｘ＝1", n(1, 2), n(1, 2), c, n(0, 1), n(0, 1)};
            case 5: return op::Rect{x, y, x + 3, y + 3, c};
            default: return op::Rect{x / 4, y / 4, x / 4, y / 4, c};  // few places: repeated often
        }
    };
    for (int i = 0; i < 6000; ++i) ops.emplace_back(next());
    for (double scale : {1.0, 0.6, 0.83, 1.7, 2.4}) {
        SCOPED_TRACE(scale);
        const int w = static_cast<int>(320 * scale), h = static_cast<int>(220 * scale);
        Canvas live(w, h), replayed(w, h), window(w, h);
        Painter paint(live, font(), scale), replay(replayed, font(), scale), catchUp(window, font(), scale);
        DrawList list;
        std::uint64_t seen = 0;
        for (size_t i = 0; i < ops.size(); ++i) {
            paint.apply(ops[i]);
            list.add(ops[i]);
            // A window paints what came since it last looked, now and then.
            if (i % 37 == 0) {
                for (size_t k = list.after(seen); k < list.ops.size(); ++k) catchUp.apply(list.ops[k]);
                seen = list.added;
            }
        }
        for (size_t k = list.after(seen); k < list.ops.size(); ++k) catchUp.apply(list.ops[k]);
        EXPECT_LT(list.ops.size(), ops.size() / 2);
        for (const auto& o : list.ops) replay.apply(o);
        EXPECT_TRUE(live.pixels() == replayed.pixels());
        EXPECT_TRUE(live.pixels() == window.pixels());
    }
}

// A window or page shows its first picture by painting only what the drawing changes over its
// black start, on pixels that hold anything at all; the rest it leaves black. The area must hold
// every pixel the drawing touches at any scale.
TEST(Scaling, OnlyTheAreaChangedOverBlackNeedsPainting) {
    std::mt19937 random(11);
    auto n = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    std::vector<DrawOp> ops;
    for (int i = 0; i < 60; ++i) {
        const auto c = static_cast<std::uint8_t>(n(1, 15));
        const int x = n(20, 200), y = n(20, 120);
        switch (i % 4) {
            case 0:
                ops.emplace_back(op::Box{x, y, x + n(0, 60), y + n(0, 40), c});
                break;
            case 1:
                ops.emplace_back(op::Line{x, y, x + n(-20, 60), y + n(-20, 40), c});
                break;
            case 2:
                ops.emplace_back(op::Circle{x + 0.5f, y * 1.0f, n(1, 30) / 2.0f, c, n(0, 1) == 1});
                break;
            default:
                ops.emplace_back(op::Glyphs{x, y, U"ｘ＝１２○", n(1, 2), n(1, 2), c, n(0, 2), n(0, 2)});
                break;
        }
    }
    // Each operation on its own, so that no other one's area hides a pixel left out of its own.
    for (double scale : {1.0, 0.6, 0.83, 1.2, 2.4}) {
        SCOPED_TRACE(scale);
        const int w = static_cast<int>(320 * scale), h = static_cast<int>(220 * scale);
        int differing = 0;
        for (const DrawOp& o : ops) {
            DrawList drawn;
            drawn.add(op::Fill{0});
            drawn.add(o);
            Canvas whole(w, h), part(w, h);
            Painter all(whole, font(), scale), some(part, font(), scale);
            for (const auto& d : drawn.ops) all.apply(d);
            const auto areas = changedOverBlackByOp(drawn, scale == 1.0 ? nullptr : &some);
            ASSERT_TRUE(areas);
            ASSERT_EQ(areas->size(), 1u);
            const Rect* area = &areas->front();
            part.fill(9);  // whatever the pixels held before
            part.fillRect(area->x1, area->y1, area->x2, area->y2, 0);
            some.apply(o);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool inside = x >= area->x1 && x <= area->x2 && y >= area->y1 && y <= area->y2;
                    differing += (inside ? part.at(x, y) : 0) != whole.at(x, y);
                }
        }
        EXPECT_EQ(differing, 0);
    }
    // A drawing that does not start on black has no such area.
    DrawList grey;
    grey.add(op::Fill{7});
    grey.add(op::Box{1, 1, 5, 5, 15});
    EXPECT_FALSE(changedOverBlackByOp(grey, nullptr));
    DrawList unfilled;
    unfilled.add(op::Box{1, 1, 5, 5, 15});
    EXPECT_FALSE(changedOverBlackByOp(unfilled, nullptr));
}

TEST(Scaling, TheFirstPicturesPartsAndWhatLiesOutsideThemCoverTheSurfaceOnce) {
    std::mt19937 random(5);
    auto n = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    constexpr int kW = 90, kH = 70;
    auto inside = [](const Rect& r, int x, int y) {
        return x >= r.x1 && x <= r.x2 && y >= r.y1 && y <= r.y2;
    };
    for (int round = 0; round < 200; ++round) {
        std::vector<Rect> areas;
        for (int i = n(0, 12); i > 0; --i) {
            const int x = n(-10, kW), y = n(-10, kH);
            areas.push_back(Rect{x, y, x + n(-1, 40), y + n(0, 20)});  // some empty, some beyond the edges
        }
        const std::vector<Rect> parts = fewerRects(areas);
        EXPECT_LE(parts.size(), areas.size());
        const std::vector<Rect> rest = outside(parts, kW, kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const bool wanted =
                    std::any_of(areas.begin(), areas.end(), [&](const Rect& r) { return inside(r, x, y); });
                const bool painted =
                    std::any_of(parts.begin(), parts.end(), [&](const Rect& r) { return inside(r, x, y); });
                const long around =
                    std::count_if(rest.begin(), rest.end(), [&](const Rect& r) { return inside(r, x, y); });
                ASSERT_TRUE(painted || !wanted) << "round " << round << ": " << x << "," << y << " left out";
                ASSERT_EQ(around, painted ? 0 : 1) << "round " << round << ": " << x << "," << y;
            }
        for (const Rect& r : rest)
            EXPECT_TRUE(r.x1 >= 0 && r.y1 >= 0 && r.x2 < kW && r.y2 < kH && !r.empty());
    }
    // A row of text cells side by side, and a label inside its box, each become one.
    std::vector<Rect> row;
    for (int i = 0; i < 20; ++i) row.push_back(Rect{10 + 19 * i, 40, 28 + 19 * i, 58});
    row.push_back(Rect{5, 5, 200, 30});
    row.push_back(Rect{20, 10, 60, 25});
    EXPECT_EQ(fewerRects(row).size(), 2u);
}

}  // namespace
}  // namespace rt
