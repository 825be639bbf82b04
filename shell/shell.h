// The lesson shell's state: one object, created at start-up and passed by reference to every
// routine and problem entry.
#pragma once

#include <array>
#include <chrono>
#include <vector>

#include "runtime/screen.h"
#include "shell/program.h"
#include "shell/record.h"

namespace shell {

using rt::Point;
using rt::Text;

// Settings of DrawFramedText, kept between calls.
struct FrameBox {
    float width = 0;      // a minimum, widened to fit the text and written back
    float height = 0;     // raised to a minimum and written back
    int border = 15;      // outline colour
    int fill = 0;         // interior colour
    bool marker = false;  // draw a marker disc at the left end of the next box only
};

// What a problem entry prepares for the answer editor.
struct AnswerSettings {
    int partCount = 1;
    std::array<Text, 7> labels{};                        // labels 0..6 around the answer line
    std::array<std::array<Text, 2>, 6> expectedParts{};  // accepted part texts 1..5, two forms each
    std::array<Text, 6> typedParts{};                    // typed part texts 1..5
    // The three accepted answer texts; the check compares the typed answer with each.
    Text accepted, accepted2, accepted3;
};

// The number and text tables that a problem entry fills and its hint steps read.
struct Tables {
    // The problem's numbers: in the equation drills T holds x coefficients and F constants.
    std::array<float, 41> T{}, F{};
    std::array<float, 41> rowY{};      // cells 31..38: y of text rows; 1, 2: figure corners or a kept pen y
    std::array<float, 41> columnX{};   // cells 31..34: x of text columns; 1..9: a number list or corners
    std::array<float, 21> A2{}, B2{};  // further number lists
    std::array<Text, 41> Ttext{}, Ftext{};    // blank-free texts of T and F
    std::array<Text, 21> A2text{}, B2text{};  // blank-free texts of A2 and B2
    std::array<Text, 21> solution{};          // answer and chain texts of the worked solution
    std::array<std::array<float, 3>, 11> graphPoints{};
};

enum class RootState {
    None,
    ShortStarting,  // a root sign was just typed: its overline starts over the next cell
    Short,          // inside a root: each character gets an overline
    TallStarting,   // a tall root over a fraction was just started
    Tall,           // inside a tall root
};

enum class Result { Wrong = 1, Right = 2 };

struct Shell {
    Shell(rt::Screen& screen, const Program& program);

    rt::Screen& scr;
    const Program& prog;

    Text title;
    int problemCount = 0;
    std::vector<int> completed;  // 1..problemCount: completed in this round
    int currentProblem = 0;
    int attempts = 0;      // at the current problem
    int completions = 0;   // of the current problem: the count under its progress mark
    int round = 0;         // practice rounds started
    Text startNumberText;  // the start number as typed
    int nextToView = 0;    // the next problem in view mode
    bool viewMode = false;
    Result lastResult = Result::Wrong;

    // Drawing state shared by the text routines, the editor and the entries.
    int colour = 4;
    Point pen{};          // where DrawText draws next
    float charsEndX = 0;  // the pen x where DrawChars ended
    RootState rootState = RootState::None;
    bool escapeNext = false;  // the next character is drawn as typed, marks included

    Point anchor{};  // where the answer line starts

    FrameBox box;
    AnswerSettings ans;
    Tables tab;

    // Kept from one problem to the next, so that a new problem differs from the one before: a
    // value the next problem must not repeat, and the key number of the last problem shown.
    float remembered = 0;
    float repeatGuard = 0;

    // Where finished problems are kept across sessions; none keeps nothing. The rest is what
    // the driver gathers about the problem in progress for it.
    Recorder* recorder = nullptr;
    Text seedClock;     // the time of day of the last seed
    int sinceSeed = 0;  // problems presented since then
    Text lastAnswer;    // the answer of the last checked attempt, as checked
    std::chrono::system_clock::time_point problemStarted{};
};

// A whole number from a to b, drawn as a + INT(n * randomUnit) with n = b - a + 1.
inline int RandomInt(Shell& sh, int a, int b) {
    return a + static_cast<int>((b - a + 1) * sh.scr.randomUnit());
}

// Saves the pen and colour and puts them back when it goes out of scope, for drawing that
// must not disturb the caller's pen.
class PenSaver {
public:
    explicit PenSaver(Shell& sh) : sh_(sh), pen_(sh.pen), colour_(sh.colour) {}
    ~PenSaver() {
        sh_.pen = pen_;
        sh_.colour = colour_;
    }
    PenSaver(const PenSaver&) = delete;
    PenSaver& operator=(const PenSaver&) = delete;

private:
    Shell& sh_;
    Point pen_;
    int colour_;
};

}  // namespace shell
