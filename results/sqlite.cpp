#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>

#include "results/codec.h"
#include "results/schema.h"
#include "results/store.h"

namespace results {

namespace {

namespace fs = std::filesystem;

constexpr int kBusyMilliseconds = 2000;

// Moves a file that is not ours aside under a name no file has yet, with its journal files.
void SetAside(const std::string& file, const std::string& why, std::ostream& warn) {
    std::string aside;
    for (int n = 1;; ++n) {
        aside = file + ".unusable-" + std::to_string(n);
        if (!fs::exists(aside)) break;
    }
    fs::rename(file, aside);
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        std::error_code ignored;
        if (fs::exists(file + suffix)) fs::rename(file + suffix, aside + suffix, ignored);
    }
    warn << "drills: " << file << " " << why << "; moved it to " << aside
         << " and started a new results file\n";
}

bool HasSqliteHeader(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    char head[16] = {};
    in.read(head, sizeof head);
    return in.gcount() == 16 && std::string(head, 16) == std::string("SQLite format 3\0", 16);
}

// What an existing file is: ours (any version), empty, or something to set aside (the reason).
std::string Unusable(const std::string& file) {
    if (!fs::exists(file) || fs::file_size(file) == 0) return {};
    if (!HasSqliteHeader(file)) return "is not a results database";
    try {
        SQLite::Database db(file, SQLite::OPEN_READONLY, kBusyMilliseconds);
        // The check reads every page: mapped, without a system call per page.
        db.exec("PRAGMA mmap_size = 1073741824");
        // Every answer from one snapshot: another program may be making the tables meanwhile,
        // and a version read before they were made beside the tables read after would look
        // like another program's file.
        SQLite::Transaction snapshot(db, SQLite::TransactionBehavior::DEFERRED);
        if (db.execAndGet("PRAGMA quick_check").getString() != "ok") return "is damaged";
        const int version = db.execAndGet("PRAGMA user_version").getInt();
        const int tables = db.execAndGet("SELECT count(*) FROM sqlite_schema WHERE type = 'table'").getInt();
        if (version == 0 && tables > 0) return "is another program's database";
        if (version > 0 && !db.tableExists("results")) return "is another program's database";
    } catch (const SQLite::Exception& e) {
        if (e.getErrorCode() == SQLITE_CORRUPT || e.getErrorCode() == SQLITE_NOTADB) return "is damaged";
        throw;
    }
    return {};
}

// Copies the write-ahead log back into the database file on a thread of its own. The copy ends
// with two disk flushes, which would otherwise hold up the store's writing every few hundred
// problems.
class Checkpointer {
public:
    explicit Checkpointer(std::string file) : file_(std::move(file)) {}
    ~Checkpointer() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        if (thread_.joinable()) thread_.join();
    }
    Checkpointer(const Checkpointer&) = delete;
    Checkpointer& operator=(const Checkpointer&) = delete;

    // After a commit that left `frames` pages in the log. True when the log has grown so long
    // that the caller must copy it back itself: a program writing without a pause would
    // otherwise outrun the thread, and the log would never start again from its beginning. The
    // thread's own copy is over by then, so the caller's copy is not turned away as busy.
    bool committed(int frames) noexcept {
        if (frames >= kMostFrames) {
            std::unique_lock lock(mutex_);
            idle_.wait(lock, [this] { return !thread_.joinable() || (!wanted_ && !copying_); });
            return true;
        }
        // One copy per kFrames new pages, not one per commit while the log is long: each copy
        // flushes the disk twice. A log that started again from its beginning starts the count again.
        if (frames < requestedAt_) requestedAt_ = 0;
        if (frames < requestedAt_ + kFrames) return false;
        requestedAt_ = frames;
        try {
            {
                const std::lock_guard lock(mutex_);
                wanted_ = true;
            }
            if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
            wake_.notify_one();
        } catch (const std::exception&) {
            // No thread to be had: the log keeps growing until a later commit or the last
            // connection to close copies it back. Nothing is lost either way.
        }
        return false;
    }

private:
    // SQLite's own threshold for copying the log back, and the most the log may hold.
    static constexpr int kFrames = 1000, kMostFrames = 4000;

    void Run() noexcept {
        std::optional<SQLite::Database> db;
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return wanted_ || stop_; });
            if (stop_) return;
            wanted_ = false;
            copying_ = true;
            lock.unlock();
            try {
                if (!db) db.emplace(file_, SQLite::OPEN_READWRITE, kBusyMilliseconds);
                // PASSIVE: takes no lock a writer waits for, and copies what it can.
                db->exec("PRAGMA wal_checkpoint(PASSIVE)");
            } catch (const std::exception&) {
                db.reset();  // tried again at the next request
            }
            lock.lock();
            copying_ = false;
            idle_.notify_all();
        }
    }

    std::string file_;
    int requestedAt_ = 0;  // the log's length at the last request; only the writing thread uses it
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    bool wanted_ = false, copying_ = false, stop_ = false;
    std::thread thread_;
};

