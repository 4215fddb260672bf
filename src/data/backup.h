#pragma once

#include "data/own_files.h"
#include "data/result.h"

#include <QDate>
#include <QString>

#include <atomic>

class QTextStream;

namespace trelok {

class Store;

// Copies the open database into file: a consistent copy is written beside
// it under a temporary name, opened and checked (PRAGMA integrity_check),
// and only then renamed into place. On failure nothing is left behind and
// an existing file of that name stays as it was. The database file itself
// is never a target. When stop is given, setting it from another thread
// interrupts the copy and its check, and the side file is removed: the copy
// is then not made.
DbStatus backupDatabase(Store &store, const QString &file,
                        const std::atomic<bool> *stop = nullptr);

inline constexpr int keptDailyBackups = 30;

enum class DailyBackup { AlreadyDone, Written, BeingWritten };

// On the first start of a day: writes the day's copy unless it is there
// (or the database was opened read-only),
// then removes the oldest daily copies beyond the newest keep. When another
// start holds the lock, nothing is waited for and nothing written
// (BeingWritten); a lock whose holder is gone is taken over.
DbResult<DailyBackup> dailyBackup(Store &store, const QString &appDir, QDate today,
                                  int keep = keptDailyBackups,
                                  const std::atomic<bool> *stop = nullptr);

// --backup FILE: the copy on demand, onto none of the program's own files
// (ownFileRefusal). Reports on out or err; returns the exit
// status (0 only when the checked copy is in place).
int backupFromCommandLine(Store &store, const QString &file, QTextStream &out, QTextStream &err);

} // namespace trelok
