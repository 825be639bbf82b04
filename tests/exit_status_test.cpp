// The built programs as a user starts them: what a failure says and which status it ends with.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Exit {
    int status = -1;
    std::string errors;  // stderr
};

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// `limit` runs the program under "ulimit -f" (in kB) when not 0.
Exit run(const std::string& program, const std::vector<std::string>& args, int limit = 0) {
    // One file per process: ctest runs these tests side by side.
    const std::string err =
        ::testing::TempDir() + "/exit_status_" + program + "." + std::to_string(::getpid()) + ".err";
    std::string command = quoted(std::string(DRILLS_BIN_DIR) + "/" + program);
    for (const auto& a : args) command += " " + quoted(a);
    command += " >/dev/null 2>" + quoted(err) + " </dev/null";
    if (limit) command = "bash -c " + quoted("ulimit -f " + std::to_string(limit) + " && exec " + command);
    Exit e;
    const int raw = std::system(command.c_str());
    e.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(err);
    std::stringstream text;
    text << in.rdbuf();
    e.errors = text.str();
    std::remove(err.c_str());
    return e;
}

long lines(const std::string& s) { return std::count(s.begin(), s.end(), '\n'); }

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// View mode through every problem and back to the contents screen: a long trace, a full screen.
std::string viewAll() {
    std::string keys = "2";
    for (int i = 0; i < 13; ++i) keys += "{Enter}";
    return keys;
}

