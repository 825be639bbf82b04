// Halvard as a pupil uses it: whole scripted runs from the contents screen, and the worked
// solutions compared pixel by pixel with reference images.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "halvard/test_support.h"
#include "runtime/canvas.h"

namespace {

using namespace halvard_test;

// The keys a pupil types for an answer: x=7, x=0, or a fraction with the fraction key (F1,
// denominator, Enter, numerator, Enter), with its minus sign in front.
std::string AnswerKeys(const Rational& x) {
    if (x.d == 1) return "x=" + std::to_string(x.n);
    return std::string("x=") + (x.n < 0 ? "-" : "") + "{F1}" + std::to_string(x.d) + "{Enter}" +
           std::to_string(std::abs(x.n)) + "{Enter}";
}

struct Flow {
    int entry;
    const char* shape;
    std::function<bool(const Rational&)> wanted;  // the solution the seed must give
    bool answerRight;
};

TEST(HalvardPractice, TypedAnswersAreMarkedAndTheHintStepsFollow) {
    const std::vector<Flow> flows = {
        {1, "a whole answer", [](const Rational& x) { return x.d == 1; }, true},
        {4, "a positive fraction", [](const Rational& x) { return x.d != 1 && x.n > 0; }, true},
        {6, "x=0", [](const Rational& x) { return x.zero(); }, true},
        {6, "a negative fraction", [](const Rational& x) { return x.d != 1 && x.n < 0; }, true},
        {8, "a negative fraction", [](const Rational& x) { return x.d != 1 && x.n < 0; }, true},
        {11, "a whole answer", [](const Rational&) { return true; }, true},
        {13, "a fraction", [](const Rational& x) { return x.d != 1; }, true},
        {13, "a whole answer", [](const Rational& x) { return x.d == 1; }, true},
        {2, "a whole answer, typed wrong", [](const Rational&) { return true; }, false},
        {12, "any answer, typed wrong", [](const Rational&) { return true; }, false},
    };
    const auto& program = halvard::HalvardProgram();
    for (const auto& flow : flows) {
        EntryRig rig(flow.entry);
        int seed = 0;
        EntryRun shown;
        std::optional<Rational> x;
        for (; seed < 142; ++seed) {
            shown = rig.run(seed);
            x = Solve(WithoutLabel(shown.problem));
            if (flow.wanted(*x)) break;
        }
        ASSERT_LT(seed, 142) << "no clock gives entry " << flow.entry << " with " << flow.shape;
        const std::string answer = AnswerKeys(flow.answerRight ? *x : *x + Rational(1));
        const std::string keys = "1" + std::to_string(flow.entry) + "{Enter}" + answer + "{Enter}";
        const std::string clock = ClockForSeed(seed);
        SCOPED_TRACE("entry " + std::to_string(flow.entry) + " (" + flow.shape + ") clock " + clock +
                     " keys " + keys + ": " + shown.problem);

        const auto run = testing_rig::runProgram(program, keys, clock);
        EXPECT_EQ(run.status, 0) << run.errors;
        const auto lines = DrawnLines(run.events);
        // The run shows the problem the rig found for this clock.
        EXPECT_TRUE(testing_rig::hasOp(run.events, "DrawText",
                                       {{"x", 64}, {"y", 288}, {"c", 15}, {"text", shown.problem}}));
        const auto checks = testing_rig::ops(run.events, "CheckAnswer");
        ASSERT_EQ(checks.size(), 1u);
        const int cell = 240 + 16 * (flow.entry - 1);
        const auto& closing = shown.step[3].back();
        const bool closed = testing_rig::hasOp(
            run.events, "DrawText", {{"x", closing.x}, {"y", closing.y}, {"c", 13}, {"text", closing.text}});
        if (flow.answerRight) {
            EXPECT_EQ(checks[0].at("result"), 2);
            EXPECT_TRUE(
                testing_rig::hasOp(run.events, "drawCircle", {{"x", 504}, {"y", 584}, {"r", 22}, {"c", 5}}));
            EXPECT_TRUE(
                testing_rig::hasOp(run.events, "drawScaledText", {{"x", cell}, {"y", 18}, {"text", "○"}}));
            EXPECT_TRUE(closed) << "a right first answer shows the whole worked solution";
        } else {
            EXPECT_EQ(checks[0].at("result"), 1);
            EXPECT_TRUE(testing_rig::hasOp(run.events, "drawLine",
                                           {{"x1", 488}, {"y1", 566}, {"x2", 520}, {"y2", 602}, {"c", 5}}));
            EXPECT_TRUE(
                testing_rig::hasOp(run.events, "drawScaledText", {{"x", cell}, {"y", 18}, {"text", "×"}}));
            EXPECT_TRUE(testing_rig::drewText(run.events, "＜方程式の基本事項＞"))
                << "hint step 1 follows a wrong answer";
            EXPECT_FALSE(closed) << "the closing line waits for the later attempts";
        }
    }
}

// One worked solution per family, all three hint steps drawn.
TEST(HalvardReference, WorkedSolutionsMatchTheirImages) {
    testing_rig::ExpectReferenceProblems<EntryRig>(
        {{"halvard_1_2", 2, 7}, {"halvard_3_8", 8, 30}, {"halvard_9_13", 13, 30}});
}

}  // namespace
