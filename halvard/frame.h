// What every Halvard problem entry shares: the opening and closing of Present, the text rules
// applied to the number tables, the drawing convention of the worked solution, the
// fundamentals panel, the spread rule and the small number list of the fraction entries.
//
// Terms: an equation uses terms L to L + 3 (L = 1 for odd entries, 11 for even ones): L the
// left side, L + 1 the right side, L + 2 the moved terms, L + 3 the collected result, so that
// the equation reads T(L + 3) x = F(L + 3) once collected.
#pragma once

#include <array>
#include <utility>

#include "shell/equation.h"
#include "shell/shell.h"

namespace halvard {

using rt::Text;
using shell::Shell;

// Where the lines of a worked solution in column x 64 go: equations one cell in, comments
// three cells in.
inline constexpr float kEquationX = 80;
inline constexpr float kCommentX = 112;

inline constexpr int kEquationColour = 15;
inline constexpr int kCommentColour = 11;
inline constexpr int kClosingColour = 13;

// The term numbers of one equation.
struct Terms {
    int L;                           // left side
    int R() const { return L + 1; }  // right side
    int M() const { return L + 2; }  // moved terms
    int C() const { return L + 3; }  // collected result
};

// The solution cell of the chain text (the answer text is the next cell): 1 for odd entries, 3 for even.
constexpr int ChainCell(const Terms& t) { return t.L == 1 ? 1 : 3; }

// Opens a new problem of the current entry: cleared work area, its numbered plate, no answer
// parts left from the last problem.
void OpenProblem(Shell& sh);

// The blank-free texts of the tables, then the rules shared by all entries. Entries that must
// adjust the number texts before the rules (the decimals) call the two halves themselves.
void FormatTexts(Shell& sh);
void CommonTextRules(Shell& sh);

// Column table cells 31 to 34 and rows 1 up: shell::SetColumns, SetRows and Row.
using shell::Row;
using shell::SetColumns;
using shell::SetRows;

// Finishes drawing a problem: the instruction, the problem line at row 1 (odd entries in
// column 1, even ones in column 3), the accepted answer "x=" + answer (markup removed), the
// note on how to type it, no attempts yet. Returns the accepted answer.
Text CloseProblem(Shell& sh, const Text& problemLine, const Text& answer, int noteColour = kCommentColour);

// The chain and answer texts of F(C) / T(C) into solution cells `chain` and `chain` + 1.
void SolveCollected(Shell& sh, const Terms& t, int chain);

// Moves the right-hand x term to the left and the left constant to the right, and collects:
// T(M) = -T(R), F(M) = -F(L), T(C) = T(L) - T(R), F(C) = F(R) - F(L).
void MoveAndCollect(Shell& sh, const Terms& t);

// Text rules the hint steps apply in place: they stay applied for the later steps.
void StripPlusIn(Text& text);
void PlusIfPositive(Shell& sh, int term);  // "+" before the x-term text of a positive term

// The lines of a worked solution.
void Equation(Shell& sh, float x, int row, const Text& text);
void Comment(Shell& sh, float x, int row, const Text& text);
// x-term L + x-term M = constant R + constant M, after "+" on x-term M and none on constant R.
void MovingEquation(Shell& sh, const Terms& t, float x, int row);
// x-term C = constant C, the constant without "+".
void CollectedEquation(Shell& sh, const Terms& t, float x, int row);
// "両辺を " + coefficient C + " でわって".
void DivideComment(Shell& sh, const Terms& t, float x, int row);
// "x=" + the chain text, in the closing colour.
void ClosingLine(Shell& sh, float x, int row, int chain);

// Hint step 1 of every entry: the fundamentals of solving an equation. The decimal and fraction
// entries show the panel with the rule on such coefficients, which moves the other lines up.
void FundamentalsPanel(Shell& sh);
void FundamentalsPanelWithDecimalRule(Shell& sh);

// Two coefficients a, d drawn from lo to hi, then spread once: a is raised by 2 when a - d is
// 0 or 1, else d is raised by 2 when d - a is 1. Afterwards they differ by at least 2.
std::pair<int, int> SpreadPair(Shell& sh, int lo, int hi);

// Cells 1 to 6 of the column table as the list 1, 2, 3, 5, 7, 11.
void ResetNumberList(Shell& sh);
// Picks from that list: shell::PickNumber.
using shell::PickNumber;

}  // namespace halvard
