// libpq is loaded when a server is first used, not at every start: a start
// on the database file then loads neither it nor the two dozen libraries it
// needs (TLS, Kerberos, LDAP). The server session's calls
// (data/server_session.cpp) reach these forwarders, which find libpq's own
// functions on their first call. Qt's PostgreSQL driver loads libpq for the
// connection it hands over, so by then the library is in the process and
// these find that very library.
#include <libpq-fe.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace {

void *libpqFunction(const char *name)
{
    static void *const library = dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL);
    if (void *function = library ? dlsym(library, name) : nullptr)
        return function;
    // Only reached with a connection of the driver, which needs libpq.
    std::fprintf(stderr, "trelok: libpq: %s\n", dlerror());
    std::abort();
}

template <class F> F found(const char *name)
{
    return reinterpret_cast<F>(libpqFunction(name));
}

} // namespace

extern "C" {

int PQbackendPID(const PGconn *conn)
{
    static const auto f = found<decltype(&PQbackendPID)>("PQbackendPID");
    return f(conn);
}

void PQclear(PGresult *res)
{
    static const auto f = found<decltype(&PQclear)>("PQclear");
    f(res);
}

char *PQcmdStatus(PGresult *res)
{
    static const auto f = found<decltype(&PQcmdStatus)>("PQcmdStatus");
    return f(res);
}

char *PQerrorMessage(const PGconn *conn)
{
    static const auto f = found<decltype(&PQerrorMessage)>("PQerrorMessage");
    return f(conn);
}

PGresult *PQexec(PGconn *conn, const char *query)
{
    static const auto f = found<decltype(&PQexec)>("PQexec");
    return f(conn, query);
}

ExecStatusType PQresultStatus(const PGresult *res)
{
    static const auto f = found<decltype(&PQresultStatus)>("PQresultStatus");
    return f(res);
}

ConnStatusType PQstatus(const PGconn *conn)
{
    static const auto f = found<decltype(&PQstatus)>("PQstatus");
    return f(conn);
}

} // extern "C"
