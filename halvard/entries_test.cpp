// Every Halvard entry over every seed the clock can give: what is shown, where, in which colour,
// and whether the answer the shell accepts is the true solution of the equation on the screen.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "halvard/test_support.h"
#include "shell/editor.h"
#include "shell/numtext.h"

namespace {

using namespace halvard_test;

constexpr int kSeeds = 142;  // the clock's seed is hours + minutes + seconds: 0 to 141

struct Place {
    float x, y;
    int c;
};
bool operator==(const Place& a, const Place& b) { return a.x == b.x && a.y == b.y && a.c == b.c; }
std::ostream& operator<<(std::ostream& os, const Place& p) {
    return os << "(" << p.x << "," << p.y << ",c" << p.c << ")";
}

std::vector<Place> Places(const std::vector<Drawn>& lines) {
    std::vector<Place> out;
    for (const auto& d : lines) out.push_back({d.x, d.y, d.c});
    return out;
}

// Where hint steps 2 and 3 draw their lines, entry by entry.
struct Layout {
    int entry;
    std::vector<Place> step2, step3;
};

const std::vector<Layout>& Layouts() {
    // Comments in 11, equations in 15, the closing line in 13.
    static const std::vector<Layout> layouts = {
        {1, {{112, 324, 11}, {80, 360, 15}}, {{80, 396, 15}, {112, 432, 11}, {80, 486, 13}}},
        {2, {{112, 324, 11}, {80, 360, 15}}, {{80, 396, 15}, {112, 432, 11}, {80, 486, 13}}},
        {3, {{112, 324, 11}, {80, 360, 15}, {80, 396, 15}}, {{112, 432, 11}, {80, 486, 13}}},
        {4, {{112, 324, 11}, {80, 360, 15}}, {{80, 396, 15}, {112, 432, 11}, {80, 486, 13}}},
        {5, {{112, 324, 11}, {80, 360, 15}, {80, 396, 15}}, {{112, 432, 11}, {80, 486, 13}}},
        {6, {{112, 324, 11}, {80, 360, 15}}, {{80, 396, 15}, {112, 432, 11}, {80, 486, 13}}},
        {7, {{80, 324, 15}, {112, 360, 11}, {80, 396, 15}}, {{80, 432, 15}, {112, 468, 11}, {80, 522, 13}}},
        {8, {{80, 324, 15}, {112, 360, 11}, {80, 396, 15}}, {{80, 432, 15}, {112, 468, 11}, {80, 522, 13}}},
        {9,
         {{112, 324, 11}, {80, 360, 15}, {112, 396, 11}, {80, 432, 15}},
         {{80, 468, 15}, {112, 504, 11}, {80, 540, 13}}},
        {10,
         {{112, 324, 11}, {80, 360, 15}, {112, 396, 11}, {80, 432, 15}},
         {{80, 468, 15}, {112, 504, 11}, {80, 540, 13}}},
        {11,
         {{112, 333, 11}, {80, 378, 15}, {80, 414, 15}},
         {{112, 450, 11}, {80, 486, 15}, {432, 333, 15}, {480, 378, 11}, {432, 414, 13}}},
        {12,
         {{112, 333, 11}, {80, 378, 15}, {80, 414, 15}},
         {{112, 450, 11}, {80, 486, 15}, {400, 333, 15}, {432, 378, 11}, {400, 414, 13}}},
        {13,
         {{112, 333, 11}, {80, 378, 15}, {80, 432, 15}},
         {{432, 333, 11},
          {400, 378, 15},
          {432, 432, 11},
          {400, 468, 15},
          {752, 333, 15},
          {800, 378, 11},
          {752, 432, 13}}},
    };
    return layouts;
}

// Every line that states an equation (an equation line, or the closing chain) must have the
// problem's solution: a slip anywhere in the worked solution shows as a different x.
void ExpectSameSolution(const Drawn& d, const Rational& x, const std::string& where) {
    if (d.c == 11) return;  // comments
    const auto sides = Sides(d.text);
    ASSERT_GE(sides.size(), 2u) << where << d.text;
    if (d.c == 13) {
        // x=chain: every later side is a number equal to the solution.
        ASSERT_TRUE(sides[0].c1 == Rational(1) && sides[0].c0.zero()) << where << d.text;
        for (size_t k = 1; k < sides.size(); ++k)
            EXPECT_TRUE(sides[k].c1.zero() && sides[k].c0 == x) << where << d.text;
        return;
    }
    ASSERT_EQ(sides.size(), 2u) << where << d.text;
    const auto s = Solve(d.text);
    ASSERT_TRUE(s.has_value()) << where << d.text;
    EXPECT_TRUE(*s == x) << where << d.text << " has x=" << s->answerText() << ", not " << x.answerText();
}

TEST(HalvardEntries, EverySeedShowsASolvableProblemWhoseSolutionIsAccepted) {
    const auto& program = halvard::HalvardProgram();
    ASSERT_EQ(program.title, U"Halvard");
    ASSERT_EQ(program.problemCount, 13);
    ASSERT_EQ(program.entries.size(), 13u);
    for (size_t i = 0; i < program.entries.size(); ++i)
        EXPECT_EQ(program.entries[i].number, static_cast<int>(i) + 1);

    for (const auto& layout : Layouts()) {
        const int e = layout.entry;
        const shell::Entry* entry = program.FindEntry(e);
        ASSERT_TRUE(entry && entry->Present && entry->HintStep1 && entry->HintStep2 && entry->HintStep3) << e;
        EntryRig rig(e);
        const std::string label = e == 13 ? "問 " : e % 2 ? "① " : "② ";
        std::set<std::string> problems;
        for (int seed = 0; seed < kSeeds; ++seed) {
            const std::string where = "entry " + std::to_string(e) + " seed " + std::to_string(seed) + ": ";
            const EntryRun r = rig.run(seed);
            const auto& sh = rig.shell();

            std::vector<std::pair<Place, std::string>> present;
            for (const auto& d : r.present) present.push_back({{d.x, d.y, d.c}, d.text});
            const std::vector<std::pair<Place, std::string>> wantPresent = {
                {{64, 72, 15}, "次の方程式を解きなさい。"},
                {{64, 288, 15}, r.problem},
                {{432, 536, e == 13 ? 7 : 11}, "x= も入力、+はつけない"},
            };
            EXPECT_EQ(present, wantPresent) << where;
            ASSERT_EQ(r.problem.rfind(label, 0), 0u) << where << r.problem;
            problems.insert(r.problem);

            const auto x = Solve(WithoutLabel(r.problem));
            ASSERT_TRUE(x.has_value()) << where << r.problem << " has no single solution";
            const std::string typed = "x=" + x->answerText();
            EXPECT_EQ(rt::toUtf8(r.answer.accepted), typed) << where << r.problem;
            EXPECT_EQ(shell::CheckAnswer(sh, rt::fromUtf8(typed)), shell::Result::Right)
                << where << r.problem;
            const std::string wrong = "x=" + (*x + Rational(1)).answerText();
            EXPECT_EQ(shell::CheckAnswer(sh, rt::fromUtf8(wrong)), shell::Result::Wrong)
                << where << r.problem;
            EXPECT_EQ(rt::toUtf8(r.answer.accepted2), e == 13 ? typed : "") << where;
            EXPECT_TRUE(r.answer.accepted3.empty()) << where;
            EXPECT_EQ(r.answer.partCount, 1);
            EXPECT_EQ(r.answer.labels[0], U"  ");
            EXPECT_EQ(r.answer.labels[1], U"　　");
            EXPECT_EQ(sh.currentProblem, e);
            EXPECT_EQ(sh.attempts, 0);

            EXPECT_EQ(Places(r.step[2]), layout.step2) << where;
            EXPECT_EQ(Places(r.step[3]), layout.step3) << where;
            for (int k = 2; k <= 3; ++k)
                for (const auto& d : r.step[k]) {
                    ExpectSameSolution(d, *x, where);
                    // Every line stays on the canvas: no text of the entries runs past 1440.
                    EXPECT_LE(d.x + 16 * static_cast<float>(rt::fromUtf8(d.text).size()), 1440)
                        << where << d.text;
                    if (d.c == 11) {
                        static const std::regex comment(
                            "(.* を移項して|両辺を -?[0-9]+ でわって|両辺に.* をかけて|"
                            "両辺に１０をかけて|かっこをはずして)");
                        EXPECT_TRUE(std::regex_match(d.text, comment)) << where << d.text;
                    }
                }
            // The answer is the reduced end of the closing chain, markup removed.
            const std::string closing = r.step[3].back().text;
            const auto cut = closing.rfind('=');
            const Text end = shell::StripMarkup(rt::fromUtf8(closing.substr(cut + 1)));
            EXPECT_EQ("x=" + rt::toUtf8(end), typed) << where << closing;
        }
        // The seeds give many different problems, not one repeated.
        EXPECT_GT(problems.size(), 40u) << "entry " << e;
    }
}

// Relative luminance of a palette colour, 0 to 1.
double Luminance(int c) {
    const std::uint32_t rgb = rt::kPalette[c];
    return (0.2126 * ((rgb >> 16) & 0xFF) + 0.7152 * ((rgb >> 8) & 0xFF) + 0.0722 * (rgb & 0xFF)) / 255.0;
}

// The first hint step is a panel of the fundamentals: every line between the problem plate and
// the problem line, inside the canvas, bright on the dark background, each column read from top
// to bottom without two lines on one row; the decimal and fraction entries add the rule on such
// coefficients.
TEST(HalvardEntries, HintStepOneIsAReadableFundamentalsPanel) {
    std::vector<std::string> basic;
    for (int e = 1; e <= 13; ++e) {
        EntryRig rig(e);
        const EntryRun r = rig.run(7, 1);
        const std::string where = "entry " + std::to_string(e);
        ASSERT_FALSE(r.step[1].empty()) << where;
        std::map<float, float> lastY;  // column x -> y of its last line
        std::vector<std::string> texts;
        for (const auto& d : r.step[1]) {
            const float width = 16.0f * static_cast<float>(shell::StripMarkup(rt::fromUtf8(d.text)).size());
            EXPECT_GE(d.y, 103) << where << ": " << d.text << " overlaps the problem plate";
            EXPECT_LE(d.y + 18, 288) << where << ": " << d.text << " runs into the problem line";
            EXPECT_GE(d.x, 0) << where << ": " << d.text;
            EXPECT_LE(d.x + width, 1440) << where << ": " << d.text;
            EXPECT_GT(Luminance(d.c), 0.3) << where << ": " << d.text << " in colour " << d.c;
            if (lastY.count(d.x)) {
                EXPECT_GE(d.y, lastY[d.x] + 16) << where << ": " << d.text << " out of order";
            }
            lastY[d.x] = d.y;
            texts.push_back(d.text);
        }
        const bool decimalRule = std::any_of(texts.begin(), texts.end(),
                                             [](const std::string& t) { return t.find("小数") != t.npos; });
        EXPECT_EQ(decimalRule, e >= 9) << where;
        if (e == 1) basic = texts;
        // The panel is the same for every entry, but for the added rule.
        std::erase_if(texts, [](const std::string& t) { return t.find("小数") != t.npos; });
        EXPECT_EQ(texts, basic) << where;
    }
}

}  // namespace
