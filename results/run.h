// A program's whole run with its results store: the options decide where problems are kept.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "runtime/options.h"
#include "shell/program.h"

namespace results {

// The exit status when finished problems could not be written by the end of the run.
inline constexpr int kResultsLost = 75;

// Where a run keeps its problems: --no-results nothing, --results its target, otherwise
// $DRILLS_RESULTS or the desktop default, and nothing at all in a headless run.
std::optional<std::string> ResultsTarget(const rt::Options& options);

// Parses the command line, runs the program with its store and returns the exit status.
int Main(const shell::Program& program, int argc, const char* const* argv);

}  // namespace results
