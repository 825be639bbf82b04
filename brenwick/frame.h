// What every Brenwick word problem shares: the opening and closing of Present, the texts of
// the numbers, the method panel, the lines of the guidance and the closing lines of the
// solution.
#pragma once

#include <initializer_list>

#include "shell/shell.h"

namespace brenwick {

using rt::Text;
using shell::Shell;

// Problem texts, the equations of the guidance and the fraction line of the solution.
inline constexpr int kLineColour = 15;
// Headings and the sentence that names the unknown.
inline constexpr int kHeadingColour = 13;

// The signed texts of T[k] and F[k], k = 1 to 20, are kept in text cells 20 + k.
inline constexpr int kSignedTexts = 20;
// The answer text is kept in this solution cell.
inline constexpr int kAnswerCell = 1;

// The texts of the problem's numbers, as the guidance writes them.
struct NumberTexts {
    const shell::Tables& tab;
    const Text& T(int k) const { return tab.Ttext[k]; }
    const Text& F(int k) const { return tab.Ftext[k]; }
    // "+" before a positive value; a T of 1 or -1 is cut to its sign, as a coefficient of X.
    const Text& sT(int k) const { return tab.Ttext[kSignedTexts + k]; }
    const Text& sF(int k) const { return tab.Ftext[kSignedTexts + k]; }
    // The expected answer.
    const Text& A() const { return tab.solution[kAnswerCell]; }
};

struct Line {
    float x, y;
    int colour;
    Text text;
};

// Opens a new problem of the current entry: cleared work area, its numbered plate and a frame
// to `right` and `bottom`, no answer labels or parts left from the last problem.
void OpenProblem(Shell& sh, float right, float bottom);

// A whole number drawn by `draw` again while it equals the key of the problem shown last.
template <class Draw>
int FreshKey(Shell& sh, Draw draw) {
    int key = draw();
    while (static_cast<float>(key) == sh.repeatGuard) key = draw();
    return key;
}

// The texts of T and F (indices 1 to 40), their signed texts and the answer text.
void FormatTexts(Shell& sh, float answer);

// The problem text, one line at each of y 72, 99 and 126.
void DrawProblemText(Shell& sh, std::initializer_list<Text> lines);

// The method of solving word problems, at the right of the screen.
void DrawMethodPanel(Shell& sh);

void DrawLines(Shell& sh, std::initializer_list<Line> lines);

// Answer settings: one part, label 0 before the answer, the unit after it, the answer text as
// the one accepted answer. The key of the problem shown is kept, so that the next problem
// differs in it; no attempts yet.
void CloseProblem(Shell& sh, const Text& label0, const Text& unit, int key);

// Where the three closing lines of a solution go.
struct ClosingPlaces {
    rt::Point fraction, value, sentence;
};

// "X=" numerator / denominator as a fraction, "X=" the answer, and the answer sentence.
void DrawClosingLines(Shell& sh, const ClosingPlaces& at, const Text& numerator, const Text& denominator,
                      const Text& sentence);

// The reduced form of the right-hand side R and the coefficient C of C·X = R: both positive,
// divided by their greatest common divisor; `sign` is the sign of R·C. R = 0 stays as given.
struct Reduced {
    float right, coefficient;
    float sign = 1;
};
Reduced ReduceQuotient(float right, float coefficient);

}  // namespace brenwick
