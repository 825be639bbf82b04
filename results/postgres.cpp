#include <libpq-fe.h>

#include <memory>
#include <stdexcept>

#include "results/codec.h"
#include "results/schema.h"
#include "results/store.h"

namespace results {

namespace {

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

class Postgres final : public Database {
public:
    explicit Postgres(std::string address) : address_(std::move(address)) {}
    ~Postgres() override {
        if (conn_) PQfinish(conn_);
    }

    void insert(const std::string& pupil, const shell::ProblemRecord& p) override {
        Connect();
        const std::string entry = std::to_string(p.entry), seconds = std::to_string(p.seconds),
                          answers = EncodeAnswers(p.answers), hints = std::to_string(p.hints),
                          viewing = p.viewing ? "1" : "0", sequence = std::to_string(p.sequence);
        const char* values[] = {pupil.c_str(),     p.program.c_str(), entry.c_str(),   p.clock.c_str(),
                                p.started.c_str(), seconds.c_str(),   answers.c_str(), p.outcome.c_str(),
                                hints.c_str(),     viewing.c_str(),   sequence.c_str()};
        // A single statement is its own transaction.
        Run(std::string("INSERT INTO results (") + kColumns +
                ") VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11)",
            values, 11, PGRES_COMMAND_OK);
    }

    std::vector<StoredProblem> load(const Filter& f) override {
        Connect();
        const char* values[] = {f.pupil.c_str(), f.program.c_str(), f.since.c_str()};
        Result r = Run(std::string("SELECT ") + kColumns +
                           " FROM results WHERE ($1 = '' OR pupil = $1) AND ($2 = '' OR program = $2)"
                           " AND ($3 = '' OR started >= $3) ORDER BY id",
                       values, 3, PGRES_TUPLES_OK);
        std::vector<StoredProblem> out;
        const int rows = PQntuples(r.get());
        out.reserve(static_cast<size_t>(rows));
        for (int i = 0; i < rows; ++i) {
            auto text = [&](int c) { return std::string(PQgetvalue(r.get(), i, c)); };
            StoredProblem s;
            s.pupil = text(0);
            s.problem.program = text(1);
            s.problem.entry = std::stoi(text(2));
            s.problem.clock = text(3);
            s.problem.started = text(4);
            s.problem.seconds = std::stod(text(5));
            s.problem.answers = DecodeAnswers(text(6));
            s.problem.outcome = text(7);
            s.problem.hints = std::stoi(text(8));
            s.problem.viewing = text(9) != "0";
            s.problem.sequence = std::stoi(text(10));
            out.push_back(std::move(s));
        }
        return out;
    }

    Summary summarise(const Filter& f) override {
        Connect();
        const char* values[] = {f.pupil.c_str(), f.program.c_str(), f.since.c_str()};
        Result r = Run(SummaryQuery("$1", "$2", "$3", " COLLATE \"C\""), values, 3, PGRES_TUPLES_OK);
        Summary out;
        for (int i = 0, rows = PQntuples(r.get()); i < rows; ++i) {
            auto text = [&](int c) { return std::string(PQgetvalue(r.get(), i, c)); };
            auto number = [&](int c) { return std::stoi(text(c)); };
            EntrySummary& e = out[text(0)][text(1)][number(2)];
            e.practised = number(3);
            e.right1 = number(4);
            e.right2 = number(5);
            e.right3 = number(6);
            e.solution = number(7);
            e.left = e.practised - e.right1 - e.right2 - e.right3 - e.solution;
            e.viewed = number(8);
            e.hints = number(9);
            e.seconds = std::stod(text(10));
            e.last = text(11);  // NULL reads as ""
            const int recent = PQgetisnull(r.get(), i, 12) ? 0 : number(12);  // NULL: no practice
            e.trend = TrendOf(e.practised, recent, e.right1 - recent);
        }
        return out;
    }

private:
    void Connect() {
        if (conn_ && PQstatus(conn_) == CONNECTION_OK) return;
        if (conn_) PQfinish(conn_);
        // A server that does not answer is given up after two seconds, as a locked SQLite file is,
        // unless the address says otherwise (its own connect_timeout comes later and wins).
        const char* const keywords[] = {"connect_timeout", "dbname", nullptr};
        const char* const values[] = {"2", address_.c_str(), nullptr};
        conn_ = PQconnectdbParams(keywords, values, 1);
        if (PQstatus(conn_) != CONNECTION_OK) {
            std::string why = PQerrorMessage(conn_);
            while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
            PQfinish(conn_);
            conn_ = nullptr;
            throw std::runtime_error(why);
        }
        // The server's notices (a table that already exists) are not for the pupil's terminal.
        PQsetNoticeProcessor(
            conn_, [](void*, const char*) {}, nullptr);
        Migrate();
    }

    Result Run(const std::string& sql, const char* const* values, int count, ExecStatusType expected) {
        Result r(PQexecParams(conn_, sql.c_str(), count, nullptr, values, nullptr, nullptr, 0), &PQclear);
        if (PQresultStatus(r.get()) != expected) {
            std::string why = PQerrorMessage(conn_);
            while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
            throw std::runtime_error(why);
        }
        return r;
    }

    void Exec(const std::string& sql) {
        Result r(PQexec(conn_, sql.c_str()), &PQclear);
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK && PQresultStatus(r.get()) != PGRES_TUPLES_OK) {
            const std::string why = PQerrorMessage(conn_);
            Result rollback(PQexec(conn_, "ROLLBACK"), &PQclear);
            throw std::runtime_error(why);
        }
    }

    // The version lives in a one-row table; an advisory lock keeps two machines that start
    // together from migrating at once, and each migration commits with its version.
    void Migrate() {
        Exec("BEGIN");
        Exec("SELECT pg_advisory_xact_lock(7345001)");
        Exec("CREATE TABLE IF NOT EXISTS drills_schema (version INTEGER NOT NULL)");
        Result r(PQexec(conn_, "SELECT version FROM drills_schema"), &PQclear);
        int version = 0;
        if (PQresultStatus(r.get()) == PGRES_TUPLES_OK && PQntuples(r.get()) > 0)
            version = std::stoi(PQgetvalue(r.get(), 0, 0));
        else
            Exec("INSERT INTO drills_schema VALUES (0)");
        for (int v = version; v < SchemaVersion(); ++v) {
            Exec(kMigrations[static_cast<size_t>(v)].postgres);
            Exec("UPDATE drills_schema SET version = " + std::to_string(v + 1));
        }
        Exec("COMMIT");
    }

    std::string address_;
    PGconn* conn_ = nullptr;
};

}  // namespace

std::unique_ptr<Database> OpenPostgres(const std::string& address) {
    return std::make_unique<Postgres>(address);
}

}  // namespace results
