#pragma once

#include <QString>

namespace trelok {

// trelok.conf in the application directory: an INI file of settings that
// belong to the workstation, one function per key.
inline constexpr auto configFileName = "trelok.conf";

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
