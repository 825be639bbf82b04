// Brenwick as a pupil uses it: its start, contents screen and view mode, answers typed and
// marked, what its keys type and how its text is drawn, and two worked solutions compared
// pixel by pixel with reference images.
#include <gtest/gtest.h>

#include <functional>

#include "brenwick/test_support.h"
#include "runtime/canvas.h"
#include "shell/mathtext.h"

namespace {

using namespace brenwick_test;
using testing_rig::json;
using testing_rig::ops;

// An event of `op` with all the given fields.
bool Has(const std::vector<json>& events, const std::string& op,
         std::initializer_list<std::pair<const char*, json>> fields) {
    for (const auto& e : ops(events, op)) {
        bool all = true;
        for (const auto& [k, v] : fields) all = all && e.contains(k) && e.at(k) == v;
        if (all) return true;
    }
    return false;
}

int Count(const std::vector<json>& events, const std::string& op,
          std::initializer_list<std::pair<const char*, json>> fields) {
    int n = 0;
    for (const auto& e : ops(events, op)) {
        bool all = true;
        for (const auto& [k, v] : fields) all = all && e.contains(k) && e.at(k) == v;
        n += all;
    }
    return n;
}

TEST(BrenwickShell, StartsWithItsKeysContentsScreenAndPracticeScreen) {
    // 0 and 6 ask again; 1 starts the round.
    const auto run = testing_rig::runProgram(brenwick::BrenwickProgram(), "10{Enter}6{Enter}1{Enter}");
    EXPECT_EQ(run.status, 0) << run.errors;
    const auto& ev = run.events;
    const char* keys[] = {"Q", "W", "E", "R", "T", "@", "I", "[", "]", "S", "V", ""};
    const auto set = ops(ev, "setFunctionKey");
    ASSERT_EQ(set.size(), 12u);
    for (size_t i = 0; i < 12; ++i) EXPECT_EQ(set[i].at("text"), keys[i]) << "F" << i + 1;

    EXPECT_TRUE(
        Has(ev, "fillBox", {{"x1", 240}, {"y1", 72}, {"x2", 528}, {"y2", 142}, {"c", 15}, {"fill", 10}}));
    for (const auto& [y, text] :
         std::vector<std::pair<int, std::string>>{{216, "★ 練習5 題・・・・・・・・・・・・・１"},
                                                  {252, "★ 練習5 題を見る・・・・・・・・・・２"},
                                                  {324, "★ 終わる・・・・・・・・・・・・・・３"}})
        EXPECT_TRUE(Has(ev, "DrawText", {{"x", 320}, {"y", y}, {"c", 15}, {"text", text}})) << text;
    EXPECT_EQ(Count(ev, "drawScaledText", {{"x", 288}, {"y", 270}}), 3) << "0 and 6 ask again";

    // The practice screen: title, key help in text cells under it, then problem 1 on a work
    // area cleared from y 36 across the whole 1920 canvas.
    EXPECT_TRUE(Has(ev, "drawScaledText", {{"x", 0}, {"y", 9}, {"text", "Brenwick"}, {"c", 5}}));
    EXPECT_TRUE(Has(ev, "locateText", {{"column", 71}, {"row", 1}}));
    EXPECT_TRUE(Has(ev, "printText",
                    {{"text", "分数→f.10,  √→f.1, π→f.6, 累乗→f.2～f.5, ≦≧→f.8,f.9, ±→f.7 ,√分数→f.11"}}));
    EXPECT_TRUE(Has(ev, "fillBox", {{"x1", 0}, {"y1", 36}, {"x2", 1920}, {"y2", 900}, {"fill", 0}}));
    EXPECT_TRUE(Has(ev, "Present", {{"entry", 1}}));
}

TEST(BrenwickShell, ViewModeShowsEveryProblemWithItsEnterBox) {
    const auto run =
        testing_rig::runProgram(brenwick::BrenwickProgram(), "2x {Enter}{Enter}{Enter}{Enter}{Enter}");
    const auto& ev = run.events;
    std::vector<int> shown;
    for (const auto& p : ops(ev, "Present")) shown.push_back(p.at("entry"));
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Count(ev, "fillBox", {{"x1", 472}, {"y1", 531}, {"x2", 600}, {"y2", 567}, {"fill", 8}}), 5);
    EXPECT_EQ(Count(ev, "drawBox", {{"x1", 472}, {"y1", 531}, {"x2", 600}, {"y2", 567}, {"c", 3}}), 5);
    EXPECT_EQ(Count(ev, "drawScaledText", {{"x", 480}, {"y", 540}, {"text", "Enterキーを押す"}}), 5);
    EXPECT_EQ(Count(ev, "drawScaledText", {{"x", 256}, {"y", 90}}), 2) << "the contents screen returns";
    EXPECT_TRUE(ops(ev, "CheckAnswer").empty());
}

