// libpq is loaded when a server is first used, not at every start: a start
// on the database file then loads neither it nor the two dozen libraries it
// needs (TLS, Kerberos, LDAP). The program's calls of libpq functions reach
// these forwarders, which find libpq's own function on their first call.
// Qt's PostgreSQL driver loads libpq for the connection it hands over, so by
// then the library is in the process and these find that very library.
// A libpq function the program calls needs its line below (the link says
// which one is missing).
#include <libpq-fe.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstdio>
#include <cstdlib>

namespace {

void *libpqFunction(const char *name)
{
#ifdef _WIN32
    // The installation's own libpq.dll, beside the program.
    static const HMODULE library = LoadLibraryW(L"libpq.dll");
    if (library)
        if (const FARPROC function = GetProcAddress(library, name))
            return reinterpret_cast<void *>(function);
    std::fprintf(stderr, "trelok: libpq.dll: %s ne e najdena\n", name);
#else
    static void *const library = dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL);
    if (void *function = library ? dlsym(library, name) : nullptr)
        return function;
    std::fprintf(stderr, "trelok: libpq: %s\n", dlerror());
#endif
    // Only reached with a connection of the driver, which needs libpq.
    std::abort();
}

template <class F> F found(const char *name)
{
    return reinterpret_cast<F>(libpqFunction(name));
}

} // namespace

#define TRELOK_LIBPQ(result, name, parameters, arguments)                                          \
    result name parameters                                                                         \
    {                                                                                              \
        static const auto f = found<decltype(&name)>(#name);                                       \
        return f arguments;                                                                        \
    }

extern "C" {

TRELOK_LIBPQ(int, PQbackendPID, (const PGconn *conn), (conn))
TRELOK_LIBPQ(void, PQclear, (PGresult * res), (res))
TRELOK_LIBPQ(char *, PQcmdStatus, (PGresult * res), (res))
TRELOK_LIBPQ(char *, PQerrorMessage, (const PGconn *conn), (conn))
TRELOK_LIBPQ(PGresult *, PQexec, (PGconn * conn, const char *query), (conn, query))
TRELOK_LIBPQ(ExecStatusType, PQresultStatus, (const PGresult *res), (res))
TRELOK_LIBPQ(ConnStatusType, PQstatus, (const PGconn *conn), (conn))
// Reading COPY ... TO STDOUT.
TRELOK_LIBPQ(int, PQgetCopyData, (PGconn * conn, char **buffer, int async), (conn, buffer, async))
TRELOK_LIBPQ(PGresult *, PQgetResult, (PGconn * conn), (conn))
TRELOK_LIBPQ(void, PQfreemem, (void *ptr), (ptr))
TRELOK_LIBPQ(char *, PQresultErrorMessage, (const PGresult *res), (res))
TRELOK_LIBPQ(char *, PQresultErrorField, (const PGresult *res, int fieldcode), (res, fieldcode))
TRELOK_LIBPQ(const char *, PQparameterStatus, (const PGconn *conn, const char *paramName),
             (conn, paramName))

// Reading a statement's rows one at a time.
TRELOK_LIBPQ(int, PQsendQueryParams,
             (PGconn * conn, const char *command, int nParams, const Oid *paramTypes,
              const char *const *paramValues, const int *paramLengths, const int *paramFormats,
              int resultFormat),
             (conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats,
              resultFormat))
TRELOK_LIBPQ(PGresult *, PQexecParams,
             (PGconn * conn, const char *command, int nParams, const Oid *paramTypes,
              const char *const *paramValues, const int *paramLengths, const int *paramFormats,
              int resultFormat),
             (conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats,
              resultFormat))
TRELOK_LIBPQ(int, PQsetSingleRowMode, (PGconn * conn), (conn))
TRELOK_LIBPQ(int, PQntuples, (const PGresult *res), (res))
TRELOK_LIBPQ(int, PQnfields, (const PGresult *res), (res))
TRELOK_LIBPQ(int, PQgetisnull, (const PGresult *res, int row, int column), (res, row, column))
TRELOK_LIBPQ(char *, PQgetvalue, (const PGresult *res, int row, int column), (res, row, column))
TRELOK_LIBPQ(int, PQgetlength, (const PGresult *res, int row, int column), (res, row, column))

} // extern "C"
