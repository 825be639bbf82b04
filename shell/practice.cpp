#include "shell/practice.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "runtime/text.h"
#include "shell/editor.h"
#include "shell/frame.h"
#include "shell/keys.h"
#include "shell/mathtext.h"
#include "shell/numtext.h"
#include "shell/startup.h"

namespace shell {

namespace {

// The progress table sits at text column 30, row 0; the marking routines place their marks
// from the same origin.
constexpr int kTableColumn = 30;
constexpr int kTableRow = 0;
constexpr float kTableX = 8 * kTableColumn;
constexpr float kTableY = 16 * kTableRow;
constexpr float kCellWidth = 16;

// The numeric value of a typed start number: leading blanks, a sign,
// digits and a decimal fraction; whatever follows is ignored, and a text that does not
// start with a number is 0.
float TypedValue(const Text& s) {
    size_t i = 0;
    while (i < s.size() && s[i] == U' ') ++i;
    float sign = 1;
    if (i < s.size() && (s[i] == U'-' || s[i] == U'+')) {
        if (s[i] == U'-') sign = -1;
        ++i;
    }
    double value = 0;
    for (; i < s.size() && s[i] >= U'0' && s[i] <= U'9'; ++i) value = value * 10 + (s[i] - U'0');
    if (i < s.size() && s[i] == U'.') {
        double scale = 0.1;
        for (++i; i < s.size() && s[i] >= U'0' && s[i] <= U'9'; ++i, scale /= 10)
            value += (s[i] - U'0') * scale;
    }
    return sign * static_cast<float>(value);
}

void CallHint(Shell& sh, int step) {
    const Entry* entry = sh.prog.FindEntry(sh.currentProblem);
    if (!entry) return;
    void (*hint)(Shell&) = step == 1 ? entry->HintStep1 : step == 2 ? entry->HintStep2 : entry->HintStep3;
    if (hint) hint(sh);
}

// Shows a problem the program does not have yet, so that the flow around it still works.
void PresentPlaceholder(Shell& sh, int e) {
    ClearWorkArea(sh);
    DrawProblemPlate(sh, e, 63, 48, 448, 99);
    PenSaver pen(sh);
    DrawText(sh, 64, 72, 13, U"この問題は準備中です。");
}

// After the last problem the menu offers the same problem, a new round or the contents; after
// any other, the same problem or the next. Drawn once, then polled.
Next EndOfProblemMenu(Shell& sh) {
    const bool last = sh.currentProblem == sh.problemCount;
    if (last) {
        sh.scr.drawScaledText(16, 594,
                              U"☆この問題をもう１度練習する…１    ☆１番から練習する…２    ☆「内容」に戻る…３",
                              1, 1, 15);
        sh.scr.locateText(78, 33);
    } else {
        sh.scr.drawScaledText(16, 594, U"☆もう１度練習する…１    ☆次に進む…２", 1, 1, 15);
        sh.scr.locateText(68, 33);
    }
    for (;;) {
        const Text key = sh.scr.readKey();
        sh.colour = sh.prog.defaultColour;
        if (IsKey(key, U'1')) {
            FlushKeys(sh);
            return {Next::Problem, sh.currentProblem};
        }
        if (IsKey(key, U'2')) {
            if (last) {
                sh.startNumberText.assign(1,
                                          U'1');  // assign(): "= U\"1\"" trips a false -Wrestrict in GCC 12
                return {Next::NewRound, 0};
            }
            FlushKeys(sh);
            return {Next::Problem, sh.currentProblem + 1};
        }
        if (last && IsKey(key, U'3')) return {Next::Contents, 0};
    }
}

// Hands a finished problem to the store, when there is one. Nothing here may stop the pupil.
void RecordProblem(Shell& sh, const char* outcome, const std::vector<std::string>& answers, int hints) {
    if (!sh.recorder) return;
    ProblemRecord r;
    for (const char32_t c : sh.prog.title)
        r.program += static_cast<char>(c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c < 0x80 ? c : U'_');
    r.entry = sh.currentProblem;
    r.clock = rt::toUtf8(sh.seedClock);
    r.sequence = sh.sinceSeed;
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(sh.problemStarted);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &utc);
    r.started = when;
    r.seconds = std::chrono::duration<double>(now - sh.problemStarted).count();
    r.answers = answers;
    r.outcome = outcome;
    r.hints = hints;
    r.viewing = sh.viewMode;
    sh.recorder->record(r);
}

}  // namespace