TEST(ExitStatus, AFileThatReachesTheSizeLimitIs74AndAnEarlierScreenshotStaysWhole) {
    const std::string dir = ::testing::TempDir() + "/exit_status_limit." + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string trace = dir + "/t.jsonl", shot = dir + "/s.png";
    // A good screenshot first, then runs whose files cannot fit in 4 kB.
    ASSERT_EQ(run("halvard", {"--headless", "--keys", viewAll(), "--screenshot", shot}).status, 0);
    const std::string good = contents(shot);
    ASSERT_GT(good.size(), 4096u);
    struct Row {
        std::vector<std::string> args;
        std::string said;
    };
    const Row rows[] = {
        {{"--trace", trace}, "cannot write the trace " + trace + ": File too large"},
        {{"--screenshot", shot}, "cannot write the screenshot " + shot + ": File too large"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> args{"--headless", "--keys", viewAll()};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Exit e = run("halvard", args, 4);
        SCOPED_TRACE(row.args[0] + "\n" + e.errors);
        EXPECT_EQ(e.status, 74);
        EXPECT_EQ(lines(e.errors), 1);
        EXPECT_NE(e.errors.find(row.said), std::string::npos);
    }
    EXPECT_TRUE(contents(shot) == good) << "the earlier screenshot was overwritten";
    int files = 0;
    for ([[maybe_unused]] const auto& f : std::filesystem::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 2) << "a temporary file was left beside the screenshot";
    std::filesystem::remove_all(dir);
}

TEST(ExitStatus, ABrokenFontKeyScriptOrClockIsOneLineWithStatus2) {
    const std::string dir = ::testing::TempDir() + "/exit_status_bad." + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string junk = dir + "/junk.ttf", cut = dir + "/cut.ttf";
    std::ofstream(junk) << "this is not a font\n";
    const std::string real = contents("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf");
    ASSERT_GT(real.size(), 100000u) << "IPAGothic (fonts-ipafont-gothic) is not installed";
    std::ofstream(cut, std::ios::binary) << real.substr(0, real.size() / 3);
    struct Row {
        std::vector<std::string> args;
        std::string said;
    };
    const Row rows[] = {
        {{"--font", junk}, "font " + junk},
        {{"--font", cut}, "font " + cut},
        {{"--font", dir}, "font " + dir},
        {{"--keys", "12\xff{Enter}"}, "not valid UTF-8"},
        {{"--keys", "\xe3\x81"}, "not valid UTF-8"},
        {{"--clock", "25:00:00"}, "--clock"},
        {{"--clock", "12:60:00"}, "--clock"},
        {{"--clock", "12:00:60"}, "--clock"},
        {{"--clock", "noon"}, "--clock"},
        {{"--clock", "1:2:3"}, "--clock"},
    };
    for (const char* program : {"halvard", "morvane", "quillon", "brenwick"})
        for (const auto& row : rows) {
            std::vector<std::string> args{"--headless"};
            args.insert(args.end(), row.args.begin(), row.args.end());
            const Exit e = run(program, args);
            SCOPED_TRACE(std::string(program) + " " + row.args[1] + "\n" + e.errors);
            EXPECT_EQ(e.status, 2);
            EXPECT_EQ(lines(e.errors), 1);
            EXPECT_NE(e.errors.find(row.said), std::string::npos);
        }
    std::filesystem::remove_all(dir);
}

TEST(ExitStatus, AFileThatCannotBeWrittenCompletelyIs74WithTheSystemsReason) {
    struct Row {
        std::vector<std::string> args;
        std::vector<std::string> said;
    };
    const Row rows[] = {
        {{"--trace", "/dev/full"}, {"trace /dev/full", "No space left on device"}},
        {{"--screenshot", "/dev/full"}, {"screenshot /dev/full", "No space left on device"}},
        {{"--trace", "/dev/full", "--screenshot", "/dev/full"}, {"trace /dev/full", "screenshot /dev/full"}},
    };
    for (const char* program : {"halvard", "brenwick"})
        for (const auto& row : rows) {
            std::vector<std::string> args{"--headless", "--clock", "12:34:56", "--keys", "2{Enter}3"};
            args.insert(args.end(), row.args.begin(), row.args.end());
            const Exit e = run(program, args);
            SCOPED_TRACE(std::string(program) + " " + row.args[0] + "\n" + e.errors);
            EXPECT_EQ(e.status, 74);
            EXPECT_EQ(lines(e.errors), 1);
            for (const auto& s : row.said) EXPECT_NE(e.errors.find(s), std::string::npos) << s;
        }
}

TEST(ExitStatus, WrittenFilesAreCompleteAndTheRunSucceeds) {
    const std::string trace = ::testing::TempDir() + "/exit_status.jsonl";
    const std::string shot = ::testing::TempDir() + "/exit_status.png";
    // View mode through every problem, then "end": the whole trace, ending with the end.
    std::string keys = "2";
    for (int i = 0; i < 13; ++i) keys += "{Enter}";
    const Exit e =
        run("halvard", {"--headless", "--keys", keys + "3", "--trace", trace, "--screenshot", shot});
    EXPECT_EQ(e.status, 0) << e.errors;
    EXPECT_EQ(e.errors, "");
    std::ifstream in(trace);
    std::string line, last;
    int count = 0;
    while (std::getline(in, line)) last = line, ++count;
    EXPECT_GT(count, 500);
    EXPECT_EQ(last, R"({"op":"endProgram"})");
    // Without --clock a headless run sees midnight, so it repeats exactly.
    std::ifstream again(trace);
    std::stringstream all;
    all << again.rdbuf();
    EXPECT_NE(all.str().find(R"({"op":"timeOfDay","time":"00:00:00"})"), std::string::npos);
    std::ifstream png(shot, std::ios::binary);
    char magic[4] = {};
    png.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
    std::remove(trace.c_str());
    std::remove(shot.c_str());
}

TEST(ExitStatus, AFontThatCannotDrawTheDrillsIsRefusedWithStatus2) {
    const char* latinOnly = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";  // fonts-dejavu-core
    if (!std::ifstream(latinOnly)) GTEST_SKIP() << latinOnly << " is not installed (tools/setup.sh)";
    const Exit e = run("quillon", {"--headless", "--font", latinOnly});
    EXPECT_EQ(e.status, 2);
    EXPECT_EQ(lines(e.errors), 1) << e.errors;
    EXPECT_NE(e.errors.find("答"), std::string::npos) << e.errors;
    EXPECT_NE(e.errors.find("fonts-ipafont-gothic"), std::string::npos) << e.errors;
}

TEST(ExitStatus, AUsageErrorIsOneLinePointingAtHelpWithStatus2) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--nonsense"}, std::vector<std::string>{"--headless", "extra"},
          std::vector<std::string>{"--clock"}}) {
        const Exit e = run("morvane", args);
        SCOPED_TRACE(args[0] + "\n" + e.errors);
        EXPECT_EQ(e.status, 2);
        EXPECT_EQ(lines(e.errors), 1);
        EXPECT_TRUE(e.errors.ends_with("; see --help\n"));
    }
}

}  // namespace
