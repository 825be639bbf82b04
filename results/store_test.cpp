// The store on SQLite: migrations, files that are not ours, a locked database, processes that
// write at once or are killed, and text that must reach SQL only as a bound value.
#include "results/store.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "results/report.h"
#include "results/summary_rig.h"

namespace {

namespace fs = std::filesystem;

std::string FreshDir(const std::string& name) {
    const std::string dir = ::testing::TempDir() + "/results_" + name + "_" + std::to_string(getpid());
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

shell::ProblemRecord Problem(const std::string& program, int entry, const std::string& outcome,
                             int sequence = 1) {
    shell::ProblemRecord p;
    p.program = program;
    p.entry = entry;
    p.clock = "12:34:56";
    p.sequence = sequence;
    p.started = "2026-12-09T10:00:00Z";
    p.seconds = 2.5;
    p.answers = {"x=1", "x=２"};
    p.outcome = outcome;
    p.hints = 1;
    return p;
}

long Lines(const std::string& s) { return std::count(s.begin(), s.end(), '\n'); }

long Count(const std::string& file, const std::string& where = "1") {
    SQLite::Database db(file);
    return db.execAndGet("SELECT count(*) FROM results WHERE " + where).getInt();
}

TEST(ResultsStore, RecordsEveryFieldAndReadsItBack) {
    const std::string file = FreshDir("fields") + "/r.sqlite3";
    std::ostringstream warn;
    results::Store store(file, "Robert'); DROP TABLE results;--", warn);
    auto p = Problem("halvard", 3, "right2", 4);
    p.viewing = true;
    store.record(p);
    EXPECT_EQ(store.finish(), 0u);
    EXPECT_EQ(warn.str(), "");
    const auto rows = results::OpenSqlite(file, warn)->load({});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].pupil, "Robert'); DROP TABLE results;--");
    const auto& r = rows[0].problem;
    EXPECT_EQ(r.program, "halvard");
    EXPECT_EQ(r.entry, 3);
    EXPECT_EQ(r.clock, "12:34:56");
    EXPECT_EQ(r.sequence, 4);
    EXPECT_EQ(r.started, "2026-12-09T10:00:00Z");
    EXPECT_DOUBLE_EQ(r.seconds, 2.5);
    EXPECT_EQ(r.answers, (std::vector<std::string>{"x=1", "x=２"}));
    EXPECT_EQ(r.outcome, "right2");
    EXPECT_EQ(r.hints, 1);
    EXPECT_TRUE(r.viewing);
    SQLite::Database db(file);
    EXPECT_EQ(db.execAndGet("PRAGMA journal_mode").getString(), "wal");
    EXPECT_EQ(db.execAndGet("PRAGMA user_version").getInt(), results::SchemaVersion());
}

