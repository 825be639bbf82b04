// A pupil who presses anything: random key scripts typed into whole headless runs of each
// program, with random clocks. Every run must end cleanly when its script is used up, and its
// trace must still read as a sound lesson: each problem has an answer that earns the circle when
// typed, every result mark agrees with its check, and the progress table's marks and counts agree
// with the checks and problems they stand for. A failure prints the seed and the shortest script
// that still fails.
//
// DRILLS_PUPIL_SEED=N repeats a run; DRILLS_PUPIL_RUNS=N types N scripts a program (default 75).
#include <malloc.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <future>
#include <iostream>
#include <random>
#include <regex>
#include <set>

#include "brenwick/brenwick.h"
#include "halvard/halvard.h"
#include "morvane/morvane.h"
#include "quillon/quillon.h"
#include "shell/numtext.h"
#include "tests/harness.h"

namespace {

using testing_rig::json;

// One key of a script, as the script spells it.
using Keys = std::vector<std::string>;

std::string Join(const Keys& keys) {
    std::string s;
    for (const auto& k : keys) s += k;
    return s;
}

// What the entries observe: entries are plain functions of the shell, so each program is run
// through a copy whose entries call the real ones and then note what the problem accepts.
struct Probe {
    const shell::Program* real = nullptr;
    std::vector<std::string> accepted;  // per presented problem: the first accepted answer
    long presents = 0;
    std::size_t heapAt100 = 0, heapAt1000 = 0;
};
Probe probe;

void PresentAndNote(shell::Shell& sh) {
    const shell::Entry* e = probe.real->FindEntry(sh.currentProblem);
    e->Present(sh);
    probe.accepted.push_back(rt::toUtf8(sh.ans.accepted));
    ++probe.presents;
    if (probe.presents == 100) probe.heapAt100 = mallinfo2().uordblks;
    if (probe.presents == 1000) probe.heapAt1000 = mallinfo2().uordblks;
}

shell::Program Observed(const shell::Program& real) {
    shell::Program p = real;
    for (auto& e : p.entries) e.Present = PresentAndNote;
    return p;
}

struct Subject {
    const char* name;
    const shell::Program& (*program)();
};

const Subject kSubjects[] = {
    {"halvard", halvard::HalvardProgram},
    {"morvane", morvane::MorvaneProgram},
    {"quillon", quillon::QuillonProgram},
    {"brenwick", brenwick::BrenwickProgram},
};

// Everything a pupil can press: digits and letters, each program's punctuation keys, the
// editing and function keys, full-width forms from an input method, characters no key
// produces, and now and then the close box.
std::string RandomKey(std::mt19937_64& rng) {
    static const std::string ascii = "0123456789abcdxyzXYZABCDLMNQWERTSVI+-=().,:*\\~!@[]&%'$?#^/ ";
    static const char* const named[] = {"{Enter}", "{BS}",  "{Del}", "{Clear}", "{F1}", "{F2}",
                                        "{F3}",    "{F4}",  "{F5}",  "{F6}",    "{F7}", "{F8}",
                                        "{F9}",    "{F10}", "{F11}", "{F12}"};
    static const char* const foreign[] = {"é", "漢", "😀", "\x7f", "\t", "ｻ", "ﾝ", "ﾀ", "　", "～"};
    const int kind = std::uniform_int_distribution<int>(0, 99)(rng);
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    if (kind < 45) return std::string(1, "0123456789"[pick(10)]);
    if (kind < 60) return "{Enter}";
    // The space bar goes on from a wrong answer, so that problems end and the table counts them.
    if (kind < 65) return " ";
    if (kind < 75) {
        const char c = ascii[pick(ascii.size())];
        return c == '{' ? "{{" : std::string(1, c);
    }
    if (kind < 90) return named[pick(std::size(named))];
    if (kind < 95) return rt::toUtf8(rt::Text(1, static_cast<char32_t>(0xFF01 + pick(0x5E))));
    if (kind < 99) return foreign[pick(std::size(foreign))];
    return "{Close}";
}

// Starts in practice from a random problem, so that most scripts reach problems.
Keys RandomScript(std::mt19937_64& rng, int problems) {
    Keys keys{"1"};
    for (char digit : std::to_string(std::uniform_int_distribution<int>(1, problems)(rng)))
        keys.push_back(std::string(1, digit));
    keys.push_back("{Enter}");
    const int length = std::uniform_int_distribution<int>(20, 300)(rng);
    for (int i = 0; i < length; ++i) keys.push_back(RandomKey(rng));
    return keys;
}

std::string RandomClock(std::mt19937_64& rng) {
    auto two = [](int v) {
        return std::string{static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
    };
    auto in = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    return two(in(24)) + ":" + two(in(60)) + ":" + two(in(60));
}

struct Run {
    testing_rig::RunResult result;
    std::vector<std::string> accepted;
};

// A run that does not end within the limit has lost its way: say what it was and stop here,
// since it cannot be taken back from its thread.
Run RunScript(const shell::Program& real, const std::string& keys, const std::string& clock) {
    const shell::Program observed = Observed(real);
    probe = Probe{};
    probe.real = &real;
    auto future =
        std::async(std::launch::async, [&] { return testing_rig::runProgram(observed, keys, clock); });
    if (future.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        std::cerr << "random pupil: the run did not end within 60 s: --clock " << clock << " --keys '" << keys
                  << "'\n";
        std::_Exit(1);
    }
    return {future.get(), probe.accepted};
}

// The keys that type `answer` as a pupil would: a fraction with the fraction key, denominator
// first. Empty when the answer holds something this does not know how to type (a root).
std::string KeysFor(const shell::Program& program, const std::string& answer) {
    const rt::Text text = rt::fromUtf8(answer);
    if (text.find(program.keys.root) != rt::Text::npos ||
        text.find(program.keys.tallRoot) != rt::Text::npos ||
        (program.keys.escape && text.find(program.keys.escape) != rt::Text::npos))
        return "";
    static const std::regex fraction("([0-9.]+)/([0-9.]+)");
    std::string out;
    std::smatch m;
    std::string rest = answer;
    const std::string key = rt::toUtf8(rt::Text(1, program.keys.fraction));
    while (std::regex_search(rest, m, fraction)) {
        out += m.prefix().str() + key + m[2].str() + "{Enter}" + m[1].str() + "{Enter}";
        rest = m.suffix().str();
    }
    out += rest;
    // A comma is stored after a blank the comma key adds itself.
    out = std::regex_replace(out, std::regex(" ,"), ",");
    return std::regex_replace(out, std::regex("\\{(?!Enter\\})"), "{{");
}

// The number of readKey events each script key gives: a function key types its text.
std::vector<int> EventsPerKey(const Keys& keys, const std::vector<json>& events) {
    std::array<int, 13> fk{};
    for (const auto& e : testing_rig::ops(events, "setFunctionKey"))
        fk[e.at("n").get<std::size_t>()] =
            static_cast<int>(rt::fromUtf8(e.at("text").get<std::string>()).size());
    std::vector<int> out;
    for (const auto& k : keys) {
        std::smatch m;
        if (std::regex_match(k, m, std::regex("\\{F([0-9]+)\\}")))
            out.push_back(fk[std::stoul(m[1].str())]);
        else
            out.push_back(k == "{Close}" ? 0 : 1);
    }
    return out;
}

// The progress table: one cell a problem from x = 240, 16 wide; the mark of a problem's first
// check in its second row, the count of its repeats below the table, 4 in from the cell's edge.
constexpr float kTableX = 240, kCellWidth = 16;

bool IsProgressMark(const json& e) {
    return e.at("op") == "drawScaledText" && e.at("y").get<float>() == 18 &&
           (e.at("text") == "○" || e.at("text") == "×");
}

bool IsRepeatCount(const json& e) {
    static const std::regex digit("[0-9]");
    return e.at("op") == "drawScaledText" && e.at("y").get<float>() == 38 &&
           e.at("x").get<float>() >= kTableX && std::regex_match(e.at("text").get<std::string>(), digit);
}

// The problem whose cell starts at x (less `inset`), or 0 when x is not on a cell's edge.
int CellAt(const json& e, float inset) {
    const float k = (e.at("x").get<float>() - inset - kTableX) / kCellWidth;
    return k >= 0 && k == static_cast<float>(static_cast<int>(k)) ? static_cast<int>(k) + 1 : 0;
}

bool IsResultMark(const json& e) { return e.at("op") == "drawCircle" && e.at("r") == 22 && e.at("c") == 5; }

// What the runs of one program put to the test, so that a run that tests nothing shows.
struct Tally {
    int replayed = 0;  // problems replayed with their accepted answers
    int counts = 0;    // repeat counts under the progress table
};

// Everything a sound run shows. Returns "" or what went wrong.
std::string Check(const shell::Program& program, const Keys& keys, const std::string& clock, int replays,
                  std::set<std::string>* pastTheEdge, Tally* tally = nullptr) {
    const Run run = RunScript(program, Join(keys), clock);
    const auto& ev = run.result.events;
    if (run.result.status != 0)
        return "ended with status " + std::to_string(run.result.status) + ": " + run.result.errors;
    if (!run.result.errors.empty()) return "wrote to stderr: " + run.result.errors;

    // Marks: every check draws its result, a right one a circle. The table: each round starts
    // with its number, one more than the last; the first check of a problem not yet marked in
    // the round marks its cell with the check's result, once a round; the count under a cell
    // is how many times in a row its problem has been finished since it was marked, at most 9.
    int lastResult = 0, checks = 0, circles = 0, crosses = 0, right = 0;
    bool checkedSincePresent = false;
    std::vector<std::pair<int, bool>> presents;  // entry, then: checked before the next Present
    int round = 0;
    std::set<int> markedThisRound;
    int markedEntry = 0, timesSinceMark = 0;  // the problem marked last, and its Presents since
    int counts = 0;
    for (std::size_t i = 0; i < ev.size(); ++i) {
        const json& e = ev[i];
        const int current = presents.empty() ? 0 : presents.back().first;
        if (e.at("op") == "printNumber2") {
            if (e.at("value").get<int>() != round + 1)
                return "round " + e.at("value").dump() + " follows round " + std::to_string(round);
            ++round;
            markedThisRound.clear();
            markedEntry = 0;
        } else if (e.at("op") == "Present") {
            presents.push_back({e.at("entry").get<int>(), false});
            checkedSincePresent = false;
            if (presents.back().first == markedEntry)
                ++timesSinceMark;
            else
                markedEntry = 0;
        } else if (e.at("op") == "CheckAnswer") {
            lastResult = e.at("result").get<int>();
            ++checks;
            right += lastResult == 2;
            if (!presents.empty()) presents.back().second = true;
            if (!checkedSincePresent && round > 0 && !markedThisRound.count(current)) {
                // The first check of a problem not yet marked: its table mark follows and says the same.
                std::size_t j = i + 1;
                while (j < ev.size() && j < i + 40 && !IsProgressMark(ev[j])) ++j;
                if (j == ev.size() || j == i + 40)
                    return "problem " + std::to_string(current) + " was checked but its cell not marked";
                if ((ev[j].at("text") == "○") != (lastResult == 2))
                    return "the table marks " + ev[j].at("text").get<std::string>() + " a check of result " +
                           std::to_string(lastResult);
            }
            checkedSincePresent = true;
        } else if (IsProgressMark(e)) {
            if (CellAt(e, 0) != current)
                return "problem " + std::to_string(current) + " marked in the cell of " +
                       std::to_string(CellAt(e, 0));
            if (!markedThisRound.insert(current).second)
                return "problem " + std::to_string(current) + " marked twice in round " +
                       std::to_string(round);
            markedEntry = current;
            timesSinceMark = 1;
        } else if (IsRepeatCount(e)) {
            if (CellAt(e, 4) != current || markedEntry != current)
                return "a count under the cell of " + std::to_string(CellAt(e, 4)) + " after problem " +
                       std::to_string(current) +
                       (markedEntry == current ? "" : ", which has no mark this round");
            const std::string want = std::to_string(std::min(timesSinceMark, 9));
            if (e.at("text") != want)
                return "problem " + std::to_string(current) + " finished " + std::to_string(timesSinceMark) +
                       " times in a row, counted " + e.at("text").get<std::string>();
            ++counts;
        } else if (IsResultMark(e)) {
            ++circles;
            if (lastResult != 2) return "a circle drawn for a wrong answer";
        } else if (e.at("op") == "drawLine" && e.at("c") == 5) {
            ++crosses;
        }
        if (pastTheEdge && e.at("op") == "DrawText" && !presents.empty()) {
            const float width =
                16.0f * static_cast<float>(rt::fromUtf8(e.at("text").get<std::string>()).size());
            if (e.at("x").get<float>() + width > static_cast<float>(program.canvasWidth))
                pastTheEdge->insert(std::to_string(presents.back().first));
        }
    }
    if (circles != right)
        return std::to_string(right) + " right checks but " + std::to_string(circles) + " circles";
    if (crosses < 2 * (checks - right))
        return std::to_string(checks - right) + " wrong checks but " + std::to_string(crosses / 2) +
               " crosses";

    // Answers: every problem accepts something, and typed as a pupil types it, it is right.
    if (run.accepted.size() != presents.size()) return "Present events and presented problems differ";
    for (std::size_t p = 0; p < presents.size(); ++p)
        if (run.accepted[p].empty())
            return "problem " + std::to_string(presents[p].first) + " accepts no answer";

    const std::vector<int> perKey = EventsPerKey(keys, ev);
    std::vector<std::size_t> keysBefore;  // per Present: the script keys typed before it
    std::size_t k = 0;
    int seen = 0, used = 0;
    for (const auto& e : ev) {
        if (e.at("op") == "readKey") ++seen;
        if (e.at("op") == "Present") {
            while (k < keys.size() && used + perKey[k] <= seen) used += perKey[k++];
            keysBefore.push_back(used == seen ? k : keys.size());  // mid-key: not replayable
        }
    }
    int done = 0;
    for (std::size_t p = 0; p < presents.size() && done < replays; ++p) {
        if (!presents[p].second || keysBefore[p] >= keys.size()) continue;
        const std::string answer = KeysFor(program, run.accepted[p]);
        if (answer.empty()) continue;
        const Keys prefix(keys.begin(), keys.begin() + static_cast<long>(keysBefore[p]));
        const Run again = RunScript(program, Join(prefix) + answer + "{Enter}", clock);
        const auto presented = testing_rig::ops(again.result.events, "Present");
        const auto checked = testing_rig::ops(again.result.events, "CheckAnswer");
        if (presented.size() != p + 1) return "a replay did not reach problem " + std::to_string(p + 1);
        if (checked.empty() || checked.back().at("result") != 2 ||
            !IsResultMark(
                *std::find_if(again.result.events.rbegin(), again.result.events.rend(), [](const json& e) {
                    return IsResultMark(e) || (e.at("op") == "drawLine" && e.at("c") == 5);
                })))
            return "problem " + std::to_string(presents[p].first) + ": its accepted answer " +
                   run.accepted[p] + " typed as " + answer + " is not marked right (checked " +
                   (checked.empty() ? "nothing" : checked.back().dump()) + ")";
        ++done;
    }
    if (tally) {
        tally->replayed += done;
        tally->counts += counts;
    }
    return "";
}

// The shortest script that still fails: drop ever smaller runs of keys while it keeps failing.
Keys Shrink(const shell::Program& program, Keys keys, const std::string& clock) {
    int budget = 400;
    for (std::size_t chunk = keys.size() / 2; chunk >= 1 && budget > 0;) {
        bool dropped = false;
        for (std::size_t at = 0; at + chunk <= keys.size() && budget > 0; --budget) {
            Keys shorter = keys;
            shorter.erase(shorter.begin() + static_cast<long>(at),
                          shorter.begin() + static_cast<long>(at + chunk));
            if (!Check(program, shorter, clock, 3, nullptr).empty()) {
                keys = std::move(shorter);
                dropped = true;
            } else {
                at += chunk;
            }
        }
        if (!dropped) chunk /= 2;
    }
    return keys;
}

unsigned long EnvNumber(const char* name, unsigned long fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtoul(v, nullptr, 10) : fallback;
}

class RandomPupil : public ::testing::TestWithParam<Subject> {};

TEST_P(RandomPupil, AnyKeysEndCleanlyAndTheLessonStaysSound) {
    const Subject subject = GetParam();
    const shell::Program& program = subject.program();
    const unsigned long seed =
        EnvNumber("DRILLS_PUPIL_SEED",
                  static_cast<unsigned long>(std::chrono::system_clock::now().time_since_epoch().count()));
    const unsigned long runs = EnvNumber("DRILLS_PUPIL_RUNS", 75);
    std::cout << "random pupil " << subject.name << ": DRILLS_PUPIL_SEED=" << seed << " (" << runs
              << " runs)\n";
    std::mt19937_64 rng(seed);
    std::set<std::string> pastTheEdge;
    Tally tally;
    for (unsigned long r = 0; r < runs; ++r) {
        const Keys keys = RandomScript(rng, program.problemCount);
        const std::string clock = RandomClock(rng);
        const std::string failure = Check(program, keys, clock, 2, &pastTheEdge, &tally);
        if (!failure.empty()) {
            const Keys shortest = Shrink(program, keys, clock);
            FAIL() << subject.name << " with DRILLS_PUPIL_SEED=" << seed << ", run " << r << ": " << failure
                   << "\nshortest failing script: --clock " << clock << " --keys '" << Join(shortest) << "'\n"
                   << "(" << Check(program, shortest, clock, 3, nullptr) << ")";
        }
    }
    // The answers and the table were put to the test, not passed over.
    EXPECT_GT(tally.replayed, 0) << subject.name << " with DRILLS_PUPIL_SEED=" << seed;
    EXPECT_GT(tally.counts, 0) << subject.name << " with DRILLS_PUPIL_SEED=" << seed;
    std::cout << subject.name << ": " << tally.replayed << " problems replayed with their accepted answers, "
              << tally.counts << " repeat counts checked\n";
    if (!pastTheEdge.empty()) {
        std::cout << subject.name << ": text running past the right edge in problems";
        for (const auto& e : pastTheEdge) std::cout << " " << e;
        std::cout << "\n";
    }
}

// Scripts that once failed, or that press where faults are likeliest: kept and run every time.
TEST_P(RandomPupil, KeptScriptsStaySound) {
    const Subject subject = GetParam();
    const shell::Program& program = subject.program();
    struct Row {
        Keys keys;
        const char* clock;
    };
    const Row rows[] = {
        // Every function key on the answer line, then inside a fraction, then confirmed.
        {{"1",    "1",     "{Enter}", "{F1}", "{F2}",    "{F3}",    "{F4}",    "{F5}",
          "{F6}", "{F7}",  "{F8}",    "{F9}", "{F10}",   "{F11}",   "{F12}",   "{Enter}",
          "{F1}", "{F12}", "{F3}",    "1",    "{Enter}", "{Enter}", "{Enter}", "{Enter}"},
         "23:59:59"},
        // A line typed full, full-width forms and characters no key produces.
        {{"1", "2", "{Enter}", "１",      "２",   "＝",    "ｘ",      "漢",     "😀", "é", "\t", "1",
          "2", "3", "4",       "5",       "6",    "7",     "8",       "9",      "0", "1", "2",  "3",
          "4", "5", "6",       "7",       "8",    "9",     "0",       "1",      "2", "3", "4",  "5",
          "6", "7", "8",       "9",       "0",    "1",     "2",       "3",      "4", "5", "6",  "7",
          "8", "9", "0",       "{Enter}", "{BS}", "{Del}", "{Clear}", "{Enter}"},
         "00:00:00"},
        // Deleting back through a finished fraction and a root, then closing mid-answer.
        {{"1",    "3",    "{Enter}", "{F1}", "4",    "{Enter}", "3", "{Enter}", "{BS}", "{BS}",
          "{BS}", "{F3}", "2",       "{BS}", "{BS}", "{Enter}", "7", "{Enter}", " ",    "{Close}"},
         "12:34:56"},
    };
    for (const auto& row : rows) {
        const std::string failure = Check(program, row.keys, row.clock, 3, nullptr);
        EXPECT_EQ(failure, "") << subject.name << " --clock " << row.clock << " --keys '" << Join(row.keys)
                               << "'";
    }
}

// A pupil who answers wrongly, steps on and starts round after round: the heap in use at the
// thousandth problem is what it was at the hundredth. Without a trace, which grows by itself.
TEST_P(RandomPupil, MemoryStaysFlatFromProblemToProblem) {
    const Subject subject = GetParam();
    const shell::Program observed = Observed(subject.program());
    std::string keys = "11{Enter}";
    for (int i = 0; i < 1100; ++i) keys += "7{Enter} 7{Enter} 7{Enter}2";
    probe = Probe{};
    probe.real = &subject.program();
    auto options = testing_rig::Rig::makeOptions(observed, keys, "12:34:56", nullptr);
    ASSERT_EQ(shell::RunProgram(observed, options), 0);
    ASSERT_GE(probe.presents, 1000) << "the script did not step through problems";
    EXPECT_LT(static_cast<long>(probe.heapAt1000) - static_cast<long>(probe.heapAt100), 64L * 1024)
        << subject.name << ": " << probe.heapAt100 << " -> " << probe.heapAt1000 << " bytes";
}

INSTANTIATE_TEST_SUITE_P(AllPrograms, RandomPupil, ::testing::ValuesIn(kSubjects),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