// One problem typed as a pupil would, on the clock of a seed.
struct Flow {
    int problem;
    enum { Right, Wrong, Empty } answer;
};

TEST(BrenwickPractice, TypedAnswersAreMarkedAndTheGuidanceFollows) {
    const std::vector<Flow> flows = {
        {1, Flow::Right}, {2, Flow::Wrong}, {3, Flow::Empty},
        {4, Flow::Right}, {5, Flow::Wrong}, {1, Flow::Empty},
    };
    int seed = 17;
    for (const auto& flow : flows) {
        seed += 29;
        EntryRig rig(flow.problem);
        const EntryRun shown = rig.run(seed);
        const std::string answer = rt::toUtf8(shown.answer.accepted);
        const std::string typed = flow.answer == Flow::Right   ? answer
                                  : flow.answer == Flow::Wrong ? std::to_string(std::stol(answer) + 1)
                                                               : "";
        const std::string keys = "1" + std::to_string(flow.problem) + "{Enter}" + typed + "{Enter}";
        SCOPED_TRACE("problem " + std::to_string(flow.problem) + " clock " + ClockForSeed(seed) + " keys " +
                     keys);
        const auto run = testing_rig::runProgram(brenwick::BrenwickProgram(), keys, ClockForSeed(seed));
        EXPECT_EQ(run.status, 0) << run.errors;
        const auto& ev = run.events;
        EXPECT_TRUE(Has(ev, "DrawText", {{"x", 80}, {"y", 72}, {"text", shown.problem}}));

        // The prompt ends short of the anchor: "答 " and label 0 take half a cell per byte.
        if (flow.problem == 1)
            EXPECT_TRUE(Has(ev, "DrawText", {{"x", 376}, {"y", 540}, {"c", 15}, {"text", "答 リンゴ1個"}}));
        else
            EXPECT_TRUE(Has(ev, "DrawText", {{"x", 448}, {"y", 540}, {"c", 15}, {"text", "答 "}}));
        // The unit stands right after the typed answer.
        const float unitX = 496 + 16 * static_cast<float>(typed.size());
        EXPECT_TRUE(
            Has(ev, "DrawText", {{"x", unitX}, {"y", 540}, {"text", rt::toUtf8(shown.answer.labels[1])}}));

        const auto checks = ops(ev, "CheckAnswer");
        ASSERT_EQ(checks.size(), 1u);
        EXPECT_EQ(checks[0].at("typed"), typed);
        const int cell = 240 + 16 * (flow.problem - 1);
        const auto& heading = shown.step[1].front();
        const auto& sentence = shown.step[3].back();
        const bool headed = Has(ev, "DrawText", {{"x", heading.x}, {"y", heading.y}, {"text", heading.text}});
        const bool solved =
            Has(ev, "DrawText", {{"x", sentence.x}, {"y", sentence.y}, {"text", sentence.text}});
        if (flow.answer == Flow::Right) {
            EXPECT_EQ(checks[0].at("result"), 2);
            EXPECT_TRUE(Has(ev, "drawCircle", {{"x", 504}, {"y", 548}, {"r", 22}, {"c", 5}}));
            EXPECT_TRUE(Has(ev, "drawScaledText", {{"x", cell}, {"y", 18}, {"text", "○"}, {"c", 11}}));
            EXPECT_TRUE(headed && solved) << "a right first answer shows the whole guidance";
            EXPECT_FALSE(Has(ev, "drawScaledText", {{"text", "スペース　キーを押す"}}));
            // The menu after problems 1 to 4 offers the next problem.
            EXPECT_TRUE(Has(ev, "drawScaledText",
                            {{"x", 16}, {"y", 594}, {"text", "☆もう１度練習する…１    ☆次に進む…２"}}));
        } else {
            EXPECT_EQ(checks[0].at("result"), 1);
            EXPECT_TRUE(Has(ev, "drawLine", {{"x1", 488}, {"y1", 530}, {"x2", 520}, {"y2", 566}, {"c", 5}}));
            EXPECT_TRUE(Has(ev, "drawLine", {{"x1", 520}, {"y1", 530}, {"x2", 488}, {"y2", 566}, {"c", 5}}));
            EXPECT_TRUE(Has(ev, "drawScaledText", {{"x", cell}, {"y", 18}, {"text", "×"}, {"c", 11}}));
            EXPECT_TRUE(headed) << "the first hint follows a wrong answer";
            EXPECT_FALSE(solved);
            EXPECT_TRUE(Has(ev, "fillBox",
                            {{"x1", 568}, {"y1", 585}, {"x2", 736}, {"y2", 612}, {"c", 13}, {"fill", 2}}));
        }
        // Each attempt starts on a cleared band beside the anchor.
        EXPECT_TRUE(Has(ev, "fillBox", {{"x1", 480}, {"y1", 531}, {"x2", 672}, {"y2", 567}, {"fill", 0}}));
    }
}

