// The teacher's report: per pupil, program and problem entry, how the problems went.
#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "results/store.h"

namespace results {

struct EntrySummary {
    int practised = 0;  // practice problems, whatever their outcome
    int right1 = 0, right2 = 0, right3 = 0, solution = 0, left = 0;
    int viewed = 0;  // problems looked at in view mode; they count nowhere else
    int hints = 0;   // worked-solution steps shown in practice
    double seconds = 0;
    std::string last;             // start of the latest practice problem, empty when none
    std::optional<double> trend;  // first-attempt rate of the last ten minus that of the ones before
};

// pupil -> program -> entry.
using Summary = std::map<std::string, std::map<std::string, std::map<int, EntrySummary>>>;

Summary Summarise(const std::vector<StoredProblem>& problems);

enum class Format { Text, Csv, Json, Html };

void WriteHtml(const Summary& summary, std::ostream& out);
void WriteReport(const Summary& summary, Format format, std::ostream& out);

}  // namespace results