void RunLessons(Shell& sh) {
    Next next{Next::Contents, 0};
    for (;;) {
        switch (next.kind) {
            case Next::Contents:
                next = ContentsMenu(sh);
                break;
            case Next::View:
                next = ViewProblems(sh);
                break;
            case Next::AskStart:
                next = AskStartNumber(sh);
                break;
            case Next::NewRound:
                next = StartPracticeRound(sh);
                break;
            case Next::Problem:
                PresentEntry(sh, next.entry);
                next = RunPractice(sh);
                break;
        }
    }
}

Next ContentsMenu(Shell& sh) {
    rt::Screen& scr = sh.scr;
    scr.clearScreen();
    const auto n = static_cast<float>(sh.title.size());
    const ContentsScreen& screen = sh.prog.contents;
    scr.fillBox(240, screen.frameTop, 256 + 32 * n + 16, screen.frameBottom, 15, 10);
    scr.drawScaledText(256, 90, sh.title, 2, 2, 13);
    const Text c = TrimBlanks(NumberText(static_cast<float>(sh.problemCount)));
    DrawText(sh, 320, screen.practiseY, 15, U"★ 練習" + c + screen.practiseRest);
    DrawText(sh, 320, screen.viewY, 15, U"★ 練習" + c + screen.viewRest);
    DrawText(sh, 320, screen.endY, 15, screen.endLine);
    DrawText(sh, 288, 432, 13, U"実行途中で元に戻りたいときは、マウスで×をクリックする");
    for (;;) {
        const Text key = scr.readKey();
        if (IsKey(key, U'1')) return {Next::AskStart, 0};
        if (IsKey(key, U'2')) return {Next::View, 0};
        if (IsKey(key, U'3')) scr.endProgram();
    }
}

Next ViewProblems(Shell& sh) {
    sh.viewMode = true;
    sh.nextToView = 1;
    sh.scr.clearScreen();
    sh.scr.drawScaledText(100, 80, U"問題を見る", 2, 2, 15);
    // One flush between two waits for a key: the pause ends with one and Present reads no
    // keys, so the driver and this loop do not flush again. A second flush would change
    // nothing for a pupil, but in a key script it would eat the key the first made pending.
    FlushKeys(sh);
    for (;;) {
        if (sh.nextToView > sh.problemCount) {
            sh.viewMode = false;
            return {Next::Contents, 0};
        }
        PresentEntry(sh, sh.nextToView);
        // In view mode the driver only pauses and moves on to the next problem; it asks for no answer.
        RunPractice(sh);
    }
}

void ViewPause(Shell& sh) {
    rt::Screen& scr = sh.scr;
    const float x = sh.anchor.x, y = sh.anchor.y;
    scr.fillBox(x - 8, y - 9, x + 120, y + 27, 8);
    scr.drawBox(x - 8, y - 9, x + 120, y + 27, 3);
    scr.drawScaledText(16, 9, sh.title, 2, 2, 13);
    scr.drawScaledText(x, y, U"Enterキーを押す", 1, 1, 13);
    WaitForKey(sh, U'\r');
    FlushKeys(sh);
}

Next AskStartNumber(Shell& sh) {
    rt::Screen& scr = sh.scr;
    scr.fillBox(1, 252, sh.prog.layout.promptBandRight, 612, 0);
    for (;;) {
        scr.drawScaledText(288, 270, U"何番から始めますか　番号を入力し、Enter キーを押してください。", 1, 1,
                           13);
        sh.startNumberText = InputNumber(sh, 320, 306);
        const float v = TypedValue(sh.startNumberText);
        if (v >= 1 && v <= static_cast<float>(sh.problemCount)) break;
    }

    scr.clearScreen();
    scr.drawScaledText(0, 9, sh.title, 1, 1, 5);
    sh.prog.DrawKeyHelp(sh);

    SeedFromClock(sh);
    return {Next::NewRound, 0};
}

