// The schema's migrations, one row per version, for both databases. The row at index i takes a
// database from version i to version i + 1; each runs in one transaction with the version bump.
#pragma once

#include <array>

namespace results {

struct Migration {
    const char* sqlite;
    const char* postgres;
};

inline constexpr std::array<Migration, 2> kMigrations{{
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
}};

inline constexpr const char* kColumns =
    "pupil, program, entry, clock, started, seconds, answers, outcome, hints, viewing, sequence";

}  // namespace results
