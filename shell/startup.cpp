#include "shell/startup.h"

#include <csignal>
#include <cstdio>
#include <exception>

#include "shell/keys.h"
#include "shell/practice.h"
#include "shell/worksheet.h"

namespace shell {

int ClockSeed(const Text& t) {
    auto two = [&](size_t at) { return static_cast<int>((t.at(at) - U'0') * 10 + (t.at(at + 1) - U'0')); };
    return two(0) + two(3) + two(6);
}

void SeedFromClock(Shell& sh) {
    const Text t = sh.scr.timeOfDay();
    sh.scr.seedRandom(static_cast<float>(ClockSeed(t)));
    // A recorded problem names the clock that seeded its round and its place after it.
    sh.seedClock = t;
    sh.sinceSeed = 0;
}

void StartUp(Shell& sh) {
    // Runtime errors are routed to the error screen by RunProgram, around everything below.
    FlushKeys(sh);
    sh.scr.setPixelMapping();
    sh.scr.maximiseWindow();
    sh.scr.setBackground(0);
    sh.scr.clearScreen();
    SeedFromClock(sh);
    for (int n = 1; n <= 12; ++n) sh.scr.setFunctionKey(n, sh.prog.functionKeys[static_cast<size_t>(n - 1)]);
    ResetLessonState(sh);
}

void ResetLessonState(Shell& sh) {
    sh.colour = sh.prog.defaultColour;
    sh.anchor = sh.prog.layout.answerAnchor;
    sh.title = sh.prog.title;
    sh.problemCount = sh.prog.problemCount;
    // Every table starts empty: 0 and "".
    sh.completed.assign(static_cast<size_t>(sh.problemCount) + 1, 0);
    sh.tab = Tables{};
    sh.ans = AnswerSettings{};
}

void ShowErrorScreen(Shell& sh, const std::string& message) {
    std::fprintf(stderr, "%s: error: %s\n", rt::toUtf8(sh.prog.title).c_str(), message.c_str());
    sh.scr.clearScreen();
    sh.scr.drawScaledText(288, 432, U"エラーが発生しました。マウスで×をクリックして下さい。", 1, 1, 13);
    sh.scr.waitForClose(70);
}

int RunProgram(const Program& program, rt::Options options, Recorder* recorder) {
    // A trace, screenshot or sheet that reaches the file size limit must fail its write (and end
    // with 74), not kill the run.
    std::signal(SIGXFSZ, SIG_IGN);
#ifndef __EMSCRIPTEN__
    // A page has no file to write a sheet to, and is never asked for one.
    if (!options.worksheetFile.empty()) return WriteWorksheet(program, options);
#endif
    std::unique_ptr<rt::Screen> screen;
    try {
        screen = std::make_unique<rt::Screen>(options);
    } catch (const rt::StartupError& e) {
        std::fprintf(stderr, "%s: %s\n", options.programName.c_str(), e.what());
        return 2;
    }
    Shell sh(*screen, program);
    sh.recorder = recorder;
    // A finished problem is safe before the pupil is kept waiting.
    if (recorder) screen->beforeSleep([recorder] { recorder->settle(); });
    int status = 0;
    try {
        try {
            StartUp(sh);
            RunLessons(sh);
        } catch (const std::exception& e) {
            ShowErrorScreen(sh, e.what());
        }
    } catch (const rt::ProgramEnd& end) {
        status = end.status;
    } catch (const std::exception& e) {
        // The error screen itself failed: the message has been written; end as a failure.
        std::fprintf(stderr, "%s: error: %s\n", options.programName.c_str(), e.what());
        status = 70;
    }
    try {
        screen->finish();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", options.programName.c_str(), e.what());
        if (status == 0) status = 74;  // the screenshot asked for was not written
    }
    return status;
}

int Main(const Program& program, int argc, const char* const* argv) {
    const std::string name = rt::toUtf8(program.title);
    try {
        return RunProgram(program, rt::parseCommandLine(argc, argv, name, program.canvasWidth));
    } catch (const rt::StartupError& e) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), e.what());
        return 2;
    } catch (const rt::ProgramEnd& end) {
        return end.status;
    }
}

}  // namespace shell
