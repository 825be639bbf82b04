// Every Morvane entry over every seed the clock can give: what is shown, where, in which colour,
// and whether the answer the shell accepts is the true solution of what is on the screen.
#include <gtest/gtest.h>

#include <set>

#include "morvane/test_support.h"
#include "shell/editor.h"
#include "shell/numtext.h"

namespace {

using namespace morvane_test;

struct Place {
    float x, y;
    int c;
};
bool operator==(const Place& a, const Place& b) { return a.x == b.x && a.y == b.y && a.c == b.c; }
std::ostream& operator<<(std::ostream& os, const Place& p) {
    return os << "(" << p.x << "," << p.y << ",c" << p.c << ")";
}
using TextAt = std::pair<Place, std::string>;
using Placed = std::vector<TextAt>;

Place PlaceOf(const Drawn& d) { return {d.x, d.y, d.c}; }
TextAt Line(const Drawn& d) { return {PlaceOf(d), d.text}; }

Placed PlacedLines(const std::vector<Drawn>& lines) {
    Placed out;
    for (const auto& d : lines) out.push_back({{d.x, d.y, d.c}, d.text});
    return out;
}

bool Same(const Linear& a, const Linear& b) { return a.c1 == b.c1 && a.c0 == b.c0; }

// A tenths value as the pupil types it: 2.8, 3.
std::string Decimal(const Rational& x) {
    const auto tenths = x.n * (10 / x.d);
    const std::string whole = std::to_string(tenths / 10);
    return tenths % 10 == 0 ? whole : whole + "." + std::to_string(tenths % 10);
}

// The same operation on one side of an equation.
Linear Apply(const Linear& side, const std::string& operation, const Rational& c) {
    if (operation == "をたして") return {side.c1, side.c0 + c};
    if (operation == "をひいて") return {side.c1, side.c0 - c};
    if (operation == "をかけて") return {side.c1 * c, side.c0 * c};
    return {side.c1 / c, side.c0 / c};
}

const Placed& EqualityPanel() {
    static const Placed panel = {
        {{48, 117, 11}, "＜等式の性質＞"},
        {{64, 153, 11}, "両辺に同じ数を、たしても、ひいても、"},
        {{64, 180, 11}, "かけても、わっても等式が成り立つ"},
        {{384, 126, 13}, "① A=B → A+c=B+c"},
        {{384, 153, 9}, "② A=B → A-c=B-c"},
        {{384, 180, 13}, "③ A=B → A*c=B*c"},
        {{384, 207, 9}, "④ A=B → A/c=B/c"},
    };
    return panel;
}

const Placed& TermsPanel() {
    static const Placed panel = {
        {{800, 270, 11}, "＜方程式＞　例　2x+3=5"},
        {{800, 297, 13}, "まだわかっていない数を表す文字をふくむ式"},
        {{800, 324, 11}, "＜方程式の解＞　例　x=1"},
        {{800, 351, 13}, "方程式を成り立たせる文字の値"},
        {{800, 378, 11}, "＜方程式を解く＞"},
        {{800, 405, 13}, "解を求めること"},
    };
    return panel;
}

TEST(MorvaneEntries, TableHoldsTenEntriesInOrder) {
    const auto& program = morvane::MorvaneProgram();
    EXPECT_EQ(program.title, U"Morvane");
    EXPECT_EQ(program.problemCount, 10);
    ASSERT_EQ(program.entries.size(), 10u);
    for (int e = 1; e <= 10; ++e) {
        const shell::Entry* entry = program.FindEntry(e);
        ASSERT_TRUE(entry && entry->Present && entry->HintStep1 && entry->HintStep2 && entry->HintStep3) << e;
    }
}

struct OneStepForm {
    int entry;
    const char* problem;    // the whole problem line
    const char* operation;  // the ending of the comment
    float row2, row3, row4;
};

TEST(MorvaneEntries, OneStepEquationsAreSolvedByTheirStepAndTheSolutionIsAccepted) {
    const OneStepForm forms[] = {
        {3, "① x-\\d=1\\d", "をたして", 324, 360, 396},
        {4, "② x-1(\\.[1-6])?=1(\\.[1-7])?", "をたして", 324, 360, 396},
        {5, "① x\\+\\d=1\\d", "をひいて", 342, 396, 450},
        {6, "② x\\+ﾀ\\d+/\\d+ﾀ=ﾀ\\d+/\\d+ﾀ", "をひいて", 342, 396, 450},
        {7, "① ﾀx/\\dﾀ=\\d", "をかけて", 342, 396, 450},
        {8, "② -ﾀx/\\dﾀ=\\d", "をかけて", 342, 396, 450},
        {9, "① \\dx=\\d+", "でわって", 342, 396, 450},
        {10, "② -\\dx=\\d+", "でわって", 342, 396, 450},
    };
    static const std::regex comment("両辺(?:に|から|を) (.+) (をたして|をひいて|をかけて|でわって)");
    for (const auto& form : forms) {
        const int e = form.entry;
        EntryRig rig(e);
        std::set<std::string> problems;
        for (int seed = 0; seed < kSeeds; ++seed) {
            const EntryRun r = rig.run(seed);
            SCOPED_TRACE("entry " + std::to_string(e) + " seed " + std::to_string(seed) + ": " + r.problem);
            const Placed present = {
                {{64, 72, 15}, "次の方程式を解きなさい。"},
                {{64, 288, 15}, r.problem},
                {{432, 536, 11}, "x= も入力、+はつけない"},
            };
            EXPECT_EQ(PlacedLines(r.present), present);
            ASSERT_TRUE(std::regex_match(r.problem, std::regex(form.problem)));
            problems.insert(r.problem);

            const auto sides = Sides(WithoutLabel(r.problem));
            const Rational x = *Solve(WithoutLabel(r.problem));
            const std::string typed = "x=" + (e == 4 ? Decimal(x) : x.answerText());
            EXPECT_EQ(rt::toUtf8(r.answer.accepted), typed);
            EXPECT_EQ(shell::CheckAnswer(rig.shell(), rt::fromUtf8(typed)), shell::Result::Right);
            const std::string wrong = "x=" + (x + Rational(1)).answerText();
            EXPECT_EQ(shell::CheckAnswer(rig.shell(), rt::fromUtf8(wrong)), shell::Result::Wrong);
            EXPECT_TRUE(r.answer.accepted2.empty() && r.answer.accepted3.empty());
            EXPECT_EQ(r.answer.partCount, 1);
            EXPECT_EQ(r.answer.labels[1], U"　　");

            EXPECT_EQ(PlacedLines(r.step[1]), EqualityPanel());
            ASSERT_EQ(r.step[2].size(), 1u);
            const Drawn& said = r.step[2][0];
            EXPECT_EQ(PlaceOf(said), (Place{112, form.row2, 13}));
            std::smatch m;
            ASSERT_TRUE(std::regex_match(said.text, m, comment)) << said.text;
            EXPECT_EQ(m[2].str(), form.operation);
            const Rational c = Sides(m[1].str()).at(0).c0;

            // The operation the comment names, applied to both sides, leaves x alone: that
            // is the equation of hint step 3, and its closing line is the solution.
            ASSERT_EQ(r.step[3].size(), 2u);
            const Drawn& applied = r.step[3][0];
            const Drawn& closing = r.step[3][1];
            EXPECT_EQ(PlaceOf(applied), (Place{80, form.row3, 15}));
            EXPECT_EQ(PlaceOf(closing), (Place{80, form.row4, 13}));
            const auto after = Sides(applied.text);
            ASSERT_EQ(after.size(), 2u) << applied.text;
            EXPECT_TRUE(Same(after[0], Apply(sides[0], m[2], c)) && Same(after[1], Apply(sides[1], m[2], c)))
                << applied.text;
            EXPECT_TRUE(Same(Apply(sides[0], m[2], c), Linear{1, 0})) << said.text;
            const auto chain = Sides(closing.text);
            EXPECT_TRUE(Same(chain.at(0), Linear{1, 0})) << closing.text;
            for (size_t k = 1; k < chain.size(); ++k)
                EXPECT_TRUE(Same(chain[k], Linear{0, x})) << closing.text;
            const std::string end = closing.text.substr(closing.text.rfind('=') + 1);
            EXPECT_EQ("x=" + rt::toUtf8(shell::StripMarkup(rt::fromUtf8(end))), typed) << closing.text;
        }
        EXPECT_GT(problems.size(), 25u) << "entry " << e;
    }
}

TEST(MorvaneEntries, ChoicesAreCheckedBySubstitutingAndOnlyTheRightDigitIsAccepted) {
    for (int e : {1, 2}) {
        // One rig for all seeds: each problem follows the last, as when the pupil repeats it.
        EntryRig rig(e);
        for (int seed = 0; seed < kSeeds; ++seed) {
            const EntryRun r = rig.run(seed);
            SCOPED_TRACE("entry " + std::to_string(e) + " seed " + std::to_string(seed) + ": " + r.problem);
            const std::string question = LineAt(r.present, 80, 72);
            Placed present = {{{80, 72, 15}, e == 1 ? "解が 3 である方程式の番号を答えなさい。" : question},
                              {{80, 99, 15}, e == 1 ? r.problem : "① 1   ② 2   ③ 3 "}};
            present.insert(present.end(), TermsPanel().begin(), TermsPanel().end());
            EXPECT_EQ(PlacedLines(r.present), present);

            // Entry 1: three equations and the value 3; entry 2: one equation and 1, 2, 3.
            std::vector<std::vector<Linear>> equations;
            if (e == 1) {
                for (const auto& text : Choices(r.problem)) {
                    // No left constant is 0, so every equation shows all four terms.
                    EXPECT_TRUE(std::regex_match(text, std::regex("\\dx[+-]\\d=x\\+\\d+"))) << text;
                    equations.push_back(Sides(text));
                }
            } else {
                ASSERT_TRUE(
                    std::regex_match(question, std::regex("\\dx\\+\\d=x\\+\\d+ の解の番号を答えなさい。")));
                equations.assign(3, Sides(QuestionEquation(question)));
            }
            ASSERT_EQ(equations.size(), 3u);
            std::vector<int> right;
            for (int k = 1; k <= 3; ++k) {
                const auto& eq = equations[k - 1];
                const Rational x = e == 1 ? 3 : k;
                if (At(eq[0], x) == At(eq[1], x)) right.push_back(k);
            }
            ASSERT_EQ(right.size(), 1u);
            const std::string digit = std::to_string(right[0]);
            EXPECT_EQ(rt::toUtf8(r.answer.accepted), digit);
            for (const std::string typed : {"1", "2", "3", "x=1", "x=2", "x=3"})
                EXPECT_EQ(shell::CheckAnswer(rig.shell(), rt::fromUtf8(typed)),
                          typed == digit ? shell::Result::Right : shell::Result::Wrong)
                    << typed;
            EXPECT_TRUE(r.answer.accepted2.empty() && r.answer.accepted3.empty());

            // Hint steps: every worked line has the value of its side at the substituted x.
            if (e == 1) {
                ASSERT_EQ(r.step[1].size(), 10u);
                EXPECT_EQ(Line(r.step[1][0]),
                          (TextAt{{112, 162, 13}, "それぞれの方程式の左辺に、x=3 を代入すると"}));
                const auto texts = Choices(r.problem);
                for (int k = 1; k <= 3; ++k) {
                    const float y = 198 + 108.0f * static_cast<float>(k - 1);
                    const Rational left = At(equations[k - 1][0], 3);
                    const Drawn* lines = &r.step[1][static_cast<size_t>(3 * k - 2)];
                    EXPECT_EQ(PlaceOf(lines[0]), (Place{80, y, 15}));
                    EXPECT_EQ(lines[0].text, "左辺=" + texts[k - 1].substr(0, texts[k - 1].find('=')));
                    EXPECT_EQ(PlaceOf(lines[1]), (Place{112, y + 36, 15}));
                    EXPECT_EQ(Values(lines[1].text), std::vector<Rational>{left}) << lines[1].text;
                    EXPECT_EQ(PlaceOf(lines[2]), (Place{112, y + 72, 15}));
                    EXPECT_EQ(Values(lines[2].text), (std::vector<Rational>{left, left})) << lines[2].text;
                }
                const Rational rightSide = At(equations[0][1], 3);
                ASSERT_EQ(r.step[2].size(), 3u);
                EXPECT_EQ(Line(r.step[2][0]), (TextAt{{112, 522, 13}, "方程式の右辺に、x=3 を代入すると"}));
                // One line of two texts: the value starts where the substitution ended.
                const Drawn& substituted = r.step[2][1];
                const Drawn& value = r.step[2][2];
                EXPECT_EQ(PlaceOf(substituted), (Place{80, 558, 15}));
                EXPECT_EQ(Values(substituted.text), std::vector<Rational>{rightSide}) << substituted.text;
                const float end = 80 + 16 * static_cast<float>(rt::fromUtf8(substituted.text).size());
                EXPECT_EQ(PlaceOf(value), (Place{end, 558, 15}));
                EXPECT_EQ(Values(value.text), std::vector<Rational>{rightSide}) << value.text;
            } else {
                ASSERT_EQ(r.step[1].size(), 9u);
                ASSERT_EQ(r.step[2].size(), 6u);
                const Place rightAt[] = {{112, 486, 13}, {512, 162, 13}, {512, 234, 13}};
                for (int k = 1; k <= 3; ++k) {
                    const float y = 162 + 108.0f * static_cast<float>(k - 1);
                    const auto& eq = equations[0];
                    const Rational left = At(eq[0], k), rightSide = At(eq[1], k);
                    const std::string kx = "x=" + std::to_string(k);
                    const Drawn* lines = &r.step[1][static_cast<size_t>(3 * k - 3)];
                    EXPECT_EQ(Line(lines[0]),
                              (TextAt{{112, y, 13}, "方程式の左辺に、" + kx + " を代入すると"}));
                    EXPECT_EQ(PlaceOf(lines[1]), (Place{80, y + 36, 15}));
                    EXPECT_NE(lines[1].text.find("*" + std::to_string(k) + "+"), std::string::npos)
                        << lines[1].text;
                    EXPECT_EQ(Values(lines[1].text), std::vector<Rational>{left}) << lines[1].text;
                    EXPECT_EQ(PlaceOf(lines[2]), (Place{112, y + 72, 15}));
                    EXPECT_EQ(Values(lines[2].text), (std::vector<Rational>{left, left})) << lines[2].text;

                    const Drawn* right2 = &r.step[2][static_cast<size_t>(2 * k - 2)];
                    const Place at = rightAt[k - 1];
                    EXPECT_EQ(Line(right2[0]), (TextAt{at, "方程式の右辺に、" + kx + " を代入すると"}));
                    EXPECT_EQ(PlaceOf(right2[1]), (Place{at.x - 32, at.y + 36, 15}));
                    EXPECT_EQ(Values(right2[1].text), (std::vector<Rational>{rightSide, rightSide}))
                        << right2[1].text;
                }
            }
            const float x3 = e == 1 ? 432 : 512;
            const Placed closing = {{{x3, 306, 13}, "したがって、答えは"}, {{x3 + 32, 342, 5}, digit + "番"}};
            EXPECT_EQ(PlacedLines(r.step[3]), closing);
        }
    }
}

}  // namespace