TEST(BrenwickPractice, ProblemFiveEndsWithTheLastMenu) {
    const auto run =
        testing_rig::runProgram(brenwick::BrenwickProgram(), "15{Enter}{Enter} {Enter} {Enter}3");
    const auto& ev = run.events;
    EXPECT_EQ(ops(ev, "CheckAnswer").size(), 3u);
    EXPECT_TRUE(
        Has(ev, "drawScaledText",
            {{"x", 16},
             {"y", 594},
             {"text", "☆この問題をもう１度練習する…１    ☆１番から練習する…２    ☆「内容」に戻る…３"}}));
    EXPECT_EQ(Count(ev, "drawScaledText", {{"x", 256}, {"y", 90}}), 2) << "3 returns to the contents screen";
}

// A problem whose answer is the pair "5,5", to see a typed comma checked.
void PresentPair(shell::Shell& sh) {
    sh.ans.labels[0].clear();
    sh.ans.labels[1] = U" 個";
    sh.ans.accepted = U"5,5";
    sh.ans.accepted2 = sh.ans.accepted3 = U"ﾝ";
}

TEST(BrenwickEditor, EachKeyTypesWhatTheAnswerLineTakes) {
    shell::Program program = brenwick::BrenwickProgram();
    program.entries = {{1, U"a pair", PresentPair, nullptr, nullptr, nullptr}};
    struct Case {
        const char* keys;
        const char* typed;  // as checked, end marks removed
        int result;
    };
    const std::vector<Case> cases = {
        {"5,5", "5 ,5", 2},  // the comma is stored after a blank, and checked without it
        {"x=a", "X=A", 1},
        {"ｻﾝﾁｺ", "XYAB", 1},  // the kana of the X, Y, A and B keys
        {"ybcdLMN", "YBCDLMN", 1},
        {"lmn/!#^ ?&$%'~", "", 1},  // keys the line does not take
        {"12{BS}3", "13", 1},
        {"1.{BS}5", "15", 1},
        {"5,{BS}6", "56", 1},
        {"{F10}3{Enter}6{Enter}", "6/3", 1},
        {"{F10}3{Enter}{BS}{BS}{BS}7", "7", 1},         // back out of the numerator, the 3 and the fraction
        {"2{F10}3{Enter}6{Enter}{BS}7", "7", 1},        // a typeset fraction goes with the answer
        {"{F10}{F10}3{Enter}6{F11}{Enter}", "6/3", 1},  // no fraction or tall root inside a part
        {"{F1}2{Enter}{Enter}", "Q2", 1},               // the first Enter closes the root
        {"{F11}{F10}3{Enter}1{Enter}{Enter}", "V1/3", 1},
        {"{F2}{F3}{F4}{F5}{F6}{F7}{F8}{F9}{F12}", "WERT@I[]", 1},
        {"12{Clear}5,5", "5 ,5", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        const auto run = testing_rig::runProgram(program, std::string("11{Enter}") + c.keys + "{Enter}");
        const auto checks = ops(run.events, "CheckAnswer");
        ASSERT_EQ(checks.size(), 1u);
        EXPECT_EQ(checks[0].at("typed"), c.typed);
        EXPECT_EQ(checks[0].at("result"), c.result);
    }

    // x shows χ; a comma shows "，" in one cell, its blank taking no room.
    const auto run = testing_rig::runProgram(program, "11{Enter}x5,5");
    EXPECT_TRUE(Has(run.events, "drawScaledText", {{"x", 496}, {"y", 540}, {"text", "χ"}}));
    EXPECT_TRUE(Has(run.events, "drawScaledText", {{"x", 528}, {"y", 540}, {"text", "，"}}));
    EXPECT_TRUE(Has(run.events, "drawScaledText", {{"x", 544}, {"y", 540}, {"text", "５"}}));

    // A line run full starts again at once: the attempt is not counted, so the answer typed
    // next is the first and earns the progress mark.
    const auto full = testing_rig::runProgram(program, "11{Enter}" + std::string(39, '1') + "5,5{Enter}");
    EXPECT_EQ(ops(full.events, "LineFull").size(), 1u);
    const auto checks = ops(full.events, "CheckAnswer");
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0].at("typed"), "5 ,5");
    EXPECT_TRUE(Has(full.events, "drawScaledText", {{"x", 240}, {"y", 18}, {"text", "○"}}));
}