TEST(ResultsStore, FiltersByPupilProgramAndDate) {
    const std::string file = FreshDir("filter") + "/r.sqlite3";
    std::ostringstream warn;
    {
        results::Store a(file, "aki", warn), b(file, "ben", warn);
        a.record(Problem("halvard", 1, "right1"));
        auto late = Problem("morvane", 2, "left");
        late.started = "2026-12-10T08:00:00Z";
        a.record(late);
        b.record(Problem("halvard", 1, "solution"));
    }
    const auto db = results::OpenSqlite(file, warn);
    struct Row {
        results::Filter filter;
        size_t rows;
    };
    const Row rows[] = {{{}, 3},
                        {{"aki", "", ""}, 2},
                        {{"", "halvard", ""}, 2},
                        {{"aki", "halvard", ""}, 1},
                        {{"", "", "2026-12-10"}, 1},
                        {{"x' OR '1'='1", "", ""}, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(db->load(row.filter).size(), row.rows) << row.filter.pupil << "|" << row.filter.program;
}

TEST(ResultsStore, TheDatabasesSummaryAgreesWithTheRowsReadBack) {
    const std::string file = FreshDir("summary") + "/r.sqlite3";
    std::ostringstream warn;
    {
        std::map<std::string, std::unique_ptr<results::Store>> stores;
        for (const auto& w : results_rig::VariedHistory(600)) {
            auto& store = stores[w.pupil];
            if (!store) store = std::make_unique<results::Store>(file, w.pupil, warn);
            store->record(w.problem);
        }
        for (auto& [pupil, store] : stores) EXPECT_EQ(store->finish(), 0u) << pupil;
    }
    EXPECT_EQ(warn.str(), "");
    const auto db = results::OpenSqlite(file, warn);
    ASSERT_EQ(results::Summarise(db->load({})).size(), 3u);
    for (const auto& filter : results_rig::ReportFilters()) {
        SCOPED_TRACE(filter.pupil + "|" + filter.program + "|" + filter.since);
        results_rig::ExpectSameSummary(db->summarise(filter), results::Summarise(db->load(filter)));
    }
}

// The log of committed problems is copied back into the database file while the store goes on
// writing, and never grows without bound however fast problems come.
TEST(ResultsStore, TheLogIsCopiedBackWhileTheStoreWrites) {
    const std::string dir = FreshDir("log");
    const std::string file = dir + "/r.sqlite3";
    std::ostringstream warn;
    results::Store store(file, "aki", warn);
    const auto size = [](const std::string& f) { return fs::exists(f) ? fs::file_size(f) : 0; };
    const auto before = size(file);
    int sequence = 0;
    // Fewer pages than the most the log may hold: only the copy on the other thread fills the file.
    for (; sequence < 1200; ++sequence) store.record(Problem("halvard", 1 + sequence % 13, "right1", sequence));
    for (int i = 0; i < 200 && size(file) < before + 64 * 1024; ++i) usleep(50'000);
    EXPECT_GE(size(file), before + 64 * 1024) << "nothing was copied back into " << file;
    // Without a pause. Each problem adds at least two pages (the row's and the index's) to the
    // log, so without checkpoints it would hold over 24,000; the copy keeps it near 4,000.
    for (; sequence < 13200; ++sequence) store.record(Problem("halvard", 1 + sequence % 13, "right1", sequence));
    EXPECT_LT(size(file + "-wal"), 10000u * (4096u + 24u));
    EXPECT_EQ(store.finish(), 0u);
    EXPECT_EQ(warn.str(), "");
    EXPECT_EQ(Count(file), 13200);
}

TEST(ResultsStore, ADatabaseOfTheFirstVersionMigratesKeepingItsRows) {
    const std::string file = FreshDir("migrate") + "/r.sqlite3";
    {
        SQLite::Database db(file, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(
            "CREATE TABLE results (id INTEGER PRIMARY KEY, pupil TEXT NOT NULL, program TEXT NOT NULL, "
            "entry INTEGER NOT NULL, clock TEXT NOT NULL, started TEXT NOT NULL, seconds REAL NOT NULL, "
            "answers TEXT NOT NULL, outcome TEXT NOT NULL, hints INTEGER NOT NULL);"
            "INSERT INTO results (pupil, program, entry, clock, started, seconds, answers, outcome, hints) "
            "VALUES ('aki', 'quillon', 5, '01:02:03', '2026-01-01T00:00:00Z', 9, '[\"3\"]', 'right3', 2);"
            "PRAGMA user_version = 1;");
    }
    std::ostringstream warn;
    {
        results::Store store(file, "ben", warn);
        store.record(Problem("quillon", 5, "right1"));
    }
    EXPECT_EQ(warn.str(), "");
    SQLite::Database db(file);
    EXPECT_EQ(db.execAndGet("PRAGMA user_version").getInt(), results::SchemaVersion());
    const auto rows = results::OpenSqlite(file, warn)->load({});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].pupil, "aki");
    EXPECT_EQ(rows[0].problem.answers, std::vector<std::string>{"3"});
    EXPECT_FALSE(rows[0].problem.viewing);
    EXPECT_EQ(rows[1].pupil, "ben");
}

TEST(ResultsStore, AFileThatIsNotOursIsSetAsideNeverOverwritten) {
    struct Row {
        const char* name;
        std::function<void(const std::string&)> make;
        const char* said;
    };
    const Row rows[] = {
        {"text", [](const std::string& f) { std::ofstream(f) << "my homework notes\n"; },
         "is not a results database"},
        {"other program's",
         [](const std::string& f) {
             SQLite::Database db(f, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
             db.exec("CREATE TABLE bookmarks (url TEXT)");
         },
         "is another program's database"},
        {"corrupt",
         [](const std::string& f) {
             {
                 results::Store s(f, "aki", std::cerr);
                 for (int i = 0; i < 200; ++i) s.record(Problem("halvard", 1, "right1", i));
             }
             {
                 SQLite::Database db(f, SQLite::OPEN_READWRITE);
                 db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
             }
             // Garbage over the pages after the first, where the table's rows are.
             std::fstream io(f, std::ios::in | std::ios::out | std::ios::binary);
             io.seekp(4096);
             for (int i = 0; i < 8192; ++i) io.put(static_cast<char>(0xA5));
         },
         "is damaged"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string dir = FreshDir("aside");
        const std::string file = dir + "/r.sqlite3";
        row.make(file);
        const std::string before = [&] {
            std::ifstream in(file, std::ios::binary);
            std::stringstream s;
            s << in.rdbuf();
            return s.str();
        }();
        std::ostringstream warn;
        {
            results::Store store(file, "aki", warn);
            store.record(Problem("halvard", 2, "right1"));
            EXPECT_EQ(store.finish(), 0u);
        }
        EXPECT_NE(warn.str().find(row.said), std::string::npos) << warn.str();
        EXPECT_EQ(Lines(warn.str()), 1) << warn.str();
        std::ifstream aside(file + ".unusable-1", std::ios::binary);
        ASSERT_TRUE(aside) << "nothing set aside";
        std::stringstream kept;
        kept << aside.rdbuf();
        EXPECT_EQ(kept.str(), before);
        EXPECT_EQ(Count(file), 1);
    }
}

long Threads() { return std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator{}); }

TEST(ResultsStore, TheDatabaseIsOpenedOnceTheProgramFirstWaitsForThePupil) {
    // Opening it is work that would compete with drawing the first screen, and so would a second
    // thread: the window's start reads its compose table slower in a process that has one.
    const std::string file = FreshDir("later") + "/r.sqlite3";
    const long before = Threads();
    results::Store store(file, "aki", std::cerr);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(fs::exists(file)) << "opened before the first screen was up";
    EXPECT_EQ(Threads(), before) << "a thread started before the first screen was up";
    store.settle();  // as the program does before it first waits for a key
    EXPECT_EQ(store.pending(), 0u);
    EXPECT_EQ(Threads(), before + 1);
    EXPECT_TRUE(fs::exists(file));
    store.record(Problem("halvard", 1, "right1"));
    store.settle();
    EXPECT_EQ(Count(file), 1);
}

TEST(ResultsStore, ALockedDatabaseKeepsTheProblemUntilTheNextOneIsWritten) {
    const std::string file = FreshDir("locked") + "/r.sqlite3";
    std::ostringstream warn;
    results::Store store(file, "aki", warn);
    ASSERT_EQ(store.pending(), 0u);  // the store's own thread has made the file
    {
        SQLite::Database other(file, SQLite::OPEN_READWRITE);
        other.exec("BEGIN EXCLUSIVE");
        store.record(Problem("halvard", 1, "right1"));  // waits for the busy timeout, then keeps it
        EXPECT_EQ(store.pending(), 1u);
        other.exec("ROLLBACK");
    }
    EXPECT_NE(warn.str().find("kept in memory"), std::string::npos) << warn.str();
    store.record(Problem("halvard", 2, "right1"));
    EXPECT_EQ(store.pending(), 0u);
    EXPECT_EQ(Count(file), 2);
}

TEST(ResultsStore, WhatCannotBeWrittenByTheEndIsCountedAndSaid) {
    // A directory where the file should be: it can never be opened as a database.
    const std::string file = FreshDir("unwritable") + "/r.sqlite3";
    fs::create_directories(file);
    std::ostringstream warn;
    results::Store store(file, "aki", warn);
    store.record(Problem("halvard", 1, "right1"));
    store.record(Problem("halvard", 2, "right1"));
    EXPECT_EQ(store.finish(), 2u);
    EXPECT_EQ(Lines(warn.str()), 2) << warn.str();
    EXPECT_NE(warn.str().find("2 finished problems could not be written"), std::string::npos) << warn.str();
}

TEST(ResultsStore, AServerThatNeverAnswersHoldsUpNobody) {
    // A listening socket that takes connections and never says a word. The store gives up on it
    // after its connect timeout, once, and tries again behind the pupil's back from then on.
    const int server = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(server, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof at;
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&at), size), 0);
    ASSERT_EQ(listen(server, 8), 0);
    ASSERT_EQ(getsockname(server, reinterpret_cast<sockaddr*>(&at), &size), 0);
    const std::string address =
        "postgresql://nobody@127.0.0.1:" + std::to_string(ntohs(at.sin_port)) + "/drills";
    std::ostringstream warn;
    results::Store store(address, "aki", warn);
    // As the program does: each problem handed over, then the store settled before the wait.
    auto session = std::async(std::launch::async, [&] {
        for (int i = 1; i <= 3; ++i) {
            store.record(Problem("halvard", i, "right1", i));
            store.settle();
        }
    });
    // Only a store that waited for the server to answer would still be busy; closing the socket
    // then ends its wait, so a failure shows as a failure, not as a test that never ends.
    const bool done = session.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    close(server);
    session.wait();
    EXPECT_TRUE(done) << "recording waited for a server that never answered";
    EXPECT_EQ(store.finish(), 3u);
    EXPECT_NE(warn.str().find("3 finished problems could not be written"), std::string::npos) << warn.str();
}

TEST(ResultsStore, FourProcessesWritingAtOnceLoseNoRow) {
    const std::string file = FreshDir("concurrent") + "/r.sqlite3";
    constexpr int kEach = 1000;
    results_rig::FourWritersAtOnce(file, kEach, [](int c, int i) {
        return Problem(c % 2 ? "morvane" : "halvard", 1 + i % 9, "right1", i);
    });
    EXPECT_EQ(Count(file), 4 * kEach);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(Count(file, "pupil = 'pupil" + std::to_string(c) + "'"), kEach);
    SQLite::Database db(file);
    EXPECT_EQ(db.execAndGet("SELECT count(DISTINCT pupil || '/' || sequence) FROM results").getInt(),
              4 * kEach);
}

TEST(ResultsStore, StoresOpeningANewFileTogetherShareIt) {
    // Each store opens the file on its own thread: one may look at the file while another is
    // making its tables, and must not take the half-made file for another program's.
    constexpr int kRounds = 100, kStores = 30;
    for (int round = 0; round < kRounds; ++round) {
        const std::string dir = FreshDir("together");
        std::ostringstream warn;
        size_t lost = 0;
        {
            std::vector<std::unique_ptr<results::Store>> stores;
            for (int i = 0; i < kStores; ++i)
                stores.push_back(std::make_unique<results::Store>(dir + "/r.sqlite3", "aki", warn));
            // Each hands over a problem and settles, as a program does before its first wait,
            // all at once: their writers open the new file together.
            std::vector<std::future<void>> settling;
            for (int i = 0; i < kStores; ++i)
                settling.push_back(std::async(std::launch::async, [&stores, i] {
                    results::Store& store = *stores[static_cast<size_t>(i)];
                    store.record(Problem("halvard", 1, "right1", i));
                    store.settle();
                }));
            for (auto& s : settling) s.get();
            for (auto& store : stores) lost += store->finish();
        }
        ASSERT_EQ(warn.str(), "") << "round " << round;
        ASSERT_EQ(lost, 0u);
        ASSERT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "round " << round;
        ASSERT_EQ(Count(dir + "/r.sqlite3"), kStores);
    }
}

TEST(ResultsStore, AProcessKilledMidSessionKeepsEveryFinishedProblem) {
    // The program settles the store before it waits for the pupil; killed at any other moment,
    // the store is at most kMostBehind problems behind: a script that finishes them faster than
    // they are committed is held up by the bound rather than running ahead of it.
    for (const bool settled : {true, false}) {
        SCOPED_TRACE(settled ? "killed while the pupil thinks" : "killed as a problem ends");
        const int finished = settled ? 57 : 2 * static_cast<int>(results::Store::kMostBehind) + 57;
        const std::string file = FreshDir(settled ? "killed_waiting" : "killed_busy") + "/r.sqlite3";
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            results::Store store(file, "aki", std::cerr);
            for (int i = 1; i <= finished; ++i) store.record(Problem("brenwick", 1 + i % 5, "solution", i));
            if (settled) store.settle();
            raise(SIGKILL);  // no destructor, no checkpoint: the WAL holds what was committed
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        SQLite::Database db(file);
        EXPECT_EQ(db.execAndGet("PRAGMA integrity_check").getString(), "ok");
        if (settled)
            EXPECT_EQ(Count(file), finished);
        else
            EXPECT_GE(Count(file), finished - static_cast<int>(results::Store::kMostBehind));
        // Whatever is there is the session's first problems, in order, each once.
        EXPECT_EQ(db.execAndGet("SELECT count(*) FROM results WHERE sequence = id").getInt(), Count(file));
    }
}

}  // namespace
