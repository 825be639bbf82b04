// PostgreSQL's client library is loaded when a store on a server is first opened, not at every
// start: it brings some twenty libraries of its own (TLS, Kerberos, LDAP) whose loading and
// set-up cost each program milliseconds and megabytes before its first screen, for a store most
// classrooms never use. These are the functions the store calls, each handing over to the
// library's own; without the library a connection fails with a message saying what to install.
#include <libpq-fe.h>

#include "runtime/late_library.h"

namespace {

constexpr char kLibpq[] = "libpq.so.5";

template <class F>
F* find(const char* name) {
    return rt::LateFunction<kLibpq, F>(name);
}

char kMissing[] = "the PostgreSQL client library libpq.so.5 cannot be loaded (install libpq5)\n";
char kEmpty[] = "";

}  // namespace

extern "C" {

PGconn* PQconnectdbParams(const char* const* keywords, const char* const* values, int expand_dbname) {
    static auto* const f = find<decltype(PQconnectdbParams)>("PQconnectdbParams");
    return f ? f(keywords, values, expand_dbname) : nullptr;
}

ConnStatusType PQstatus(const PGconn* conn) {
    static auto* const f = find<decltype(PQstatus)>("PQstatus");
    return f ? f(conn) : CONNECTION_BAD;
}

char* PQerrorMessage(const PGconn* conn) {
    static auto* const f = find<decltype(PQerrorMessage)>("PQerrorMessage");
    return f ? f(conn) : kMissing;
}

void PQfinish(PGconn* conn) {
    static auto* const f = find<decltype(PQfinish)>("PQfinish");
    if (f) f(conn);
}

PQnoticeProcessor PQsetNoticeProcessor(PGconn* conn, PQnoticeProcessor proc, void* arg) {
    static auto* const f = find<decltype(PQsetNoticeProcessor)>("PQsetNoticeProcessor");
    return f ? f(conn, proc, arg) : nullptr;
}

PGresult* PQexec(PGconn* conn, const char* query) {
    static auto* const f = find<decltype(PQexec)>("PQexec");
    return f ? f(conn, query) : nullptr;
}

PGresult* PQexecParams(PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                       const char* const* paramValues, const int* paramLengths, const int* paramFormats,
                       int resultFormat) {
    static auto* const f = find<decltype(PQexecParams)>("PQexecParams");
    return f ? f(conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats, resultFormat)
             : nullptr;
}

ExecStatusType PQresultStatus(const PGresult* res) {
    static auto* const f = find<decltype(PQresultStatus)>("PQresultStatus");
    return f ? f(res) : PGRES_FATAL_ERROR;
}

void PQclear(PGresult* res) {
    static auto* const f = find<decltype(PQclear)>("PQclear");
    if (f) f(res);
}

int PQntuples(const PGresult* res) {
    static auto* const f = find<decltype(PQntuples)>("PQntuples");
    return f ? f(res) : 0;
}

char* PQgetvalue(const PGresult* res, int row, int column) {
    static auto* const f = find<decltype(PQgetvalue)>("PQgetvalue");
    return f ? f(res, row, column) : kEmpty;
}

int PQgetisnull(const PGresult* res, int row, int column) {
    static auto* const f = find<decltype(PQgetisnull)>("PQgetisnull");
    return f ? f(res, row, column) : 1;
}

}  // extern "C"
