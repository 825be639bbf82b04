// What every Morvane problem entry shares: the opening of Present with the entry's plate, the
// signed number texts of the substitution problems, the two panels and the closing of a choice
// problem. Equation problems close with the shell's equation frame (shell/equation.h).
#pragma once

#include "shell/equation.h"
#include "shell/shell.h"

namespace morvane {

using rt::Text;
using shell::Shell;

inline constexpr int kQuestionColour = 15;  // the question, the problem line and worked equations
inline constexpr int kTitleColour = 13;     // what a worked step does, and the closing line
inline constexpr int kNoteColour = 11;
inline constexpr int kAnswerColour = 5;  // the right choice in the closing line

// A whole number from a to b, drawn by the shell, as a table value.
inline float Draw(Shell& sh, int a, int b) { return static_cast<float>(shell::RandomInt(sh, a, b)); }

// Opens a new problem of the current entry. The title box of an equation problem reaches x 448
// and y 99; the questions of the substitution problems take two lines and reach further.
void OpenProblem(Shell& sh, float right = 448, float bottom = 99);

// The blank-free texts of the tables with their signed forms: for j = 1 to 20, coefficient
// text 20 + j is that of T(j) with "+" before a positive value, and constant text 20 + j that
// of F(j) likewise. With `unitCoefficients` a coefficient of size 1 is written as before x: its
// signed text is the sign alone and its plain text "" or "-". Plain texts of 0 become empty.
void FormatSignedTexts(Shell& sh, bool unitCoefficients);
// The signed text of coefficient j.
const Text& Signed(const Shell& sh, int j);

// Beside the question of the substitution problems: what an equation and its solution are.
void TermsPanel(Shell& sh);
// Hint step 1 of the one-step equations: the properties of equality.
void PropertiesOfEqualityPanel(Shell& sh);

// A choice problem accepts the digit of the right choice alone; it has no note, for no "x=" is
// typed. No attempts yet.
void CloseChoiceProblem(Shell& sh, const Text& digit);

}  // namespace morvane
