#include "runtime/options.h"

#include <string_view>

// A page is handed only what its address gives (--clock), so it parses that itself: the desktop's
// option library and the streams it brings would be most of a page's code for one option.
#ifndef __EMSCRIPTEN__
#include <utf8.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <ctime>
#include <fstream>
#include <iostream>

#include "runtime/keyscript.h"
#include "runtime/screen.h"
#endif

namespace rt {

namespace {
bool isClock(const std::string& s) {
    if (s.size() != 8 || s[2] != ':' || s[5] != ':') return false;
    for (int i : {0, 1, 3, 4, 6, 7})
        if (s[i] < '0' || s[i] > '9') return false;
    return std::stoi(s.substr(0, 2)) < 24 && std::stoi(s.substr(3, 2)) < 60 && std::stoi(s.substr(6, 2)) < 60;
}

void checkClock(const std::string& clock) {
    if (!isClock(clock)) throw StartupError("--clock wants HH:MM:SS (00:00:00 to 23:59:59), not " + clock);
}
}  // namespace

Options parsePageCommandLine(int argc, const char* const* argv, const std::string& programName, int canvasWidth) {
    Options o;
    o.programName = programName;
    o.canvasWidth = canvasWidth;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        std::string clock;
        if (arg == "--clock") {
            if (i + 1 == argc) throw StartupError("--clock needs a time of day, HH:MM:SS");
            clock = argv[++i];
        } else if (arg.substr(0, 8) == "--clock=") {
            clock = arg.substr(8);
        } else {
            throw StartupError("a page takes only --clock HH:MM:SS, not " + std::string(arg));
        }
        if (o.clock) throw StartupError("--clock is given more than once");
        checkClock(clock);
        o.clock = clock;
    }
    return o;
}

#ifdef __EMSCRIPTEN__
Options parseCommandLine(int argc, const char* const* argv, const std::string& programName, int canvasWidth) {
    return parsePageCommandLine(argc, argv, programName, canvasWidth);
}
#else
Options parseCommandLine(int argc, const char* const* argv, const std::string& programName, int canvasWidth) {
    Options o;
    o.programName = programName;
    o.canvasWidth = canvasWidth;

    std::string lower = programName;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    CLI::App app{programName + ": a maths drill for one pupil, one window, keyboard only.", lower};
    app.set_version_flag("--version", programName + " " DRILLS_VERSION);
    app.add_flag("--headless", o.headless, "Draw into memory only: no window, no display needed");
    std::string keys;
    app.add_option("--keys", keys,
                   "Type this key script: characters as themselves; {Enter} {BS} {Del} {Clear} {F1}..{F12} "
                   "{Close}, {{ for {. The run ends when it is used up");
    std::string clock;
    app.add_option("--clock", clock, "Answer the time of day with HH:MM:SS instead of the clock");
    app.add_option("--trace", o.traceFile, "Write every screen operation to FILE as JSON Lines");
    app.add_option("--screenshot", o.screenshotFile,
                   "Write a PNG of the canvas to FILE when the program ends");
    app.add_option("--font", o.fontFile,
                   "TrueType font for all text (default: IPAGothic, else an installed Japanese font, "
                   "as fontconfig finds them)");

    // Printed sheets.
    app.add_option("--worksheet", o.worksheetFile,
                   "Write a printable sheet of fresh problems with an answer key to FILE (PDF), then end");
    app.add_option("--problems", o.worksheetProblems,
                   "With --worksheet: the problem numbers, for example 1-4,9 (default: all)");
    app.add_option("--count", o.worksheetCount, "With --worksheet: problems of each number (default 2)")
        ->check(CLI::Range(1, 100));
    // Results kept across sessions.
    auto* results = app.add_option("--results", o.results,
                                   "Keep finished problems in this SQLite FILE or postgresql:// server "
                                   "(default: $DRILLS_RESULTS, else the desktop user's results file; "
                                   "headless runs keep nothing without it)");
    app.add_flag("--no-results", o.noResults, "Keep nothing")->excludes(results);
    app.add_option("--pupil", o.pupil, "Record problems under NAME instead of the login name");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        throw ProgramEnd{0};
    } catch (const CLI::CallForVersion&) {
        std::cout << app.version() << '\n';
        throw ProgramEnd{0};
    } catch (const CLI::ParseError& e) {
        throw StartupError(std::string(e.what()) + "; see --help");
    }

    if (app.count("--keys")) {
        // Typed by a person, so a broken byte is a mistake to name, not a character to guess.
        if (auto bad = utf8::find_invalid(keys.begin(), keys.end()); bad != keys.end())
            throw StartupError("--keys is not valid UTF-8 (byte " + std::to_string(bad - keys.begin() + 1) +
                               "); see --help");
        parseKeyScript(keys);  // a bad script is a usage error now, not a surprise later
        o.keys = keys;
    }
    if (app.count("--clock")) {
        checkClock(clock);
        o.clock = clock;
    }
    if (!o.worksheetFile.empty()) {
        o.headless = true;  // a sheet is drawn for paper, never in a window
        if (!o.clock) {
            // The sheet starts from the time of day; its labels name each problem's clock.
            std::time_t now = std::time(nullptr);
            std::tm local{};
            localtime_r(&now, &local);
            char buf[16];
            std::strftime(buf, sizeof buf, "%H:%M:%S", &local);
            o.clock = buf;
        }
    } else if (app.count("--problems") || app.count("--count")) {
        throw StartupError("--problems and --count go with --worksheet; see --help");
    }
    if (std::ifstream font(o.fontFile); !o.fontFile.empty() && !font)
        throw StartupError("cannot read the font " + o.fontFile +
                           "; install fonts-ipafont-gothic or name another with --font");
    return o;
}
#endif

}  // namespace rt
