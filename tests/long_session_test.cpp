// A pupil who practises for hours: thousands of problems in one run must leave the stack
// where it was at the first problem and the memory where a short run leaves it.
#include <malloc.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "shell/practice.h"
#include "tests/harness.h"

namespace {

// AddressSanitizer holds freed memory back for a while to catch late uses, so the peak of a
// sanitized run says nothing about the program's own; the ordinary build measures that.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPeakMeansSomething = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPeakMeansSomething = false;
#else
constexpr bool kPeakMeansSomething = true;
#endif
#else
constexpr bool kPeakMeansSomething = true;
#endif

// What the entries observe. Entries are plain functions of the shell, so their record
// lives here, reset before each run.
struct Probe {
    long presents = 0;
    // Where Present ran the first time in each mode (practice, view), and whether it ever ran
    // anywhere else in that mode: each screen returns to one loop, so the depth never changes.
    std::uintptr_t firstIn[2] = {};
    bool movedIn[2] = {};
    std::uintptr_t firstStack = 0;
    std::uintptr_t stackAt1000 = 0;
    std::uintptr_t lastStack = 0;
    std::size_t heapAt100 = 0;
    std::size_t heapMax = 0;
};
Probe probe;

void Present(shell::Shell& sh) {
    volatile char local = 0;
    const auto here = reinterpret_cast<std::uintptr_t>(&local);
    ++probe.presents;
    if (probe.presents == 1) probe.firstStack = here;
    if (probe.presents == 1000) probe.stackAt1000 = here;
    probe.lastStack = here;
    const int mode = sh.viewMode ? 1 : 0;
    if (!probe.firstIn[mode]) probe.firstIn[mode] = here;
    probe.movedIn[mode] = probe.movedIn[mode] || here != probe.firstIn[mode];
    if (probe.presents % 100 == 0) {
        const std::size_t heap = mallinfo2().uordblks;
        if (probe.presents == 100) probe.heapAt100 = heap;
        if (heap > probe.heapMax) probe.heapMax = heap;
    }
    sh.ans.accepted.assign(1, U'3');  // assign(): "= U\"3\"" trips a false -Wrestrict in GCC 12
}

void Hint(shell::Shell& sh) { sh.colour = 7; }

const shell::Program& Program() {
    static const shell::Program program{U"Tester",
                                        3,
                                        {{1, U"a", Present, Hint, Hint, Hint},
                                         {2, U"b", Present, Hint, Hint, Hint},
                                         {3, U"c", Present, Hint, Hint, Hint}}};
    return program;
}

// Four problems a round: problem 1 wrong then right and repeated, 2 and 3 right, then a
// new round from the last problem's menu. The last round goes back to the contents screen and ends there.
std::string Session(int rounds) {
    const std::string round =
        "5{Enter} 3{Enter}1"
        "3{Enter}2"
        "3{Enter}2"
        "3{Enter}";
    std::string keys = "11{Enter}";
    for (int i = 0; i < rounds; ++i) keys += round + (i + 1 < rounds ? "2" : "33");
    return keys;
}

// Every screen in turn, again and again: the contents, view mode through all three problems
// and back, the start prompt, the last problem and its menu back to the contents.
std::string EveryScreen(int times) {
    std::string keys;
    for (int i = 0; i < times; ++i) keys += "2{Enter}{Enter}{Enter}13{Enter}3{Enter}3";
    return keys;
}

long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// Lets the next peak measure only what comes after; false where the kernel does not allow it.
bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear.flush());
}

int RunSession(int rounds) {
    probe = Probe{};
    // No trace: a long run must not be measured with a growing trace in memory.
    auto options = testing_rig::Rig::makeOptions(Program(), Session(rounds), "12:34:56", nullptr);
    return shell::RunProgram(Program(), options);
}

TEST(LongSession, ThousandsOfProblemsKeepStackAndMemoryFlat) {
    const bool peakResets = ResetPeak();
    ASSERT_EQ(RunSession(50), 0);
    ASSERT_EQ(probe.presents, 200);
    const long shortPeak = PeakKilobytes();
    EXPECT_EQ(probe.lastStack, probe.firstStack);

    ResetPeak();
    constexpr int kRounds = 1500;
    ASSERT_EQ(RunSession(kRounds), 0);
    // Every key went where it was meant to: the script reached its end on the contents screen.
    ASSERT_EQ(probe.presents, 4L * kRounds);
    const long longPeak = PeakKilobytes();

    EXPECT_EQ(probe.stackAt1000, probe.firstStack);
    EXPECT_EQ(probe.lastStack, probe.firstStack);
    // The heap in use at problem 6000 is what it was at problem 100, give or take a few
    // allocator pages.
    EXPECT_LT(probe.heapMax - probe.heapAt100, 64u * 1024) << probe.heapAt100 << " -> " << probe.heapMax;
    // The longer key script itself takes about 1 MB more.
    if (peakResets && kPeakMeansSomething) {
        EXPECT_LT(longPeak - shortPeak, 2048) << shortPeak << " kB -> " << longPeak << " kB";
    }
}

TEST(LongSession, GoingRoundEveryScreenKeepsTheStackWhereItWas) {
    probe = Probe{};
    constexpr int kTimes = 500;
    auto options = testing_rig::Rig::makeOptions(Program(), EveryScreen(kTimes), "12:34:56", nullptr);
    ASSERT_EQ(shell::RunProgram(Program(), options), 0);
    // Three problems viewed and one practised each time: every key went where it was meant to.
    ASSERT_EQ(probe.presents, 4L * kTimes);
    EXPECT_FALSE(probe.movedIn[0]) << "practice";
    EXPECT_FALSE(probe.movedIn[1]) << "view mode";
}

}  // namespace
