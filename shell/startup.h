// Start-up, the seed from the clock and the error screen, and the whole run
// of a program from its command line.
#pragma once

#include "shell/shell.h"

namespace shell {

void SeedFromClock(Shell& sh);
// The seed a clock "HH:MM:SS" gives: its hours, minutes and seconds added.
int ClockSeed(const Text& clock);
// Start-up up to (not including) the contents screen.
void StartUp(Shell& sh);
// The lesson state start-up leaves, before the contents screen: colour, anchor, empty tables.
void ResetLessonState(Shell& sh);
[[noreturn]] void ShowErrorScreen(Shell& sh, const std::string& message);

// Runs a program with already parsed options; returns the exit status. Finished problems go to
// the recorder, when there is one.
int RunProgram(const Program& program, rt::Options options, Recorder* recorder = nullptr);
// Parses the command line and runs the program; the whole of a program's main.
int Main(const Program& program, int argc, const char* const* argv);

}  // namespace shell
