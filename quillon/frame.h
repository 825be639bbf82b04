// What every Quillon problem entry shares: the opening and closing of Present, the rows and
// columns of the worked solution, the small number list the proportions draw from, and the
// ratio-value rule that several entries show.
#pragma once

#include <initializer_list>

#include "shell/equation.h"
#include "shell/shell.h"

namespace quillon {

using rt::Text;
using shell::Shell;

inline constexpr int kProblemColour = 15;
inline constexpr int kCommentColour = 11;
inline constexpr int kResultColour = 13;

// The note above the answer prompt of the proportions, which are answered as "x=...".
inline constexpr const char32_t* kTypeXNote = U"x= も入力、+はつけない";

// Opens a new problem of the current entry: cleared work area, its numbered plate with the
// title box from x 48 to `plateRight` and down to `plateBottom`, no answer parts left from
// the last problem.
void OpenProblem(Shell& sh, float plateRight, float plateBottom);

// The labels around the answer line: the rectangle problems keep wider blanks before it.
enum class AnswerLabels { Rectangle, Plain };

// Finishes a problem: the one accepted answer (markup removed), the note above the answer
// prompt, no attempts yet. Returns the accepted answer.
Text CloseProblem(Shell& sh, const Text& answer, AnswerLabels labels, const Text& note, int noteColour);

// Columns and rows of the worked solution and the number list, as every equation drill keeps them.
using shell::PickNumber;
using shell::Row;
using shell::SetColumns;
using shell::SetRows;

// Draws a line of the worked solution; `Continue` goes on from where the last line ended.
void Line(Shell& sh, float x, float y, int colour, const Text& text);
void Continue(Shell& sh, int colour, const Text& text);

// "a:b の比の値は ﾀa/bﾀ で、" followed by "a:b=ﾀa/bﾀ" at (112, y).
void RatioValueRuleAt(Shell& sh, float y);
// "約分できるときは約分する。" at (112, y).
void ReduceNoteAt(Shell& sh, float y);

// Cells 1 to n of the column table as the list 1, 2, ..., n, for PickNumber.
void ResetNumberList(Shell& sh, int n);

}  // namespace quillon
