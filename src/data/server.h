#pragma once

#include "data/result.h"

#include <QString>

class QSqlDatabase;

namespace trelok {

class Store;

// Where the shared database lives, from an address such as
// postgresql://clerk@dbhost:5432/trelok or
// postgresql://clerk@/trelok?host=/run/postgresql (a Unix socket folder).
// Empty parts are left to libpq's defaults (PGHOST, PGUSER, ...). The
// address never holds a password: libpq reads ~/.pgpass and PGPASSWORD.
struct ServerAddress {
    QString host;
    int port = -1;
    QString user;
    QString database;
};
DbResult<ServerAddress> parseServerAddress(const QString &url);

// Adds and opens the connection named name to the server at url.
DbStatus connectServer(const QString &name, const QString &url);

// The first start against an empty server database creates the tables,
// their indexes and the reference data in one transaction. Two workstations
// starting at the same moment take an advisory lock, so one of them
// installs and the other finds the tables. A database that holds any table
// is left as it is.
DbStatus installServerIfEmpty(QSqlDatabase &db);

// Copies the shared data of an opened single-user installation (orders,
// counter, configuration row, reference tables, register) into the empty
// server database at url, in one transaction; a database that holds any
// table is refused. The number of rows copied, by table, is returned.
DbResult<qint64> copyToServer(Store &source, const QString &url);

} // namespace trelok
