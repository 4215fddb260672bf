#pragma once

#include "data/result.h"

#include <QString>

#include <functional>

class QSqlDatabase;
class QSqlError;

namespace trelok {

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

// The text of a server's error, never empty.
QString serverErrorText(const QSqlError &error);

// Runs a statement that takes no values as it is: the server does not
// prepare transaction control, locks or settings.
DbStatus execDirect(QSqlDatabase &db, const char *statement);

// How many tables the server database holds.
DbResult<qint64> serverTableCount(QSqlDatabase &db);

// Runs work in one transaction holding the installation's advisory lock:
// two workstations installing, or a copy meeting an installation, wait
// for each other.
DbStatus installationTransaction(QSqlDatabase &db, const std::function<DbStatus()> &work);

} // namespace trelok
