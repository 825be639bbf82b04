// The programs keep what a pupil did, and drills-report reads it back: headless sessions with
// key scripts and fixed clocks, checked against what the scripts typed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "halvard/halvard.h"
#include "runtime/text.h"
#include "shell/practice.h"
#include "tests/harness.h"

namespace {

namespace fs = std::filesystem;

struct Exit {
    int status = -1;
    std::string out, errors;
};

std::string Quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Slurp(const std::string& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Exit RunCommand(const std::string& env, const std::string& program, const std::vector<std::string>& args) {
    const std::string base = ::testing::TempDir() + "/session_" + std::to_string(getpid());
    std::string command = env + " " + Quoted(std::string(DRILLS_BIN_DIR) + "/" + program);
    for (const auto& a : args) command += " " + Quoted(a);
    command += " >" + base + ".out 2>" + base + ".err </dev/null";
    const int raw = std::system(command.c_str());
    Exit e;
    e.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    e.out = Slurp(base + ".out");
    e.errors = Slurp(base + ".err");
    return e;
}

// The accepted answers of Halvard's problem 1 drawn again and again after the seed of a clock,
// as the practice flow presents them.
std::vector<std::string> AcceptedAnswers(const std::string& clock, int count) {
    testing_rig::Rig rig(halvard::HalvardProgram(), "", clock);
    shell::StartUp(rig.sh);
    shell::SeedFromClock(rig.sh);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        shell::PresentEntry(rig.sh, 1);
        out.push_back(rt::toUtf8(rig.sh.ans.accepted));
    }
    return out;
}

TEST(ResultsSession, TheReportCountsWhatTheScriptsDid) {
    const std::string clock = "09:15:30";
    const auto accepted = AcceptedAnswers(clock, 3);
    for (const auto& a : accepted)
        ASSERT_EQ(a.find_first_not_of("x=-0123456789"), std::string::npos)
            << "not typeable as plain keys: " << a;
    const std::string wrong = "x=9999{Enter}";
    const std::string dir = ::testing::TempDir() + "/session_report_" + std::to_string(getpid());
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string file = dir + "/class.sqlite3";
    const std::string pupil = "Robert'); DROP TABLE results;--";

    // Problem 1 right at once, then again right at the second attempt, then three wrong answers
    // (the solution), then the window closed in the middle of a fourth.
    const std::string practice = "11{Enter}" + accepted[0] + "{Enter}1" + wrong + " " + accepted[1] +
                                 "{Enter}1" + wrong + " " + wrong + " " + wrong + "1x={Close}";
    Exit e =
        RunCommand("", "halvard",
                   {"--headless", "--clock", clock, "--keys", practice, "--results", file, "--pupil", pupil});
    ASSERT_EQ(e.status, 0) << e.errors;
    EXPECT_EQ(e.errors, "");
    // View mode: problems 1 and 2 looked at, the window closed on problem 3.
    e = RunCommand("", "halvard",
                   {"--headless", "--keys", "2{Enter}{Enter}{Close}", "--results", file, "--pupil", pupil});
    ASSERT_EQ(e.status, 0) << e.errors;
    // Another pupil on another program, into the same file.
    e = RunCommand("", "brenwick",
                   {"--headless", "--keys", "11{Enter}{Close}", "--results", file, "--pupil", "ゆき"});
    ASSERT_EQ(e.status, 0) << e.errors;

    e = RunCommand("", "drills-report", {"--results", file, "--format", "json"});
    ASSERT_EQ(e.status, 0) << e.errors;
    const auto report = nlohmann::json::parse(e.out);
    ASSERT_EQ(report.at("pupils").size(), 2u) << e.out;
    const auto& robert = report["pupils"][0];
    EXPECT_EQ(robert["pupil"], pupil);
    ASSERT_EQ(robert["programs"].size(), 1u);
    EXPECT_EQ(robert["programs"][0]["program"], "halvard");
    const auto& entries = robert["programs"][0]["entries"];
    ASSERT_EQ(entries.size(), 3u) << e.out;
    struct Row {
        int entry, practised, right1, right2, right3, solution, left, viewed, hints;
    };
    // Every answered problem ends with the whole solution shown: three steps each.
    const Row rows[] = {
        {1, 4, 1, 1, 0, 1, 1, 1, 9}, {2, 0, 0, 0, 0, 0, 0, 1, 0}, {3, 0, 0, 0, 0, 0, 0, 1, 0}};
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& j = entries[i];
        const Row& r = rows[i];
        SCOPED_TRACE(j.dump());
        EXPECT_EQ(j["entry"], r.entry);
        EXPECT_EQ(j["practised"], r.practised);
        EXPECT_EQ(j["right1"], r.right1);
        EXPECT_EQ(j["right2"], r.right2);
        EXPECT_EQ(j["right3"], r.right3);
        EXPECT_EQ(j["solution"], r.solution);
        EXPECT_EQ(j["left"], r.left);
        EXPECT_EQ(j["viewed"], r.viewed);
        EXPECT_EQ(j["hints"], r.hints);
    }
    const auto& yuki = report["pupils"][1];
    EXPECT_EQ(yuki["pupil"], "ゆき");
    EXPECT_EQ(yuki["programs"][0]["program"], "brenwick");
    EXPECT_EQ(yuki["programs"][0]["entries"][0]["left"], 1);

    // The filters and the other formats read the same rows.
    e = RunCommand("", "drills-report", {"--results", file, "--format", "csv", "--program", "Brenwick"});
    ASSERT_EQ(e.status, 0) << e.errors;
    const std::string data = e.out.substr(e.out.find('\n') + 1);
    EXPECT_EQ(data.rfind("ゆき,brenwick,1,1,0,0,0,0,1,0,0,", 0), 0u) << e.out;
    EXPECT_EQ(std::count(data.begin(), data.end(), '\n'), 1) << e.out;
    e = RunCommand("", "drills-report", {"--results", file, "--pupil", pupil, "--format", "text"});
    EXPECT_NE(e.out.find("Pupil: " + pupil), std::string::npos) << e.out;
    EXPECT_EQ(e.out.find("ゆき"), std::string::npos) << e.out;
}

TEST(ResultsSession, HeadlessRunsKeepNothingUnlessAskedAndLostProblemsSetTheStatus) {
    const std::string home = ::testing::TempDir() + "/session_home_" + std::to_string(getpid());
    fs::remove_all(home);
    fs::create_directories(home);
    const std::string env =
        "HOME=" + Quoted(home) + " XDG_DATA_HOME= DRILLS_RESULTS=" + Quoted(home + "/env.sqlite3");
    Exit e = RunCommand(env, "halvard", {"--headless", "--keys", "2{Enter}{Close}"});
    EXPECT_EQ(e.status, 0) << e.errors;
    EXPECT_TRUE(fs::is_empty(home)) << "a headless run wrote into the home folder";

    // A results file that can never be opened: practice goes on, the end says what was lost
    // (two problems viewed, the third closed).
    fs::create_directories(home + "/dir.sqlite3");
    e = RunCommand(env, "halvard",
                   {"--headless", "--keys", "2{Enter}{Enter}{Close}", "--results", home + "/dir.sqlite3"});
    EXPECT_EQ(e.status, 75) << e.errors;
    EXPECT_NE(e.errors.find("3 finished problems could not be written"), std::string::npos) << e.errors;

    e = RunCommand(env, "halvard", {"--headless", "--results", "x", "--no-results"});
    EXPECT_EQ(e.status, 2) << e.errors;
}

}  // namespace
