#pragma once

#include "data/result.h"

#include <QString>

class QSqlDatabase;

namespace trelok {

inline constexpr auto databaseFileName = "trelok.db";
inline constexpr auto lockFileName = "trelok.lock";
inline constexpr auto licenceFileName = "OFL.txt";

// Path of the database file in an application directory.
QString databasePath(const QString &directory);

enum class Installed { AlreadyThere, Now };

// Makes the application directory complete, at every start:
// - the font files and their licence are part of the program: one that is
//   missing or differs from the built-in copy is written again from it;
// - when there is no database file, the tables and the delivered reference
//   data are built in a side file and renamed into place only when the fonts
//   and the database are complete, every write checked to its last byte.
// Writers take the lock file of the directory, so two first starts at the
// same moment are serialised and the second uses the first one's
// installation. An existing database file is never touched (one of no
// bytes holds nothing and is installed over), and a failed or interrupted
// installation leaves no database file behind.
DbResult<Installed> installIfMissing(const QString &directory);

class Store;

// Installs when needed and opens the application's database: the file of
// the directory, or with a server address the server's shared data beside
// the file that keeps the workstation's own settings.
DbStatus openApplicationDatabase(Store &store, const QString &directory, const QString &serverUrl);

// The first start against an empty server database at url creates the
// tables, their indexes and the reference data in one transaction. Two
// workstations starting at the same moment take the installation's lock,
// so one of them installs and the other finds the tables. A database that
// holds any table is left as it is.
DbStatus installServerIfEmpty(const QString &url);

// The tables, their indexes and the delivered reference data, written into
// an open database inside the caller's transaction.
DbStatus createTablesAndData(QSqlDatabase &db);

} // namespace trelok