TEST(BrenwickText, CharactersTakeTheirCells) {
    struct Glyph {
        std::string text;
        float x, y, sx;
        bool operator==(const Glyph&) const = default;
    };
    struct Case {
        const char* markup;
        std::vector<Glyph> glyphs;  // at pen (100, 100)
    };
    const std::vector<Case> cases = {
        {"1 2", {{"１", 100, 100, 1}, {"２", 116, 100, 1}}},  // a blank takes no room
        {"3.14", {{"３", 100, 100, 1}, {"．", 112, 100, 1}, {"１", 116, 100, 1}, {"４", 132, 100, 1}}},
        {"xXy", {{"χ", 100, 100, 1}, {"χ", 116, 100, 1}, {"ｙ", 132, 100, 1}}},
        {"abcdlmn",
         {{"ａ", 100, 100, 1},
          {"ｂ", 116, 100, 1},
          {"ｃ", 132, 100, 1},
          {"ｄ", 148, 100, 1},
          {"ｌ", 164, 100, 1},
          {"ｍ", 180, 100, 1},
          {"ｎ", 196, 100, 1}}},
        {"*/:,<>",
         {{"×", 100, 100, 1},
          {"÷", 116, 100, 1},
          {"：", 132, 100, 1},
          {"，", 148, 100, 1},
          {"＜", 164, 100, 1},
          {"＞", 180, 100, 1}}},
        {"I@[]", {{"±", 100, 100, 1}, {"π", 116, 100, 1}, {"≦", 132, 100, 1}, {"≧", 148, 100, 1}}},
        // The exponents stay half-width and sit 2 pixels higher, like every half-width glyph.
        {"XWERTU",
         {{"χ", 100, 100, 1},
          {"2", 116, 98, 1},
          {"3", 132, 98, 1},
          {"4", 148, 98, 1},
          {"5", 164, 98, 1},
          {"6", 180, 98, 1}}},
        {"!#^ﾜ", {{"!", 100, 98, 1}, {"#", 116, 98, 1}, {"^", 132, 98, 1}, {"ﾜ", 148, 98, 1}}},
        // The root sign takes half a cell; the radicand runs under its overline to the end mark.
        {"Q2ﾝ3", {{"√", 100, 100, 1}, {"２", 108, 100, 1}, {"３", 124, 100, 1}}},
        {"Vﾀ1/2ﾀ", {{"√", 100, 76, 2}, {"１", 108, 88, 1}, {"２", 108, 116, 1}, {"―", 108, 100, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.markup);
        testing_rig::Rig rig(brenwick::BrenwickProgram());
        shell::DrawText(rig.sh, 100, 100, 15, rt::fromUtf8(c.markup));
        std::vector<Glyph> got;
        for (const auto& e : ops(rig.events(), "drawScaledText"))
            got.push_back({e.at("text"), e.at("x"), e.at("y"), e.at("sx")});
        EXPECT_EQ(got, c.glyphs);
    }
    // The overline of "Q2ﾝ3" covers the 2 only, level with the sign's bar.
    testing_rig::Rig rig(brenwick::BrenwickProgram());
    shell::DrawText(rig.sh, 100, 100, 15, U"Q2ﾝ3");
    const auto lines = ops(rig.events(), "drawLine");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].at("x1"), 108);
    EXPECT_EQ(lines[0].at("x2"), 124);
    EXPECT_EQ(rig.sh.pen.x, 140);
}

// Problems 1 and 4 with their whole guidance, problem 4's table included.
TEST(BrenwickReference, WorkedSolutionsMatchTheirImages) {
    testing_rig::ExpectReferenceProblems<EntryRig>({{"brenwick_1", 1, 102}, {"brenwick_4", 4, 102}});
}

}  // namespace
