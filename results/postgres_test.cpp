// The store on a real PostgreSQL server that the test starts itself in a temporary folder.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "results/report.h"
#include "results/store.h"
#include "results/summary_rig.h"

namespace {

namespace fs = std::filesystem;

std::string ServerBin() {
    for (const char* v : {"15", "16", "17", "14", "13"}) {
        const std::string dir = std::string("/usr/lib/postgresql/") + v + "/bin";
        if (fs::exists(dir + "/initdb") && fs::exists(dir + "/pg_ctl")) return dir;
    }
    return {};
}

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t n = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    close(s);
    return ntohs(a.sin_port);
}

// initdb refuses root, so as root the server runs as the postgres system user.
int AsServerUser(const std::string& command) {
    const std::string full = getuid() == 0 ? "runuser -u postgres -- sh -c '" + command + "'" : command;
    const int raw = std::system((full + " >/dev/null 2>&1").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class PostgresStore : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bin_ = ServerBin();
        if (bin_.empty()) return;
        dir_ = "/tmp/drills_pg_" + std::to_string(getpid());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        if (getuid() == 0) std::system(("chown postgres " + dir_).c_str());
        port_ = FreePort();
        ASSERT_EQ(AsServerUser(bin_ + "/initdb -D " + dir_ + "/data -U postgres --auth=trust"), 0)
            << "initdb failed";
        ASSERT_EQ(Ctl("start"), 0) << "the server did not start; see " << dir_ << "/log";
    }
    static void TearDownTestSuite() {
        if (bin_.empty()) return;
        Ctl("stop -m immediate");
        fs::remove_all(dir_);
    }
    static int Ctl(const std::string& what) {
        return AsServerUser(bin_ + "/pg_ctl -D " + dir_ + "/data -l " + dir_ + "/log -w -o \"-p " +
                            std::to_string(port_) + " -k " + dir_ +
                            " -c listen_addresses=127.0.0.1 -c fsync=off\" " + what);
    }
    void SetUp() override {
        if (bin_.empty())
            GTEST_SKIP()
                << "PostgreSQL server binaries (initdb, pg_ctl) are not installed; tools/setup.sh installs "
                   "the postgresql package";
        // Each test starts from an empty database.
        PGconn* c = PQconnectdb(Address().c_str());
        ASSERT_EQ(PQstatus(c), CONNECTION_OK) << PQerrorMessage(c);
        PQclear(PQexec(c, "DROP TABLE IF EXISTS results; DROP TABLE IF EXISTS drills_schema"));
        PQfinish(c);
    }
    static std::string Address() {
        return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/postgres";
    }
    static std::string Scalar(const std::string& sql) {
        PGconn* c = PQconnectdb(Address().c_str());
        PGresult* r = PQexec(c, sql.c_str());
        std::string v = PQntuples(r) > 0 ? PQgetvalue(r, 0, 0) : "";
        PQclear(r);
        PQfinish(c);
        return v;
    }

    static inline std::string bin_, dir_;
    static inline int port_ = 0;
};

shell::ProblemRecord Problem(int entry, const std::string& outcome, int sequence) {
    shell::ProblemRecord p;
    p.program = "morvane";
    p.entry = entry;
    p.clock = "08:00:00";
    p.sequence = sequence;
    p.started = "2026-12-09T08:00:00Z";
    p.seconds = 4.5;
    p.answers = {"x=３", "x=4"};
    p.outcome = outcome;
    p.hints = 2;
    return p;
}

TEST_F(PostgresStore, RecordsAndReportsANameAsTyped) {
    const std::string pupil = "Robert'); DROP TABLE results;--";
    std::ostringstream warn;
    {
        results::Store store(Address(), pupil, warn);
        store.record(Problem(2, "right2", 1));
        store.record(Problem(2, "solution", 2));
        EXPECT_EQ(store.finish(), 0u);
    }
    EXPECT_EQ(warn.str(), "");
    const auto rows = results::OpenPostgres(Address())->load({});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].pupil, pupil);
    EXPECT_EQ(rows[0].problem.answers, (std::vector<std::string>{"x=３", "x=4"}));
    EXPECT_DOUBLE_EQ(rows[1].problem.seconds, 4.5);
    // The summary is kept whole: a reference into a temporary one would dangle.
    const auto summary = results::Summarise(rows);
    const auto& e = summary.at(pupil).at("morvane").at(2);
    EXPECT_EQ(e.right2, 1);
    EXPECT_EQ(e.solution, 1);
    EXPECT_EQ(Scalar("SELECT version FROM drills_schema"), std::to_string(results::SchemaVersion()));
}

