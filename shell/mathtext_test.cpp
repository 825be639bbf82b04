#include "shell/mathtext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/numtext.h"
#include "tests/harness.h"

namespace {

using shell::Text;
using testing_rig::json;
using testing_rig::ops;
using testing_rig::Rig;

const shell::Program& TestProgram() {
    static const shell::Program program{U"Test", 1, {}};
    return program;
}

struct Glyph {
    float x, y;
    std::string text;
    bool operator==(const Glyph&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Glyph& g) {
    return os << "(" << g.x << "," << g.y << " " << g.text << ")";
}

std::vector<Glyph> Glyphs(const std::vector<json>& events) {
    std::vector<Glyph> out;
    for (const auto& e : ops(events, "drawScaledText"))
        out.push_back({e.at("x").get<float>(), e.at("y").get<float>(), e.at("text").get<std::string>()});
    return out;
}

struct Line {
    float x1, y1, x2, y2;
    bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l) {
    return os << "(" << l.x1 << "," << l.y1 << ")-(" << l.x2 << "," << l.y2 << ")";
}

std::vector<Line> Lines(const std::vector<json>& events) {
    std::vector<Line> out;
    for (const auto& e : ops(events, "drawLine"))
        out.push_back({e.at("x1").get<float>(), e.at("y1").get<float>(), e.at("x2").get<float>(),
                       e.at("y2").get<float>()});
    return out;
}

// The first point of each root sign: y + 12 for a short one, y + 20 for a tall one.
std::vector<std::pair<float, float>> RootStarts(const std::vector<json>& events) {
    std::vector<std::pair<float, float>> out;
    for (const auto& e : ops(events, "drawPolyline"))
        out.emplace_back(e.at("points")[0][0].get<float>(), e.at("points")[0][1].get<float>());
    return out;
}

TEST(ToFullWidth, StandardTables) {
    const auto& t = shell::StandardSymbols();
    EXPECT_EQ(t.from1.size(), t.to1.size());
    EXPECT_EQ(t.from2.size(), t.to2.size());
    // The points where the tables are easy to get wrong; marks stay as they are.
    const std::vector<std::pair<char32_t, char32_t>> rows = {
        {U'A', U'Α'}, {U'X', U'Ｘ'}, {U'x', U'χ'},  {U'/', U'÷'}, {U'ﾀ', U'―'}, {U'*', U'×'},
        {U'~', U'△'}, {U' ', U'　'}, {U':', U'：'}, {U'^', U'^'}, {U'#', U'#'}, {U'\\', U'\\'},
    };
    for (const auto& [in, out] : rows)
        EXPECT_EQ(rt::toUtf8(Text(1, shell::ToFullWidth(t, in))), rt::toUtf8(Text(1, out)))
            << rt::toUtf8(Text(1, in));
}

TEST(DrawText, GlyphPositions) {
    struct Row {
        const char32_t* text;
        std::vector<Glyph> glyphs;
        float endX;
    };
    // Pen at (100, 200): full-width glyphs at y 200, half-width ones lifted to 196.
    const std::vector<Row> rows = {
        {U"x^2", {{100, 200, "χ"}, {116, 196, "2"}}, 132},
        {U"3.14", {{100, 200, "３"}, {112, 200, "．"}, {116, 200, "１"}, {132, 200, "４"}}, 148},
        {U"!2ﾝ+1", {{116, 200, "２"}, {132, 200, "＋"}, {148, 200, "１"}}, 164},
        {U"ﾀ", {}, 100},
        {U"aﾀb", {{100, 200, "ａ"}, {116, 200, "ｂ"}}, 132},
        {U"1 2", {{100, 200, "１"}, {132, 200, "２"}}, 148},
        {U" ", {}, 116},
        {U"", {}, 100},
        {U"^x=^ﾀ", {{100, 196, "x"}, {116, 200, "＝"}, {132, 196, "ﾀ"}}, 148},
        {U"3*A", {{100, 200, "３"}, {116, 200, "×"}, {132, 200, "Α"}}, 148},
        // Three cells over one: the denominator moves two half cells right.
        {U"ﾀ123/4ﾀ",
         {{100, 188, "１"},
          {116, 188, "２"},
          {132, 188, "３"},
          {116, 216, "４"},
          {100, 200, "―"},
          {116, 200, "―"},
          {132, 200, "―"}},
         148},
        {U"ﾀ1/23ﾀ=",
         {{108, 188, "１"},
          {100, 216, "２"},
          {116, 216, "３"},
          {100, 200, "―"},
          {116, 200, "―"},
          {132, 200, "＝"}},
         148},
    };
    for (const auto& r : rows) {
        Rig rig(TestProgram());
        shell::DrawText(rig.sh, 100, 200, 4, r.text);
        const auto events = rig.events();
        const std::string at = rt::toUtf8(r.text);
        EXPECT_EQ(Glyphs(events), r.glyphs) << at;
        EXPECT_EQ(rig.sh.pen.x, r.endX) << at;
        EXPECT_EQ(rig.sh.pen.y, 200) << at;
        for (const auto& e : ops(events, "drawScaledText")) EXPECT_EQ(e.at("c"), 4) << at;
        // What the screen says is read from the DrawText event, written before any drawing.
        ASSERT_FALSE(events.empty()) << at;
        EXPECT_EQ(events.front(), (json{{"op", "DrawText"}, {"x", 100}, {"y", 200}, {"c", 4}, {"text", at}}));
    }
}

TEST(DrawChars, BlanksTakeNoCellAndThePointNone) {
    struct Row {
        const char32_t* text;
        std::vector<Glyph> glyphs;
        float ds4;
    };
    const std::vector<Row> rows = {
        {U"1 2", {{50, 80, "１"}, {66, 80, "２"}}, 82},
        {U"", {}, 66},
        {U"  ", {}, 66},
        {U"2.5", {{50, 80, "２"}, {62, 80, "．"}, {66, 80, "５"}}, 82},
        {U"^ﾀ", {{50, 76, "ﾀ"}}, 66},
        {U"ﾀﾀﾀ", {{50, 80, "―"}, {66, 80, "―"}, {82, 80, "―"}}, 98},
    };
    for (const auto& r : rows) {
        Rig rig(TestProgram());
        rig.sh.pen.x = 50;
        rig.sh.pen.y = 80;
        const float end = shell::DrawChars(rig.sh, r.text);
        EXPECT_EQ(Glyphs(rig.events()), r.glyphs) << rt::toUtf8(r.text);
        EXPECT_EQ(end, r.ds4) << rt::toUtf8(r.text);
        EXPECT_EQ(rig.sh.charsEndX, r.ds4) << rt::toUtf8(r.text);
        EXPECT_FALSE(rig.sh.escapeNext) << rt::toUtf8(r.text);
    }
}

TEST(DrawText, RootsAndTheirOverlines) {
    struct Row {
        const char32_t* text;
        std::vector<std::pair<float, float>> roots;
        std::vector<Line> lines;
        shell::RootState rootState;
    };
    const std::vector<Row> rows = {
        // The 2 gets its overline twice (once as the cell after the sign, once as a radicand
        // cell); "+1" after the end mark gets none.
        {U"!2ﾝ+1", {{100, 212}}, {{116, 195, 132, 195}, {116, 195, 132, 195}}, shell::RootState::None},
        {U"!15",
         {{100, 212}},
         {{116, 195, 132, 195}, {116, 195, 132, 195}, {132, 195, 148, 195}},
         shell::RootState::Short},
        // A tall root over a fraction: the overline runs on over every bar cell.
        {U"#ﾀ1/2ﾀﾝ", {{100, 220}}, {{116, 184, 132, 184}}, shell::RootState::None},
        {U"#ﾀ12/5ﾀﾝ", {{100, 220}}, {{116, 184, 132, 184}, {132, 184, 148, 184}}, shell::RootState::None},
        // A root inside a fraction part, overlined in the numerator row.
        {U"ﾀ!2ﾝ/3ﾀ", {{100, 200}}, {{116, 183, 132, 183}}, shell::RootState::None},
        {U"ﾀ1/!3ﾝ+1ﾀ", {{100, 228}}, {{116, 211, 132, 211}}, shell::RootState::None},
        {U"^!2", {}, {}, shell::RootState::None},
    };
    for (const auto& r : rows) {
        Rig rig(TestProgram());
        shell::DrawText(rig.sh, 100, 200, 4, r.text);
        const auto events = rig.events();
        const std::string at = rt::toUtf8(r.text);
        EXPECT_EQ(RootStarts(events), r.roots) << at;
        EXPECT_EQ(Lines(events), r.lines) << at;
        EXPECT_EQ(rig.sh.rootState, r.rootState) << at;
        for (const auto& e : ops(events, "drawLine")) EXPECT_EQ(e.at("c"), 4) << at;
    }
}

TEST(DrawTypedFraction, CentresTheShorterPart) {
    Rig rig(TestProgram());
    rig.sh.pen.x = 7;
    rig.sh.pen.y = 9;
    // As the answer editor leaves it: every part with its own end mark.
    EXPECT_EQ(shell::DrawTypedFraction(rig.sh, 200, 300, U"ﾝ12ﾝ/345ﾝ"), 248);
    const auto g = Glyphs(rig.events());
    ASSERT_EQ(g.size(), 8u);
    EXPECT_EQ(g[0], (Glyph{208, 288, "１"}));
    EXPECT_EQ(g[2], (Glyph{200, 316, "３"}));
    EXPECT_EQ(rig.sh.pen.x, 7);
    EXPECT_EQ(rig.sh.pen.y, 9);
}

TEST(MeasureMarkup, CellsOfMarkedUpText) {
    const std::vector<std::tuple<const char32_t*, int, int>> rows = {
        {U"abﾀ12/3ﾀcd", 0, 6},   {U"", 0, 0},      {U"ﾀ1/2ﾀ", 0, 1}, {U"ﾀ1/2ﾀ", 4, 5}, {U"x^2ﾝ", 0, 2},
        {U"ﾀ1/23ﾀ+ﾀ4/5ﾀ", 0, 4}, {U"ﾀ12/3", 0, 2}, {U"ﾜ3", 0, 1},
    };
    for (const auto& [text, start, cells] : rows)
        EXPECT_EQ(shell::MeasureMarkup(text, start), cells) << rt::toUtf8(text) << " from " << start;
}

TEST(DrawFramedText, BoxSizeMarginAndMarker) {
    struct Row {
        const char32_t* text;
        float width, height;
        bool marker;
        // expected
        float boxWidth, boxHeight;
        float textDx, textDy;  // -1: no text drawn
        float markerR;         // 0: no marker
        int markerFill;
    };
    const std::vector<Row> rows = {
        {U"abc", 96, 18, false, 96, 18, 26, 0, 0, 0},   {U"abcdefg", 96, 18, false, 128, 18, 10, 0, 0, 0},
        {U"ﾀ1/2ﾀ", 96, 18, false, 96, 32, 42, 7, 0, 0}, {U"", 96, 18, false, 96, 18, -1, -1, 0, 0},
        {U"", 80, 10, false, 80, 10, -1, -1, 0, 0},     {U"a", 0, 0, false, 32, 16, 10, -1, 0, 0},
        {U"ab", 64, 40, true, 64, 40, 18, 11, 6, 3},
    };
    for (const auto& r : rows) {
        Rig rig(TestProgram());
        rig.sh.box = {r.width, r.height, 15, 8, r.marker};
        rig.sh.colour = 13;
        const float end = shell::DrawFramedText(rig.sh, 300, 100, r.text);
        const auto events = rig.events();
        const std::string at = rt::toUtf8(r.text) + " in " + std::to_string(r.width);
        EXPECT_EQ(end, 300 + r.boxWidth) << at;
        EXPECT_EQ(rig.sh.pen.x, 300 + r.boxWidth) << at;
        EXPECT_EQ(rig.sh.pen.y, 100) << at;
        EXPECT_EQ(rig.sh.box.width, r.boxWidth) << at;
        EXPECT_EQ(rig.sh.box.height, r.boxHeight) << at;
        EXPECT_FALSE(rig.sh.box.marker) << at;
        const auto boxes = ops(events, "fillBox");
        ASSERT_EQ(boxes.size(), 1u) << at;
        EXPECT_EQ(boxes[0], (json{{"op", "fillBox"},
                                  {"x1", 300},
                                  {"y1", 100},
                                  {"x2", 300 + r.boxWidth},
                                  {"y2", 100 + r.boxHeight},
                                  {"c", 15},
                                  {"fill", 8}}))
            << at;
        const auto texts = ops(events, "DrawText");
        if (r.textDx < 0) {
            EXPECT_TRUE(texts.empty()) << at;
            EXPECT_TRUE(ops(events, "drawScaledText").empty()) << at;
        } else {
            ASSERT_EQ(texts.size(), 1u) << at;
            EXPECT_EQ(texts[0].at("x").get<float>(), 300 + r.textDx) << at;
            EXPECT_EQ(texts[0].at("y").get<float>(), 100 + r.textDy) << at;
            EXPECT_EQ(texts[0].at("c"), 13) << at;
        }
        const auto circles = ops(events, "drawCircle");
        if (r.markerR == 0) {
            EXPECT_TRUE(circles.empty()) << at;
        } else {
            ASSERT_EQ(circles.size(), 1u) << at;
            EXPECT_EQ(circles[0].at("x").get<float>(), 300 + r.markerR) << at;
            EXPECT_EQ(circles[0].at("y").get<float>(), 100 + r.boxHeight / 2) << at;
            EXPECT_EQ(circles[0].at("r").get<float>(), r.markerR) << at;
            EXPECT_EQ(circles[0].at("c"), 15) << at;
            EXPECT_EQ(circles[0].at("fill"), r.markerFill) << at;
        }
    }
    // The widened width stays for the next box.
    Rig rig(TestProgram());
    rig.sh.box = {96, 18, 15, 3, true};
    shell::DrawFramedText(rig.sh, 0, 0, U"abcdefg");
    shell::DrawFramedText(rig.sh, 0, 40, U"ab");
    const auto boxes = ops(rig.events(), "fillBox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].at("x2"), 128);
    const auto circles = ops(rig.events(), "drawCircle");
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(circles[0].at("fill"), 5);
}

TEST(DrawText, FramedCharacterInsideText) {
    Rig rig(TestProgram());
    rig.sh.box = {32, 18, 15, 8, 1};
    shell::DrawText(rig.sh, 100, 200, 13, U"aﾜ3b");
    const auto events = rig.events();
    const auto boxes = ops(events, "fillBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].at("x1"), 116);
    EXPECT_EQ(boxes[0].at("x2"), 148);
    EXPECT_EQ(Glyphs(events), (std::vector<Glyph>{{100, 200, "ａ"}, {126, 200, "３"}, {148, 200, "ｂ"}}));
    EXPECT_EQ(testing_rig::drawnTexts(events), (std::vector<std::string>{"aﾜ3b", "3"}));
    EXPECT_EQ(rig.sh.pen.x, 164);
    EXPECT_EQ(rig.sh.pen.y, 200);
    EXPECT_EQ(rig.sh.colour, 13);
}

// One screen with every kind of markup, compared pixel for pixel with the stored image.
void DrawMarkupSheet(shell::Shell& sh) {
    const std::vector<std::pair<float, const char32_t*>> lines = {
        {40, U"3x-5=2   x^2+y^2=25   A*B/C"}, {110, U"x=ﾀ2/3ﾀ+ﾀ123/4ﾀ-ﾀx+1/12ﾀ"},
        {180, U"!2ﾝ+!15ﾝ=ﾀ!3ﾝ/2ﾀ   ﾀ1/!5ﾝﾀ"}, {260, U"#ﾀ1/2ﾀﾝ=#ﾀx+1/12ﾀﾝ+1"},
        {330, U"3.14  -.5  x=2.5  0.25"},     {400, U"~ABC ?  'A=90%  a@b  &r  x[3  y]2  $"},
    };
    for (const auto& [y, text] : lines) shell::DrawText(sh, 40, y, 15, text);
    sh.box = {32, 18, 13, 8, false};
    shell::DrawText(sh, 40, 470, 15, U"aﾜ3+ﾜ4b");
    sh.box = {96, 18, 15, 2, true};
    sh.colour = 13;
    shell::DrawFramedText(sh, 40, 530, U"x+1");
    // A fraction is taller than the 32 px minimum height: the caller gives it room.
    sh.box = {96, 48, 15, 3, true};
    shell::DrawFramedText(sh, 180, 530, U"ﾀ1/2ﾀx");
    sh.box = {48, 40, 15, 8, false};
    shell::DrawFramedText(sh, 320, 530, U"");
}

TEST(MarkupSheet, MatchesReferenceImage) {
    Rig rig(TestProgram());
    DrawMarkupSheet(rig.sh);
    testing_rig::ExpectMatchesReference(rig.screen.canvas(), "markup");
}

}  // namespace
