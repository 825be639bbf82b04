// Start-up as the trace shows it, the seed from the clock, and the error route.
#include <algorithm>
#include <stdexcept>

#include "halvard/halvard.h"
#include "tests/harness.h"

namespace {

using namespace testing_rig;

std::vector<std::string> opNames(const std::vector<json>& events, size_t count) {
    std::vector<std::string> names;
    for (size_t i = 0; i < events.size() && names.size() < count; ++i)
        if (events[i]["op"] != "randomUnit") names.push_back(events[i]["op"]);
    return names;
}

TEST(StartUp, RunsInOrderAndSeedsFromHoursMinutesSeconds) {
    struct Row {
        const char* clock;
        int seed;
    };
    for (Row row : {Row{"00:00:00", 0}, Row{"23:59:59", 141}, Row{"12:34:56", 102}, Row{"09:05:01", 15}}) {
        SCOPED_TRACE(row.clock);
        RunResult run = runProgram(halvard::HalvardProgram(), "", row.clock);
        EXPECT_EQ(run.status, 0);
        const auto& ev = run.events;
        std::vector<std::string> expected{"setPixelMapping", "maximiseWindow", "setBackground",
                                          "clearScreen",     "timeOfDay",      "seedRandom"};
        for (int i = 0; i < 12; ++i) expected.push_back("setFunctionKey");
        expected.push_back("clearScreen");  // the contents screen follows
        EXPECT_EQ(opNames(ev, expected.size()), expected);
        EXPECT_EQ(ops(ev, "setBackground").at(0)["c"], 0);
        EXPECT_EQ(ops(ev, "timeOfDay").at(0)["time"], row.clock);
        EXPECT_EQ(ops(ev, "seedRandom").at(0)["n"], row.seed);
        auto keys = ops(ev, "setFunctionKey");
        const char* texts[] = {"\\", "~", "!", "@", "[", "]", "&", "%", "'", "$", "?", "#"};
        ASSERT_EQ(keys.size(), 12u);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(keys[i]["n"], i + 1);
            EXPECT_EQ(keys[i]["text"], texts[i]);
        }
    }
}

TEST(StartUp, NothingIsShownOrAwaitedBeforeTheContentsScreen) {
    // Keys are pending, as when a pupil leans on the keyboard while the program starts: the flush
    // takes them without showing the still empty canvas or sleeping.
    for (const char* keys : {"", "x", "123{Enter}"}) {
        Rig rig(halvard::HalvardProgram(), keys);
        shell::StartUp(rig.sh);
        EXPECT_EQ(rig.screen.activity().presents, 0) << keys;
        EXPECT_EQ(rig.screen.activity().waits, 0) << keys;
    }
}

TEST(StartUp, SameClockSumSameProblems) {
    // 01:02:03 and 03:02:01 both give seed 6, so both draw the same numbers.
    auto values = [](const char* clock) {
        RunResult run = runProgram(halvard::HalvardProgram(),
                                   "1"
                                   "1{Enter}",
                                   clock);
        std::vector<float> v;
        for (const auto& e : ops(run.events, "randomUnit")) v.push_back(e["value"]);
        return v;
    };
    auto a = values("01:02:03");
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, values("03:02:01"));
    EXPECT_NE(a, values("03:02:02"));
}

void Explode(shell::Shell&) { throw std::runtime_error("the entry broke"); }

TEST(ErrorScreen, AFailureInsideAStepEndsOnTheErrorScreen) {
    shell::Program broken{U"Broken", 3, {{1, U"explodes", Explode, nullptr, nullptr, nullptr}}};
    // After the failure the remaining keys have no effect: nobody reads them.
    RunResult run = runProgram(broken, "11{Enter}123{Enter}");
    EXPECT_EQ(run.status, 70);
    EXPECT_NE(run.errors.find("the entry broke"), std::string::npos) << run.errors;
    ASSERT_FALSE(run.events.empty());
    size_t cleared = 0;
    for (size_t i = 0; i < run.events.size(); ++i)
        if (run.events[i]["op"] == "clearScreen") cleared = i;
    // The last screen is the error message alone.
    ASSERT_EQ(run.events.size(), cleared + 2);
    const auto& msg = run.events.back();
    EXPECT_EQ(msg["op"], "drawScaledText");
    EXPECT_EQ(msg["text"], "エラーが発生しました。マウスで×をクリックして下さい。");
    EXPECT_EQ(msg["x"], 288);
    EXPECT_EQ(msg["y"], 432);
    EXPECT_EQ(msg["c"], 13);
    EXPECT_EQ(msg["sx"], 1);
}

TEST(CommandLine, BadOptionsExitWithStatus2) {
    for (auto args :
         std::vector<std::vector<const char*>>{{"halvard", "--nonsense"},
                                               {"halvard", "--keys", "{Bogus}"},
                                               {"halvard", "--clock", "25:00:00"},
                                               {"halvard", "--headless", "--font", "/nonexistent.ttf"}}) {
        StderrCapture err;
        int status = shell::Main(halvard::HalvardProgram(), static_cast<int>(args.size()), args.data());
        const std::string text = err.text();
        EXPECT_EQ(status, 2) << args[1];
        // One line naming the problem.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    }
}

}  // namespace
