// What a program run is told on its command line. The same options serve all four programs.
#pragma once

#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>

namespace rt {

// Looked up through fontconfig when no --font is given.
inline constexpr const char* kDefaultFamily = "IPAGothic";

struct Options {
    std::string programName;  // the window title, from the program that runs
    int canvasWidth = 1440;
    int canvasHeight = 900;
    bool headless = false;
    std::optional<std::string> keys;      // key script (see KeyScript)
    std::optional<std::string> clock;     // "HH:MM:SS" answered by timeOfDay
    std::string traceFile;                // JSON Lines, empty for none
    std::ostream* traceStream = nullptr;  // tests trace into memory instead of a file
    std::string screenshotFile;           // PNG of the canvas when the program ends
    std::string fontFile;                 // empty: the default font (see findDefaultFont)

    // A printed sheet instead of a session: the PDF to write, which problem numbers ("1-4,9",
    // empty for all) and how many problems of each. The clock is then the first problem's.
    std::string worksheetFile;
    std::string worksheetProblems;
    int worksheetCount = 2;
    // Where finished problems are kept: a SQLite file or a postgresql:// address. Unset: the
    // desktop default, or nothing in a headless run.
    std::optional<std::string> results;
    bool noResults = false;
    std::string pupil;  // empty: the login name
};

// A problem the user can fix (bad option, unreadable font, no display): one line, exit 2.
struct StartupError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Parses argv. --help and --version print to stdout and throw ProgramEnd{0}; anything
// malformed throws StartupError.
Options parseCommandLine(int argc, const char* const* argv, const std::string& programName, int canvasWidth);

// A web page's parsing, which is parseCommandLine there: a page's address can give it only
// --clock HH:MM:SS (or --clock=HH:MM:SS), checked as on the desktop; anything else, a missing
// time or a second --clock throws StartupError.
Options parsePageCommandLine(int argc, const char* const* argv, const std::string& programName, int canvasWidth);

}  // namespace rt
