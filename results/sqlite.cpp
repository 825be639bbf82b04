#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <ostream>

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

class Sqlite final : public Database {
public:
    Sqlite(const std::string& file, std::ostream& warn) : db_(Open(file, warn)) {
        db_.exec("PRAGMA journal_mode = WAL");
        db_.exec("PRAGMA synchronous = NORMAL");
        Migrate();
    }

    void insert(const std::string& pupil, const shell::ProblemRecord& p) override {
        SQLite::Transaction tx(db_, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement s(db_, std::string("INSERT INTO results (") + kColumns +
                                     ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
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
        tx.commit();
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
};

}  // namespace

int SchemaVersion() { return static_cast<int>(kMigrations.size()); }

std::unique_ptr<Database> OpenSqlite(const std::string& file, std::ostream& warn) {
    return std::make_unique<Sqlite>(file, warn);
}

}  // namespace results
