#pragma once

#include <QDate>
#include <QString>

namespace trelok {

class Store;

// The files the program keeps in its application directory: the database
// and its journals, the four fonts and their licence, trelok.conf, the lock
// of the installation, and in backup/ the daily copies and their lock.

// The folder of the daily copies in an application directory, and the copy
// of one day in it: backup/trelok-YYYY-MM-DD.db.
QString backupFolder(const QString &appDir);
QString dailyBackupPath(const QString &appDir, QDate day);

// The lock file in the backup folder that the writer of a daily copy holds,
// so two starts on one day never write copies at once.
QString dailyBackupLock(const QString &appDir);

// Why a command may not write target: it is one of the program's own files
// of appDir under any name (a link, another spelling of the path), or the
// path of one not there yet. Empty when it may. The one check of every
// command that writes a file the user names.
QString ownFileRefusal(const QString &target, const QString &appDir);
// The same for the application directory that holds the store's file.
QString ownFileRefusal(const QString &target, const Store &store);

} // namespace trelok
