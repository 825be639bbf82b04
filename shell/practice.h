// The contents menu, view mode, the practice screen and the practice driver. The shell owns
// the flow as a loop: every screen returns what comes next, so the stack never grows however
// long a pupil practises.
#pragma once

#include "shell/shell.h"

namespace shell {

// Where the flow goes next.
struct Next {
    enum Kind { Contents, View, AskStart, Problem, NewRound } kind = Contents;
    int entry = 0;  // for Problem
};

// Runs the contents screen and everything after it until the program ends.
[[noreturn]] void RunLessons(Shell& sh);

Next ContentsMenu(Shell& sh);
Next ViewProblems(Shell& sh);
void ViewPause(Shell& sh);
Next AskStartNumber(Shell& sh);
Next StartPracticeRound(Shell& sh);
void DrawProgressTable(Shell& sh, int c0, int r0, int n);

// After an entry's Present: attempts, marks, hint steps and the end-of-problem menu.
Next RunPractice(Shell& sh);
void DrawResultMark(Shell& sh, Result result);
void MarkProgressCell(Shell& sh, int entry, Result result);
void ShowRepeatCount(Shell& sh, int entry, int& count);
void PressSpacePrompt(Shell& sh);

// Calls Present of entry e (an entry the program does not have yet draws a placeholder).
void PresentEntry(Shell& sh, int e);

}  // namespace shell
