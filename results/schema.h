// The schema's migrations, one row per version, for both databases. The row at index i takes a
// database from version i to version i + 1; each runs in one transaction with the version bump.
#pragma once

#include <array>
#include <string>

#include "results/store.h"

namespace results {

struct Migration {
    const char* sqlite;
    const char* postgres;
};

inline constexpr std::array<Migration, 3> kMigrations{{
    {"CREATE TABLE results (id INTEGER PRIMARY KEY, pupil TEXT NOT NULL, program TEXT NOT NULL, "
     "entry INTEGER NOT NULL, clock TEXT NOT NULL, started TEXT NOT NULL, seconds REAL NOT NULL, "
     "answers TEXT NOT NULL, outcome TEXT NOT NULL, hints INTEGER NOT NULL)",
     "CREATE TABLE results (id BIGSERIAL PRIMARY KEY, pupil TEXT NOT NULL, program TEXT NOT NULL, "
     "entry INTEGER NOT NULL, clock TEXT NOT NULL, started TEXT NOT NULL, seconds DOUBLE PRECISION NOT NULL, "
     "answers TEXT NOT NULL, outcome TEXT NOT NULL, hints INTEGER NOT NULL)"},
    // View mode and the place of a problem after its seed came later; older rows were practice.
    {"ALTER TABLE results ADD COLUMN viewing INTEGER NOT NULL DEFAULT 0;"
     "ALTER TABLE results ADD COLUMN sequence INTEGER NOT NULL DEFAULT 0;"
     "CREATE INDEX results_by_pupil ON results (pupil, program, entry, id)",
     "ALTER TABLE results ADD COLUMN viewing INTEGER NOT NULL DEFAULT 0;"
     "ALTER TABLE results ADD COLUMN sequence INTEGER NOT NULL DEFAULT 0;"
     "CREATE INDEX results_by_pupil ON results (pupil, program, entry, id)"},
    // The index made each problem's commit write a page of the index beside the row's own; the
    // report finds an entry's latest problems in one sorted pass instead.
    {"DROP INDEX IF EXISTS results_by_pupil", "DROP INDEX IF EXISTS results_by_pupil"},
}};

inline constexpr const char* kColumns =
    "pupil, program, entry, clock, started, seconds, answers, outcome, hints, viewing, sequence";

// The report's figures per pupil, program and entry, counted where the rows are: one pass over
// the rows for the sums, and one over the practice rows, numbered newest first within each
// entry (by id, the order they were written), for the trend. Columns: pupil, program, entry,
// practised, right1, right2, right3, solution, viewed, hints, seconds, last, right1 among the
// latest (NULL without practice). The parameters are the filter's pupil, program and date, each
// empty for "any"; `text` orders the start times byte by byte whatever the database's collation.
inline std::string SummaryQuery(const std::string& pupil, const std::string& program, const std::string& since,
                                const std::string& text) {
    const std::string filter = " WHERE (" + pupil + " = '' OR pupil = " + pupil + ") AND (" + program +
                               " = '' OR program = " + program + ") AND (" + since + " = '' OR started >= " +
                               since + ")";
    auto count = [](const std::string& when) {
        return "SUM(CASE WHEN viewing = 0 AND " + when + " THEN 1 ELSE 0 END)";
    };
    return "SELECT totals.*, latest.right1 FROM (SELECT pupil, program, entry, "
           "SUM(CASE WHEN viewing = 0 THEN 1 ELSE 0 END), " +
           count("outcome = 'right1'") + ", " + count("outcome = 'right2'") + ", " + count("outcome = 'right3'") +
           ", " + count("outcome = 'solution'") +
           ", SUM(CASE WHEN viewing = 0 THEN 0 ELSE 1 END)"
           ", SUM(CASE WHEN viewing = 0 THEN hints ELSE 0 END)"
           ", SUM(CASE WHEN viewing = 0 THEN seconds ELSE 0 END)"
           ", MAX(CASE WHEN viewing = 0 THEN started" + text + " END)"
           " FROM results" + filter + " GROUP BY pupil, program, entry) AS totals"
           " LEFT JOIN (SELECT pupil, program, entry, SUM(CASE WHEN outcome = 'right1' THEN 1 ELSE 0 END) AS right1"
           " FROM (SELECT pupil, program, entry, outcome,"
           " ROW_NUMBER() OVER (PARTITION BY pupil, program, entry ORDER BY id DESC) AS newest"
           " FROM results" + filter + " AND viewing = 0) AS numbered"
           " WHERE newest <= " + std::to_string(kTrendRecent) + " GROUP BY pupil, program, entry) AS latest"
           " ON latest.pupil = totals.pupil AND latest.program = totals.program AND latest.entry = totals.entry";
}

}  // namespace results
