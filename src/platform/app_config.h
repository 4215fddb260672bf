#pragma once

#include <QString>

namespace trelok {

// The optional configuration file trelok.conf of the application directory
// (INI): settings that belong to the workstation, each read here by one
// function when it is needed; a missing file or key is the empty text.
inline constexpr auto configFileName = "trelok.conf";
QString configFilePath(const QString &appDir);

// archive=DIR: the folder that keeps a PDF copy of every page printed on
// paper. A relative folder is taken from the application directory.
QString archiveDirectory(const QString &appDir);

// The database= line: the address of the shared server database, or the
// empty text when the workstation works alone on its SQLite file.
QString configuredDatabase(const QString &appDir);
// Writes the database= line, keeping every other line; false when the file
// cannot be written.
bool storeConfiguredDatabase(const QString &appDir, const QString &url);

// The database a run uses: the --db option when given, else the
// environment variable TRELOK_DB, else trelok.conf; empty means the SQLite
// file of the application directory.
QString chosenDatabase(const QString &option, const QString &appDir);

} // namespace trelok
