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

// The file is the user's and is read line by line: "key=value" lines
// before the first [section] (or in [General]) are read, lines beginning
// with "#" or ";" are comments.
//
// The database= line: the address of the shared server database, or the
// empty text when the workstation works alone on its SQLite file.
QString configuredDatabase(const QString &appDir);
// Why a database= line is not read (inside another [section], or a second
// one), naming the file and the line; empty when every one is read.
QString unusedDatabaseLine(const QString &appDir);
// Writes the database= line (replacing the one read, or before the first
// section) and keeps every other line byte for byte; the file is the
// owner's alone. Returns the error text, empty on success.
QString storeConfiguredDatabase(const QString &appDir, const QString &url);

// The database a run uses: the --db option when given, else the
// environment variable TRELOK_DB, else trelok.conf; empty means the SQLite
// file of the application directory.
QString chosenDatabase(const QString &option, const QString &appDir);
// When trelok.conf decides (no option, no environment variable) and holds a
// database= line that is not read: why, so that a workstation meant for the
// server does not work on its own file unawares. Else empty.
QString databaseChoiceProblem(const QString &option, const QString &appDir);

} // namespace trelok
