// Finished problems kept across sessions, in a SQLite file (the default, one per desktop user) or
// on a PostgreSQL server that a whole class shares. A pupil is never stopped by the store: a
// problem that cannot be written now is kept in memory and written with the next one.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <iosfwd>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
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

// How the problems of one pupil's entry went, as the report shows them.
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

// The number of latest practice problems the trend compares with the ones before them.
inline constexpr int kTrendRecent = 10;

// The trend from first-attempt counts: `recentRight` of the latest kTrendRecent practice
// problems, `earlierRight` of the `practised - kTrendRecent` before them; none without earlier ones.
std::optional<double> TrendOf(int practised, int recentRight, int earlierRight);

// A database the store writes to. Every failure is thrown as std::exception; the store decides
// what it means for the pupil.
class Database {
public:
    virtual ~Database() = default;
    // Writes one problem in its own transaction.
    virtual void insert(const std::string& pupil, const shell::ProblemRecord& problem) = 0;
    // Every stored problem that passes the filter, oldest first.
    virtual std::vector<StoredProblem> load(const Filter& filter) = 0;
    // The report's figures for the problems that pass the filter, counted by the database itself
    // so that a class's whole history is never read row by row.
    virtual Summary summarise(const Filter& filter) = 0;
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

// Opens the database and writes each finished problem on a thread of its own, so the pupil's
// thread never waits for the disk or the server while it works: a problem is committed while the
// program waits for the pupil's next key (settle), and a script's problems in runs while it goes
// on. While the store works the thread is at most kMostBehind problems behind, and it has caught
// up whenever the program waits for the pupil, so a killed program loses at most the problem in
// progress. While it fails (a full disk, a server that does not answer) the thread keeps
// trying with each new problem and the pupil waits for none of it.
class Store final : public shell::Recorder {
public:
    Store(std::string target, std::string pupil, std::ostream& warn);
    // Writes what was handed over; what cannot be written is dropped without a word (see finish).
    ~Store() override;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Only a script finishes problems faster than they are committed; a bound that a checkpoint's
    // pause or a busy moment on the other core fills up without stopping it, and that keeps a
    // killed script's loss small.
    static constexpr size_t kMostBehind = 256;
    // Problems held before the pupil's thread wakes the writer without waiting for it.
    static constexpr size_t kWakeAfter = 16;

    void record(const shell::ProblemRecord& problem) noexcept override;
    void settle() noexcept override;
    // Writes what is still held; returns how many problems could not be written, after one line
    // on warn naming them. The store writes nothing after it.
    size_t finish() noexcept;
    // How many finished problems are held in memory once the writer has tried them all.
    size_t pending() noexcept;

private:
    // Nothing handed over is still to be written; or the store is failing, and then its retries
    // go on in the background without the pupil.
    bool caughtUp() const { return failing_ || (!untried_ && held_count_ == 0); }
    // The pupil's thread may hand over one more problem.
    bool hasRoom() const { return failing_ || held_count_ < kMostBehind; }
    void writeHeld(std::unique_lock<std::mutex>& lock) noexcept;
    bool writerStarted() noexcept;
    void writer() noexcept;
    void stopWriter() noexcept;

    std::string target_;
    std::string pupil_;
    std::ostream& warn_;
    std::unique_ptr<Database> db_;  // used by one thread at a time: the writer once it runs
    std::mutex mutex_;
    std::condition_variable handed_, tried_;
    std::deque<shell::ProblemRecord> held_;  // oldest first; a record leaves once it is written
    // Changed with the lock held; read without it only to spin.
    std::atomic<bool> untried_ = false;  // records were handed over since the writer last went through held_
    std::atomic<bool> writing_ = false;
    std::atomic<size_t> held_count_ = 0;  // held_.size()
    std::atomic<bool> stop_ = false;
    std::atomic<bool> failing_ = false;  // the last try failed
    bool warned_ = false;
    bool begun_ = false;  // the writer may open the database
    bool threadless_ = false;  // no thread could be had for the writer
    std::thread thread_;
};

// The login name of the desktop user, "pupil" when none can be found.
std::string LoginName();

}  // namespace results
