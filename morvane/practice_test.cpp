// Morvane as a pupil uses it: whole scripted runs from the contents screen, view mode through
// every entry, and the worked solutions compared pixel by pixel with reference images.
#include <gtest/gtest.h>

#include <functional>

#include "morvane/test_support.h"
#include "runtime/canvas.h"

namespace {

using namespace morvane_test;

// The keys a pupil types for an accepted answer: as it reads, but a fraction through the
// fraction key (F1, denominator, Enter, numerator, Enter) after its sign.
std::string AnswerKeys(const std::string& accepted) {
    const auto slash = accepted.find('/');
    if (slash == std::string::npos) return accepted;
    const auto start = accepted.find_first_of("0123456789");
    return accepted.substr(0, start) + "{F1}" + accepted.substr(slash + 1) + "{Enter}" +
           accepted.substr(start, slash - start) + "{Enter}";
}

struct Flow {
    int entry;
    const char* shape;
    std::function<bool(const std::string&)> wanted;        // of the accepted answer
    std::function<std::string(const std::string&)> typed;  // from the accepted answer
    bool right;
};

TEST(MorvanePractice, TypedAnswersAreMarkedAndTheHintStepsFollow) {
    const auto exactly = [](const char* text) { return [text](const std::string& k) { return k == text; }; };
    const auto asAccepted = [](const std::string& k) { return k; };
    const std::vector<Flow> flows = {
        {3, "x=17", exactly("x=17"), asAccepted, true},
        {4, "x=2.8", exactly("x=2.8"), asAccepted, true},
        {10, "x=-3/2", exactly("x=-3/2"), asAccepted, true},
        {6, "x=0", exactly("x=0"), asAccepted, true},
        {9, "a fraction", [](const std::string& k) { return k.find('/') != std::string::npos; }, asAccepted,
         true},
        {2, "the digit 2", exactly("2"), asAccepted, true},
        {1, "any digit", [](const std::string&) { return true; }, asAccepted, true},
        {2, "x=2 for the digit 2", exactly("2"), [](const std::string& k) { return "x=" + k; }, false},
        {7, "a wrong value", [](const std::string&) { return true; },
         [](const std::string& k) { return k + "1"; }, false},
    };
    const auto& program = morvane::MorvaneProgram();
    for (const auto& flow : flows) {
        // A fresh rig per seed: the run starts a fresh program, with nothing remembered.
        int seed = 0;
        EntryRun shown;
        for (; seed < kSeeds; ++seed) {
            EntryRig rig(flow.entry);
            shown = rig.run(seed);
            if (flow.wanted(rt::toUtf8(shown.answer.accepted))) break;
        }
        ASSERT_LT(seed, kSeeds) << "no clock gives entry " << flow.entry << " with " << flow.shape;
        const std::string keys = "1" + std::to_string(flow.entry) + "{Enter}" +
                                 AnswerKeys(flow.typed(rt::toUtf8(shown.answer.accepted))) + "{Enter}";
        const std::string clock = ClockForSeed(seed);
        SCOPED_TRACE("entry " + std::to_string(flow.entry) + " (" + flow.shape + ") clock " + clock +
                     " keys " + keys + ": " + shown.problem);

        const auto run = testing_rig::runProgram(program, keys, clock);
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_TRUE(testing_rig::drewText(run.events, shown.problem)) << "the run shows the rig's problem";
        const auto checks = testing_rig::ops(run.events, "CheckAnswer");
        ASSERT_EQ(checks.size(), 1u);
        const int cell = 240 + 16 * (flow.entry - 1);
        const auto& closing = shown.step[3].back();
        const bool closed = testing_rig::hasOp(
            run.events, "DrawText",
            {{"x", closing.x}, {"y", closing.y}, {"c", closing.c}, {"text", closing.text}});
        const std::string firstHint = shown.step[1].front().text;
        if (flow.right) {
            EXPECT_EQ(checks[0].at("result"), 2);
            EXPECT_TRUE(
                testing_rig::hasOp(run.events, "drawCircle", {{"x", 504}, {"y", 584}, {"r", 22}, {"c", 5}}));
            EXPECT_TRUE(
                testing_rig::hasOp(run.events, "drawScaledText", {{"x", cell}, {"y", 18}, {"text", "○"}}));
            EXPECT_TRUE(closed) << "a right first answer shows the whole worked solution";
        } else {
            EXPECT_EQ(checks[0].at("result"), 1);
            EXPECT_TRUE(
                testing_rig::hasOp(run.events, "drawScaledText", {{"x", cell}, {"y", 18}, {"text", "×"}}));
            EXPECT_TRUE(testing_rig::drewText(run.events, firstHint)) << "hint step 1 follows a wrong answer";
            EXPECT_FALSE(closed) << "the closing line waits for the later attempts";
        }
    }
}

TEST(MorvanePractice, ViewModeShowsEveryEntry) {
    std::string keys = "2";
    for (int e = 1; e <= 10; ++e) keys += "{Enter}";
    const auto view = testing_rig::runProgram(morvane::MorvaneProgram(), keys, "01:02:03");
    EXPECT_EQ(view.status, 0) << view.errors;
    std::vector<int> presented;
    for (const auto& e : testing_rig::ops(view.events, "Present")) presented.push_back(e.at("entry"));
    EXPECT_EQ(presented, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_FALSE(testing_rig::drewText(view.events, "この問題は準備中です。"));
}

// One worked solution per family, all three hint steps drawn.
TEST(MorvaneReference, WorkedSolutionsMatchTheirImages) {
    testing_rig::ExpectReferenceProblems<EntryRig>({{"morvane_1_2", 1, 7}, {"morvane_3_10", 6, 30}});
}

}  // namespace