class Sqlite final : public Database {
public:
    Sqlite(const std::string& file, std::ostream& warn) : db_(Open(file, warn)), checkpointer_(file) {
        UseWriteAheadLog();
        db_.exec("PRAGMA synchronous = NORMAL");
        // Replaces SQLite's automatic checkpoint, which would copy the log on this thread.
        sqlite3_wal_hook(
            db_.getHandle(),
            [](void* checkpointer, sqlite3* db, const char* name, int frames) {
                if (static_cast<Checkpointer*>(checkpointer)->committed(frames))
                    sqlite3_wal_checkpoint_v2(db, name, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
                return SQLITE_OK;
            },
            &checkpointer_);
        Migrate();
    }

    // One INSERT outside BEGIN is its own transaction: it waits for the write lock within the busy
    // timeout like BEGIN IMMEDIATE, and costs one statement instead of three. The statement is
    // prepared once per connection.
    void insert(const std::string& pupil, const shell::ProblemRecord& p) override {
        if (!insert_)
            insert_.emplace(db_, std::string("INSERT INTO results (") + kColumns +
                                     ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        SQLite::Statement& s = *insert_;
        s.tryReset();  // a write that failed leaves its error on the statement, not on this one
        s.bind(1, pupil);
        s.bind(2, p.program);
        s.bind(3, p.entry);
        s.bind(4, p.clock);
        s.bind(5, p.started);
        s.bind(6, p.seconds);
        s.bind(7, EncodeAnswers(p.answers));
        s.bind(8, p.outcome);
        s.bind(9, p.hints);
        s.bind(10, p.viewing ? 1 : 0);
        s.bind(11, p.sequence);
        s.exec();
        s.tryReset();
    }

    Summary summarise(const Filter& f) override {
        // The whole file is read: mapped, it is read without a system call per page.
        db_.exec("PRAGMA mmap_size = 1073741824");
        SQLite::Statement s(db_, SummaryQuery("?1", "?2", "?3", ""));
        s.bind(1, f.pupil);
        s.bind(2, f.program);
        s.bind(3, f.since);
        Summary out;
        while (s.executeStep()) {
            EntrySummary& e = out[s.getColumn(0).getString()][s.getColumn(1).getString()][s.getColumn(2).getInt()];
            e.practised = s.getColumn(3).getInt();
            e.right1 = s.getColumn(4).getInt();
            e.right2 = s.getColumn(5).getInt();
            e.right3 = s.getColumn(6).getInt();
            e.solution = s.getColumn(7).getInt();
            e.left = e.practised - e.right1 - e.right2 - e.right3 - e.solution;
            e.viewed = s.getColumn(8).getInt();
            e.hints = s.getColumn(9).getInt();
            e.seconds = s.getColumn(10).getDouble();
            e.last = s.getColumn(11).getString();  // NULL reads as ""
            const int recent = s.getColumn(12).getInt();  // NULL (no practice) reads as 0
            e.trend = TrendOf(e.practised, recent, e.right1 - recent);
        }
        return out;
    }

    std::vector<StoredProblem> load(const Filter& f) override {
        SQLite::Statement s(db_,
                            std::string("SELECT ") + kColumns +
                                " FROM results WHERE (?1 = '' OR pupil = ?1) AND (?2 = '' OR program = ?2)"
                                " AND (?3 = '' OR started >= ?3) ORDER BY id");
        s.bind(1, f.pupil);
        s.bind(2, f.program);
        s.bind(3, f.since);
        std::vector<StoredProblem> out;
        while (s.executeStep()) {
            StoredProblem r;
            r.pupil = s.getColumn(0).getString();
            r.problem.program = s.getColumn(1).getString();
            r.problem.entry = s.getColumn(2).getInt();
            r.problem.clock = s.getColumn(3).getString();
            r.problem.started = s.getColumn(4).getString();
            r.problem.seconds = s.getColumn(5).getDouble();
            r.problem.answers = DecodeAnswers(s.getColumn(6).getString());
            r.problem.outcome = s.getColumn(7).getString();
            r.problem.hints = s.getColumn(8).getInt();
            r.problem.viewing = s.getColumn(9).getInt() != 0;
            r.problem.sequence = s.getColumn(10).getInt();
            out.push_back(std::move(r));
        }
        return out;
    }

private:
    static SQLite::Database Open(const std::string& file, std::ostream& warn) {
        if (const fs::path dir = fs::path(file).parent_path(); !dir.empty()) fs::create_directories(dir);
        if (const std::string why = Unusable(file); !why.empty()) SetAside(file, why, warn);
        return SQLite::Database(file, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE, kBusyMilliseconds);
    }

    // A new file is switched to the write-ahead log, once. The switch wants the file to itself
    // and SQLite gives up on it at once, not after the busy timeout, while other programs are
    // opening the same new file; so it is tried again for as long as a lock would be waited for.
    void UseWriteAheadLog() {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyMilliseconds);
        for (;;) {
            try {
                db_.exec("PRAGMA journal_mode = WAL");
                return;
            } catch (const SQLite::Exception& e) {
                if (e.getErrorCode() != SQLITE_BUSY || std::chrono::steady_clock::now() >= until) throw;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // Runs the missing migrations. The version is read again inside the write transaction, so
    // two programs starting together do not both migrate.
    void Migrate() {
        if (db_.execAndGet("PRAGMA user_version").getInt() >= SchemaVersion()) return;
        SQLite::Transaction tx(db_, SQLite::TransactionBehavior::IMMEDIATE);
        for (int v = db_.execAndGet("PRAGMA user_version").getInt(); v < SchemaVersion(); ++v) {
            db_.exec(kMigrations[static_cast<size_t>(v)].sqlite);
            // The version is a number this program made, never outside text.
            db_.exec("PRAGMA user_version = " + std::to_string(v + 1));
        }
        tx.commit();
    }

    SQLite::Database db_;
    std::optional<SQLite::Statement> insert_;  // after db_: finalised before the connection closes
    Checkpointer checkpointer_;                // after db_: its thread stops before the connection closes
};

}  // namespace

int SchemaVersion() { return static_cast<int>(kMigrations.size()); }

std::unique_ptr<Database> OpenSqlite(const std::string& file, std::ostream& warn) {
    return std::make_unique<Sqlite>(file, warn);
}

}  // namespace results
