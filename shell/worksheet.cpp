#include "shell/worksheet.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <cstdio>
#include <set>
#include <string>

#include "runtime/page.h"
#include "shell/numtext.h"
#include "shell/practice.h"
#include "shell/startup.h"

namespace shell {

namespace {

// Seeds come from hours + minutes + seconds: 0 to 23 + 59 + 59.
constexpr int kSeeds = 23 + 59 + 59 + 1;
constexpr int kDaySeconds = 24 * 60 * 60;
// Room left under each problem for the pupil's working and answer, in points.
constexpr double kAnswerRoom = 56;

int Digits(const Text& s, size_t& i) {
    if (i >= s.size() || s[i] < U'0' || s[i] > U'9') return -1;
    int v = 0;
    for (; i < s.size() && s[i] >= U'0' && s[i] <= U'9'; ++i)
        v = std::min(v * 10 + static_cast<int>(s[i] - U'0'), 100000);
    return v;
}

Text Two(int v) { return Text{static_cast<char32_t>(U'0' + v / 10), static_cast<char32_t>(U'0' + v % 10)}; }

// The creation time: SOURCE_DATE_EPOCH when set (a reproducible build's convention), else today
// at the sheet's clock, so the same options on the same day give the same file.
std::tm CreationTime(const Text& clock) {
    std::tm t{};
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        char* end = nullptr;
        const long long v = std::strtoll(epoch, &end, 10);
        if (*end != '\0' || v < 0) throw rt::StartupError("SOURCE_DATE_EPOCH is not a number of seconds");
        const auto when = static_cast<std::time_t>(v);
        gmtime_r(&when, &t);
        return t;
    }
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &t);
    const int seconds = ClockSeconds(clock);
    t.tm_hour = seconds / 3600;
    t.tm_min = seconds / 60 % 60;
    t.tm_sec = seconds % 60;
    return t;
}

Text Label(int index, const SheetProblem& p, const Entry* entry) {
    Text label = U"(" + Num(static_cast<float>(index)) + U")  " + Num(static_cast<float>(p.number)) + U"番";
    if (entry && *entry->name) label += U"  " + Text(entry->name);
    return label + U"    --clock " + p.clock;
}

}  // namespace

int ClockSeconds(const Text& clock) {
    auto two = [&](size_t at) {
        return static_cast<int>((clock.at(at) - U'0') * 10 + (clock.at(at + 1) - U'0'));
    };
    return two(0) * 3600 + two(3) * 60 + two(6);
}

std::vector<int> ParseProblemList(const Text& list, int problemCount) {
    Text s;
    for (char32_t c : list)
        if (c != U' ') s.push_back(c);
    std::vector<int> out;
    auto add = [&](int n) {
        if (std::find(out.begin(), out.end(), n) == out.end()) out.push_back(n);
    };
    if (s.empty()) {
        for (int n = 1; n <= problemCount; ++n) add(n);
        return out;
    }
    const std::string all = rt::toUtf8(list);
    size_t i = 0;
    while (i <= s.size()) {
        const int a = Digits(s, i);
        int b = a;
        if (i < s.size() && s[i] == U'-') {
            ++i;
            b = Digits(s, i);
        }
        if (a < 1 || b < a || b > problemCount || (i < s.size() && s[i] != U','))
            throw rt::StartupError("--problems wants numbers from 1 to " + std::to_string(problemCount) +
                                   " such as 1-4,9, not " + all);
        for (int n = a; n <= b; ++n) add(n);
        if (i == s.size()) break;
        ++i;  // the comma
        if (i == s.size()) throw rt::StartupError("--problems ends with a comma: " + all);
    }
    return out;
}

Text ClockAfter(const Text& clock, int seconds) {
    const int t = ((ClockSeconds(clock) + seconds) % kDaySeconds + kDaySeconds) % kDaySeconds;
    return Two(t / 3600) + U":" + Two(t / 60 % 60) + U":" + Two(t % 60);
}

