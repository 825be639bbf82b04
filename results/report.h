// The teacher's report: per pupil, program and problem entry, how the problems went.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "results/store.h"

namespace results {

// The summary of problems read back one by one, oldest first; Database::summarise gives the same
// figures without reading the rows.
Summary Summarise(const std::vector<StoredProblem>& problems);

enum class Format { Text, Csv, Json, Html };

void WriteHtml(const Summary& summary, std::ostream& out);
void WriteReport(const Summary& summary, Format format, std::ostream& out);

}  // namespace results