TEST_F(PostgresStore, TheDatabasesSummaryAgreesWithTheRowsReadBack) {
    std::ostringstream warn;
    {
        std::map<std::string, std::unique_ptr<results::Store>> stores;
        for (const auto& w : results_rig::VariedHistory(600)) {
            auto& store = stores[w.pupil];
            if (!store) store = std::make_unique<results::Store>(Address(), w.pupil, warn);
            store->record(w.problem);
        }
        for (auto& [pupil, store] : stores) EXPECT_EQ(store->finish(), 0u) << pupil;
    }
    EXPECT_EQ(warn.str(), "");
    const auto db = results::OpenPostgres(Address());
    ASSERT_EQ(results::Summarise(db->load({})).size(), 3u);
    for (const auto& filter : results_rig::ReportFilters()) {
        SCOPED_TRACE(filter.pupil + "|" + filter.program + "|" + filter.since);
        results_rig::ExpectSameSummary(db->summarise(filter), results::Summarise(db->load(filter)));
    }
}

TEST_F(PostgresStore, ADatabaseOfTheFirstVersionMigrates) {
    PGconn* c = PQconnectdb(Address().c_str());
    PQclear(PQexec(
        c,
        "CREATE TABLE drills_schema (version INTEGER NOT NULL); INSERT INTO drills_schema VALUES (1);"
        "CREATE TABLE results (id BIGSERIAL PRIMARY KEY, pupil TEXT NOT NULL, program TEXT NOT NULL, "
        "entry INTEGER NOT NULL, clock TEXT NOT NULL, started TEXT NOT NULL, seconds DOUBLE PRECISION "
        "NOT NULL, answers TEXT NOT NULL, outcome TEXT NOT NULL, hints INTEGER NOT NULL);"
        "INSERT INTO results (pupil, program, entry, clock, started, seconds, answers, outcome, hints) "
        "VALUES ('aki', 'quillon', 5, '01:02:03', '2026-01-01T00:00:00Z', 9, '[]', 'right3', 2)"));
    PQfinish(c);
    std::ostringstream warn;
    {
        results::Store store(Address(), "ben", warn);
        store.record(Problem(1, "right1", 1));
    }
    EXPECT_EQ(warn.str(), "");
    EXPECT_EQ(Scalar("SELECT version FROM drills_schema"), std::to_string(results::SchemaVersion()));
    const auto rows = results::OpenPostgres(Address())->load({});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].pupil, "aki");
    EXPECT_FALSE(rows[0].problem.viewing);
}

TEST_F(PostgresStore, AnUnreachableServerKeepsProblemsUntilItAnswers) {
    std::ostringstream warn;
    results::Store store(Address(), "aki", warn);
    ASSERT_EQ(Ctl("stop -m fast"), 0);
    store.record(Problem(1, "right1", 1));
    store.record(Problem(1, "left", 2));
    EXPECT_EQ(store.pending(), 2u);
    const std::string said = warn.str();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    ASSERT_EQ(Ctl("start"), 0);
    store.record(Problem(1, "right3", 3));
    EXPECT_EQ(store.pending(), 0u);
    EXPECT_EQ(Scalar("SELECT count(*) FROM results"), "3");
}

TEST_F(PostgresStore, FourProcessesWritingAtOnceLoseNoRow) {
    constexpr int kEach = 1000;
    results_rig::FourWritersAtOnce(Address(), kEach, [](int, int i) { return Problem(1 + i % 9, "right1", i); });
    EXPECT_EQ(Scalar("SELECT count(DISTINCT pupil || '/' || sequence) FROM results"),
              std::to_string(4 * kEach));
}

}  // namespace