SheetProblem DrawSheetProblem(rt::Screen& screen, const Program& program, int number, const Text& clock) {
    // A fresh shell, left as start-up, the prompt for the start number and the round's first
    // screen leave it: the entry sees exactly what it sees when a pupil practises from `number`.
    Shell sh(screen, program);
    ResetLessonState(sh);
    screen.clearScreen();
    sh.startNumberText = Num(static_cast<float>(number));
    program.DrawKeyHelp(sh);
    screen.seedRandom(static_cast<float>(ClockSeed(clock)));
    sh.round = 1;
    const std::uint64_t before = screen.drawing().added;
    auto drawnSince = [&] {
        const rt::DrawList& d = screen.drawing();
        return std::vector<rt::DrawOp>(d.ops.begin() + static_cast<long>(d.after(before)), d.ops.end());
    };

    SheetProblem p;
    p.number = number;
    p.clock = clock;
    PresentEntry(sh, number);
    p.problem = drawnSince();
    p.ans = sh.ans;
    // The practice driver's colour after Present; each hint step follows the wrong answer it answers.
    sh.colour = 7;
    if (const Entry* e = program.FindEntry(number)) {
        void (*steps[])(Shell&) = {e->HintStep1, e->HintStep2, e->HintStep3};
        for (int k = 0; k < 3; ++k) {
            sh.attempts = k + 1;
            if (steps[k]) steps[k](sh);
        }
    }
    p.solution = drawnSince();
    return p;
}

std::vector<SheetProblem> ChooseSheetProblems(rt::Screen& screen, const Program& program,
                                              const std::vector<int>& numbers, int count, const Text& start) {
    std::vector<SheetProblem> out;
    int cursor = 0;  // seconds after `start` of the next clock to try
    for (int number : numbers) {
        std::set<int> tried;  // seeds tried for this number
        std::vector<SheetProblem> chosen;
        // First every clock whose seed is new and whose problem differs from those chosen;
        // when the number cannot make that many, any further clock.
        for (int offset = cursor; static_cast<int>(chosen.size()) < count && offset < cursor + kDaySeconds;
             ++offset) {
            const Text clock = ClockAfter(start, offset);
            const bool fresh = tried.insert(ClockSeed(clock)).second;
            if (!fresh && static_cast<int>(tried.size()) < kSeeds) continue;
            SheetProblem p = DrawSheetProblem(screen, program, number, clock);
            const bool repeats = std::any_of(chosen.begin(), chosen.end(),
                                             [&](const SheetProblem& q) { return q.problem == p.problem; });
            if (repeats && static_cast<int>(tried.size()) < kSeeds) continue;
            chosen.push_back(std::move(p));
            cursor = offset + 1;
        }
        for (auto& p : chosen) out.push_back(std::move(p));
    }
    return out;
}

int WriteWorksheet(const Program& program, const rt::Options& options) {
    const std::string name = rt::toUtf8(program.title);
    bool writing = false;  // a failure while the file is made is a failed write, else the program's
    try {
        const std::vector<int> numbers =
            ParseProblemList(rt::fromUtf8(options.worksheetProblems), program.problemCount);
        const Text start = rt::fromUtf8(options.clock.value_or("00:00:00"));
        const std::tm when = CreationTime(start);
        rt::Screen screen(options);
        const std::vector<SheetProblem> problems =
            ChooseSheetProblems(screen, program, numbers, options.worksheetCount, start);

        char created[32];
        std::strftime(created, sizeof created, "%Y-%m-%dT%H:%M:%S", &when);
        const Text date = Num(static_cast<float>(when.tm_year + 1900)) + U"年" +
                          Num(static_cast<float>(when.tm_mon + 1)) + U"月" +
                          Num(static_cast<float>(when.tm_mday)) + U"日";
        writing = true;
        rt::PageDocument doc(options.worksheetFile, options.fontFile, program.title + U" 練習プリント",
                             created);

        // The topics, a few to a line.
        std::vector<Text> notes;
        Text line;
        int onLine = 0;
        for (int n : numbers) {
            const Entry* e = program.FindEntry(n);
            line +=
                (onLine ? U"      " : U"") + Num(static_cast<float>(n)) + U"番 " + Text(e ? e->name : U"");
            if (++onLine == 4) {
                notes.push_back(line);
                line.clear();
                onLine = 0;
            }
        }
        if (!line.empty()) notes.push_back(line);

        writing = false;
        doc.heading(program.title + U" 練習プリント", date, notes);
        for (size_t i = 0; i < problems.size(); ++i)
            doc.place(Label(static_cast<int>(i + 1), problems[i], program.FindEntry(problems[i].number)),
                      problems[i].problem, kAnswerRoom);
        doc.section(program.title + U" 解答");
        for (size_t i = 0; i < problems.size(); ++i)
            doc.place(Label(static_cast<int>(i + 1), problems[i], program.FindEntry(problems[i].number)),
                      problems[i].solution, 0);
        writing = true;
        doc.finish();
        screen.finish();
    } catch (const rt::StartupError& e) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), e.what());
        return 2;
    } catch (const rt::ProgramEnd& end) {
        return end.status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s%s\n", name.c_str(), writing ? "" : "error: ", e.what());
        return writing ? 74 : 70;
    }
    return 0;
}

}  // namespace shell