Next StartPracticeRound(Shell& sh) {
    ++sh.round;
    DrawProgressTable(sh, kTableColumn, kTableRow, sh.problemCount);
    for (int i = 1; i <= sh.problemCount; ++i) sh.completed[static_cast<size_t>(i)] = 0;
    FlushKeys(sh);
    // A start number with a fraction part selects the entry of its whole part; the prompt
    // has already kept the value within 1 and the problem count.
    const int entry = static_cast<int>(std::floor(TypedValue(sh.startNumberText)));
    return {Next::Problem, entry < 1 ? 1 : entry > sh.problemCount ? sh.problemCount : entry};
}

void DrawStandardKeyHelp(Shell& sh) {
    sh.scr.fillBox(640, 0, 1328, 48.6f, 11, 4);
    // The key help runs on from piece to piece; the root signs sit a little lower.
    DrawText(sh, 656, 0, 13, U"分数→F1, △→F2, ");
    DrawText(sh, sh.pen.x, 6, 13, U"√");
    DrawText(sh, sh.pen.x, 0, 13, U" →F3, ±→F4, ≦≧→F5,F6, π→F7");
    DrawText(sh, 656, 23.4f, 13, U"度°→F8,∠→F9,≡→F10,∽→F11, 大");
    DrawText(sh, sh.pen.x, 25.6f, 13, U"√");
    DrawText(sh, sh.pen.x, 21.6f, 13, U"→F12,２乗→ﾍ2,3乗→ﾍ3");
}

void DrawProgressTable(Shell& sh, int c0, int r0, int n) {
    if (n < 3 || n > 29) return;
    rt::Screen& scr = sh.scr;
    const float x0 = 8.0f * c0, x1 = 8.0f * (c0 + 2 * n), y0 = 16.0f * r0;
    // Down to the bottom of the repeat counts under the marks, so no digit of the last round stays.
    scr.fillBox(x0 - 20, y0, x1, y0 + 54, 0);
    scr.drawBox(x0, y0, x1, y0 + 32, 1);
    scr.drawLine(x0, y0 + 18, x1, y0 + 18, 1);
    scr.locateText(c0 - 3, r0);
    scr.printNumber2(static_cast<float>(sh.round));
    scr.drawScaledText(x0 - 20, y0 + 18, U"回", 1, 1, 11);
    for (int k = 1; k < n; ++k) {
        const float x = 8.0f * (c0 + 2 * k);
        scr.drawLine(x, y0, x, y0 + 32, 1);
    }
    for (int k = 1; k <= n; ++k) {
        const float x = x0 + kCellWidth * (k - 1) + (k < 10 ? 4 : -1);
        scr.drawScaledText(x, y0, Num(static_cast<float>(k)), 0, 0, 11);
    }
}

void PresentEntry(Shell& sh, int e) {
    sh.scr.trace("Present", {{"entry", e}});
    sh.currentProblem = e;
    sh.attempts = 0;
    ++sh.sinceSeed;
    // The wall clock is read only for a store, so that runs without one stay repeatable.
    if (sh.recorder) sh.problemStarted = std::chrono::system_clock::now();
    if (const Entry* entry = sh.prog.FindEntry(e); entry && entry->Present) {
        entry->Present(sh);
        return;
    }
    PresentPlaceholder(sh, e);
    sh.ans = AnswerSettings{};
}

