// The frame of an equation problem, shared by the drills whose entries draw an equation with
// numbered plate and typed answer: the plate over a cleared work area, the instruction and the
// problem line, the one-part answer and the note on typing it, and the small number list that
// fraction problems pick their denominators from.
#pragma once

#include <initializer_list>

#include "shell/shell.h"

namespace shell {

// Opens a new problem of the current entry: cleared work area, its numbered plate with the
// title box from x 48 to `right` and down to `bottom`, no answer parts left from the last problem.
void OpenEquationProblem(Shell& sh, float right, float bottom);

// One answer part with blank labels. The answer, markup removed, is the one text the check
// accepts: the second and third accepted texts stay empty, and an empty answer line never
// reaches the check. Returns the accepted text.
Text AcceptSingleAnswer(Shell& sh, const Text& answer);

// Finishes drawing an equation problem: the instruction, the problem line at `line`, the
// accepted answer "x=" + answer, the note on how to type it, no attempts yet. Returns the
// accepted answer.
Text CloseEquationProblem(Shell& sh, Point line, const Text& problemLine, const Text& answer, int noteColour);

// Column table cells 31 to 34 and rows 1 up (row k is row table cell 30 + k): where the
// problem line and the lines of the worked solution go.
void SetColumns(Shell& sh, float c1, float c2, float c3, float c4);
void SetRows(Shell& sh, std::initializer_list<float> rows);
float Row(const Shell& sh, int k);

// Cells 1 up of the column table as a list of small numbers.
void SetNumberList(Shell& sh, std::initializer_list<float> numbers);
// Takes the cell at a position drawn from `from` to `to`; with `remove`, the cells after it up
// to `to` move one place down, so that later picks from a lower range cannot repeat it.
int PickNumber(Shell& sh, int from, int to, bool remove);

}  // namespace shell
