#include "shell/frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/harness.h"

namespace {

using testing_rig::json;
using testing_rig::ops;
using testing_rig::Rig;

const shell::Program& TestProgram() {
    static const shell::Program program{U"Test", 13, {}};
    return program;
}

json Box(float x1, float y1, float x2, float y2, int c, int fill) {
    return {{"op", "fillBox"}, {"x1", x1}, {"y1", y1}, {"x2", x2}, {"y2", y2}, {"c", c}, {"fill", fill}};
}

json Drawn(float x, float y, const std::string& text, int c) {
    return {{"op", "drawScaledText"}, {"x", x}, {"y", y}, {"text", text}, {"sx", 1}, {"sy", 1}, {"c", c}};
}

TEST(ProblemFrame, WorkAreaAndPlate) {
    struct Row {
        int number;
        float y, left, right, bottom;
        float numberX;
        std::string numberText;
    };
    const std::vector<Row> rows = {
        {7, 63, 48, 448, 99, 12, " 7"},
        {12, 63, 48, 688, 126, 4, " 12"},
        {9, 100, 60, 300, 140, 12, " 9"},
        {10, 100, 60, 300, 140, 4, " 10"},
    };
    for (const auto& r : rows) {
        Rig rig(TestProgram());
        shell::ClearWorkArea(rig.sh);
        shell::DrawProblemPlate(rig.sh, r.number, r.y, r.left, r.right, r.bottom);
        const std::vector<json> expected = {
            Box(0, 54, 1440, 900, 0, 0),
            Box(4, r.y, 36, r.y + 36, 13, 8),
            Drawn(4, r.y, "ＮＯ", 7),
            Drawn(r.numberX, r.y + 18, r.numberText, 5),
            Box(r.left, r.y - 4, r.right, r.bottom + 4, 13, 2),
        };
        EXPECT_EQ(rig.events(), expected) << "problem " << r.number;
    }
}

TEST(FormatNumberTexts, BlankFreeTextsOfEveryTable) {
    Rig rig(TestProgram());
    auto& t = rig.sh.tab;
    t.T[0] = 3;
    t.T[40] = -2;
    t.F[5] = 0.5f;
    t.F[40] = 1.3f + 1.5f;
    t.A2[20] = -0.5f;
    t.B2[1] = 12;
    t.Ttext[7] = U"stale";
    shell::FormatNumberTexts(rig.sh);
    const std::vector<std::pair<shell::Text, std::string>> rows = {
        {t.Ttext[0], "3"}, {t.Ttext[40], "-2"}, {t.Ttext[7], "0"}, {t.Ftext[5], ".5"}, {t.Ftext[40], "2.8"},
        {t.Ftext[0], "0"}, {t.A2text[20], "-.5"},    {t.B2text[1], "12"},    {t.B2text[20], "0"},
    };
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rt::toUtf8(rows[i].first), rows[i].second) << "row " << i;
}

TEST(InputNumber, TypingBackspaceAndEnter) {
    struct Row {
        std::string keys;
        std::string result;
        std::vector<std::pair<float, std::string>> glyphs;  // x of each drawn character
        int clears;
    };
    const std::vector<Row> rows = {
        {"12{Enter}", "12", {{320, "１"}, {328, "２"}}, 0},
        // After Backspace the next character starts at the start position again.
        {"12{BS}3{Enter}", "3", {{320, "１"}, {328, "２"}, {320, "３"}}, 1},
        {"{BS}{BS}5{Enter}", "5", {{320, "５"}}, 2},
        {"{Enter}", "", {}, 0},
    };
    for (const auto& r : rows) {
        Rig rig(TestProgram(), r.keys);
        rig.sh.pen.x = 1;
        rig.sh.pen.y = 2;
        rig.sh.colour = 4;
        EXPECT_EQ(rt::toUtf8(shell::InputNumber(rig.sh, 320, 306)), r.result) << r.keys;
        const auto events = rig.events();
        std::vector<std::pair<float, std::string>> glyphs;
        for (const auto& e : ops(events, "drawScaledText")) {
            glyphs.emplace_back(e.at("x").get<float>(), e.at("text").get<std::string>());
            EXPECT_EQ(e.at("y"), 306) << r.keys;
            EXPECT_EQ(e.at("c"), 13) << r.keys;
        }
        EXPECT_EQ(glyphs, r.glyphs) << r.keys;
        int clears = 0;
        for (const auto& e : ops(events, "fillBox")) {
            EXPECT_EQ(e, Box(208, 296, 688, 326, 0, 0)) << r.keys;
            ++clears;
        }
        EXPECT_EQ(clears, r.clears) << r.keys;
        // The cursor dot is drawn before every poll and the last one is erased.
        const auto dots = ops(events, "drawCircle");
        ASSERT_FALSE(dots.empty()) << r.keys;
        EXPECT_EQ(dots.front().at("c"), 15) << r.keys;
        EXPECT_EQ(dots.back().at("c"), 0) << r.keys;
        EXPECT_EQ(dots.back().at("r"), 4) << r.keys;
        EXPECT_EQ(dots.back().at("y"), 314) << r.keys;
        EXPECT_EQ(rig.sh.pen.x, 1) << r.keys;
        EXPECT_EQ(rig.sh.pen.y, 2) << r.keys;
        EXPECT_EQ(rig.sh.colour, 4) << r.keys;
    }
}

}  // namespace
