// Finished problems kept across sessions, in a SQLite file (the default, one per desktop user) or
// on a PostgreSQL server that a whole class shares. A pupil is never stopped by the store: a
// problem that cannot be written now is kept in memory and written with the next one.
#pragma once

#include <deque>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/record.h"

namespace results {

// One stored problem, as the report reads it back.
struct StoredProblem {
    std::string pupil;
    shell::ProblemRecord problem;
};

struct Filter {
    std::string pupil;    // empty: every pupil
    std::string program;  // empty: every program
    std::string since;    // YYYY-MM-DD, empty: from the beginning
};

// A database the store writes to. Every failure is thrown as std::exception; the store decides
// what it means for the pupil.
class Database {
public:
    virtual ~Database() = default;
    // Writes one problem in its own transaction.
    virtual void insert(const std::string& pupil, const shell::ProblemRecord& problem) = 0;
    // Every stored problem that passes the filter, oldest first.
    virtual std::vector<StoredProblem> load(const Filter& filter) = 0;
};

// The newest schema version; each version is one migration.
int SchemaVersion();

// The SQLite database in FILE: created when missing; a file that is not a results database, or a
// corrupt one, is renamed aside with one line on warn and a fresh one started.
std::unique_ptr<Database> OpenSqlite(const std::string& file, std::ostream& warn);
// The PostgreSQL server at a postgresql:// address. Connects on first use and again after a
// failure, so a server that is down at start-up is used once it answers.
std::unique_ptr<Database> OpenPostgres(const std::string& address);
// Either of the above, by the form of the target.
std::unique_ptr<Database> OpenDatabase(const std::string& target, std::ostream& warn);

// The desktop default: $XDG_DATA_HOME/drills/results.sqlite3, ~/.local/share/drills/ when unset.
std::string DefaultResultsFile();

class Store final : public shell::Recorder {
public:
    Store(std::string target, std::string pupil, std::ostream& warn);
    void record(const shell::ProblemRecord& problem) noexcept override;
    // Writes what is still held; returns how many problems could not be written, after one line
    // on warn naming them.
    size_t finish() noexcept;
    size_t pending() const { return pending_.size(); }

private:
    void flush() noexcept;
    std::string target_;
    std::string pupil_;
    std::ostream& warn_;
    std::unique_ptr<Database> db_;
    std::deque<shell::ProblemRecord> pending_;
    bool warned_ = false;
};

// The login name of the desktop user, "pupil" when none can be found.
std::string LoginName();

}  // namespace results
