// A page's own parsing of its arguments against the desktop's: the same meaning for --clock,
// nothing else accepted.
#include "runtime/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<const char*>;

rt::Options desktop(Args args) {
    args.insert(args.begin(), "halvard");
    return rt::parseCommandLine(static_cast<int>(args.size()), args.data(), "Halvard", 1440);
}

rt::Options page(Args args) {
    args.insert(args.begin(), "halvard");
    return rt::parsePageCommandLine(static_cast<int>(args.size()), args.data(), "Halvard", 1440);
}

TEST(PageCommandLine, ClockMeansWhatItMeansOnTheDesktop) {
    for (const Args& args : std::vector<Args>{{}, {"--clock", "00:00:00"}, {"--clock", "23:59:59"},
                                              {"--clock", "09:05:01"}, {"--clock=12:34:56"}}) {
        SCOPED_TRACE(args.empty() ? "(none)" : args.back());
        const rt::Options d = desktop(args);
        const rt::Options p = page(args);
        EXPECT_EQ(p.clock, d.clock);
        EXPECT_EQ(p.programName, "Halvard");
        EXPECT_EQ(p.canvasWidth, 1440);
        EXPECT_FALSE(p.headless);
        EXPECT_FALSE(p.keys);
        EXPECT_TRUE(p.fontFile.empty());
    }
    EXPECT_EQ(page({"--clock", "07:08:09"}).clock, "07:08:09");
}

TEST(PageCommandLine, RejectsClocksTheDesktopRejects) {
    for (const char* bad : {"24:00:00", "12:60:00", "12:00:60", "1:02:03", "12-00-00", "12:00:0x", "", "12:00:000"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(desktop({"--clock", bad}), rt::StartupError);
        try {
            page({"--clock", bad});
            ADD_FAILURE() << "accepted";
        } catch (const rt::StartupError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("--clock wants HH:MM:SS (00:00:00 to 23:59:59), not ") + bad);
        }
    }
}

TEST(PageCommandLine, RejectsAMissingOrSecondClockAsTheDesktopDoes) {
    for (const Args& args : std::vector<Args>{{"--clock"}, {"--clock", "12:00:00", "--clock", "13:00:00"}}) {
        SCOPED_TRACE(args.size());
        EXPECT_THROW(desktop(args), rt::StartupError);
        EXPECT_THROW(page(args), rt::StartupError);
    }
}

TEST(PageCommandLine, AcceptsNothingElse) {
    for (const Args& args : std::vector<Args>{{"--headless"},
                                              {"--keys", "1"},
                                              {"--font", "/drills-gothic.ttf"},
                                              {"12:00:00"},
                                              {"--clock", "12:00:00", "extra"}}) {
        SCOPED_TRACE(args.front());
        EXPECT_THROW(page(args), rt::StartupError);
    }
}

}  // namespace