Next RunPractice(Shell& sh) {
    sh.colour = 7;
    if (sh.viewMode) {
        try {
            ViewPause(sh);
        } catch (const rt::ProgramEnd&) {
            RecordProblem(sh, "left", {}, 0);
            throw;
        }
        RecordProblem(sh, "viewed", {}, 0);
        ++sh.nextToView;
        return {Next::View, 0};
    }

    bool shown[4] = {};  // hint steps already on the screen
    bool firstAnswer = true;
    std::vector<std::string> answers;
    auto show = [&](int step) {
        CallHint(sh, step);
        shown[step] = true;
    };
    auto hintsSeen = [&] { return int{shown[1]} + int{shown[2]} + int{shown[3]}; };

    // Closing the window mid-problem still hands the problem to the store, as left.
    try {
        for (;;) {
            const Layout& layout = sh.prog.layout;
            sh.scr.fillBox(sh.anchor.x, sh.anchor.y - layout.attemptBandAbove, layout.attemptBandRight,
                           sh.anchor.y + 27, 0);
            ++sh.attempts;
            if (AnswerInput(sh) == EditEnd::LineFull) {
                // The answer ran off the line: the attempt counts, with no mark and no hint.
                sh.colour = 7;
                continue;
            }
            answers.push_back(rt::toUtf8(sh.lastAnswer));
            DrawResultMark(sh, sh.lastResult);
            // The table records the first answer of a problem not yet completed in this round.
            // An attempt abandoned on a full line gave no answer, so the first checked one counts.
            if (firstAnswer && sh.completed.at(static_cast<size_t>(sh.currentProblem)) == 0) {
                MarkProgressCell(sh, sh.currentProblem, sh.lastResult);
                sh.completions = 0;
            }
            firstAnswer = false;

            const bool right = sh.lastResult == Result::Right;
            if (sh.attempts > 3) {
                // Abandoned attempts pushed the count past the table: this one ends the problem,
                // with every step of the solution that is not on the screen yet.
                for (int step = 1; step <= 3; ++step)
                    if (!shown[step]) show(step);
                break;
            }
            if (right || sh.attempts == 3) {
                for (int step = right ? sh.attempts : 3; step <= 3; ++step) show(step);
                break;
            }
            show(sh.attempts);
            PressSpacePrompt(sh);
        }
    } catch (const rt::ProgramEnd&) {
        RecordProblem(sh, "left", answers, hintsSeen());
        throw;
    }
    if (sh.lastResult == Result::Right) {
        const std::string outcome = "right" + std::to_string(sh.attempts < 3 ? sh.attempts : 3);
        RecordProblem(sh, outcome.c_str(), answers, hintsSeen());
    } else {
        RecordProblem(sh, "solution", answers, hintsSeen());
    }

    ++sh.completions;
    ShowRepeatCount(sh, sh.currentProblem, sh.completions);
    sh.completed.at(static_cast<size_t>(sh.currentProblem)) = 1;
    return EndOfProblemMenu(sh);
}

void DrawResultMark(Shell& sh, Result result) {
    const float cx = sh.anchor.x + 24, cy = sh.anchor.y + 8;
    if (result == Result::Right) {
        sh.scr.drawCircle(cx, cy, 22, 5);
    } else {
        sh.scr.drawLine(cx - 16, cy - 18, cx + 16, cy + 18, 5);
        sh.scr.drawLine(cx + 16, cy - 18, cx - 16, cy + 18, 5);
    }
}

void MarkProgressCell(Shell& sh, int entry, Result result) {
    const Text mark = sh.scr.jisChar(result == Result::Right ? 8571 : 8543);
    sh.scr.drawScaledText(kTableX + kCellWidth * (entry - 1), kTableY + 18, mark, 0, 0, 11);
}

void ShowRepeatCount(Shell& sh, int entry, int& count) {
    if (count >= 10) count = 9;
    const float x = kTableX + kCellWidth * (entry - 1) + 4, y = kTableY + 38;
    sh.scr.fillBox(x, y, x + 7, y + 15, 0);
    sh.scr.drawScaledText(x, y, Num(static_cast<float>(count)), 0, 0, 11);
}

void PressSpacePrompt(Shell& sh) {
    rt::Screen& scr = sh.scr;
    const float x = sh.anchor.x + 88, y = sh.anchor.y + 45;
    scr.fillBox(x, y, x + 168, y + 27, 13, 2);
    scr.drawScaledText(x, y + 9, U"スペース　キーを押す", 1, 1, 13);
    WaitForKey(sh, U' ');
    scr.fillBox(x, y, x + 168, y + 27, 0);
    scr.locateText(64, 23);
    scr.printText(Text(20, U' '));
    scr.locateText(50, 22);
    scr.printText(Text(27, U' '));
    FlushKeys(sh);
}

}  // namespace shell
