// Printable sheets: fresh problems drawn by the entries exactly as on screen, then an answer
// key with their worked solutions, each labelled with the clock that brings it back on screen.
#pragma once

#include <vector>

#include "runtime/drawing.h"
#include "shell/shell.h"

namespace shell {

// The problem numbers of a list such as "1-4,9" (blanks ignored), in its order, each once;
// empty means all. Throws rt::StartupError when a part is malformed or out of 1..problemCount.
std::vector<int> ParseProblemList(const Text& list, int problemCount);

// The seconds since midnight of a clock "HH:MM:SS".
int ClockSeconds(const Text& clock);
// The clock `seconds` after "HH:MM:SS", round midnight.
Text ClockAfter(const Text& clock, int seconds);

struct SheetProblem {
    int number = 0;
    Text clock;  // practising from `number` at this clock brings the problem up first
    std::vector<rt::DrawOp> problem, solution;
    AnswerSettings ans;
};

// Draws one problem as the first of a practice round started from `number` at `clock`, then its
// three hint steps as after three wrong answers.
SheetProblem DrawSheetProblem(rt::Screen& screen, const Program& program, int number, const Text& clock);

// `count` problems of each number, with clocks from `start` on; problems of one number differ
// wherever the number can make that many different ones.
std::vector<SheetProblem> ChooseSheetProblems(rt::Screen& screen, const Program& program,
                                              const std::vector<int>& numbers, int count, const Text& start);

// The whole --worksheet run; returns the exit status.
int WriteWorksheet(const Program& program, const rt::Options& options);

}  // namespace shell
