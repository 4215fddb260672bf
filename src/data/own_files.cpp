#include "data/own_files.h"

#include "data/installer.h"
#include "data/store.h"
#include "platform/app_config.h"
#include "platform/file_writes.h"
#include "platform/fonts.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace trelok {

QString backupFolder(const QString &appDir)
{
    return QDir(appDir).filePath(u"backup"_s);
}

QString dailyBackupPath(const QString &appDir, QDate day)
{
    return QDir(backupFolder(appDir))
        .filePath(u"trelok-%1.db"_s.arg(day.toString(u"yyyy-MM-dd"_s)));
}

QString dailyBackupLock(const QString &appDir)
{
    return QDir(backupFolder(appDir)).filePath(u"trelok-backup.lock"_s);
}

namespace {

// Whether path, as written or with its links resolved, names a daily copy
// or the lock in the backup folder.
bool inBackupFolder(const QString &path, const QString &appDir)
{
    static const QRegularExpression copy(u"^trelok-(\\d{4}-\\d{2}-\\d{2}\\.db|backup\\.lock)$"_s);
    const QString folder = QFileInfo(backupFolder(appDir)).canonicalFilePath();
    if (folder.isEmpty())
        return false;
    const QFileInfo info(path);
    for (const QString &spelling : {info.absoluteFilePath(), info.canonicalFilePath()}) {
        const QFileInfo candidate(spelling);
        if (!spelling.isEmpty() && copy.match(candidate.fileName()).hasMatch() &&
            QFileInfo(candidate.absolutePath()).canonicalFilePath() == folder)
            return true;
    }
    return false;
}

} // namespace

QString ownFileRefusal(const QString &target, const QString &appDir)
{
    const QString database = QString::fromLatin1(databaseFileName);
    QStringList own = fontFileNames();
    own << database << database + u"-journal"_s << database + u"-wal"_s << database + u"-shm"_s
        << QString::fromLatin1(licenceFileName) << QString::fromLatin1(configFileName)
        << QString::fromLatin1(lockFileName);
    const QDir dir(appDir);
    bool taken = inBackupFolder(target, appDir);
    for (qsizetype i = 0; i < own.size() && !taken; ++i)
        taken = sameFile(target, dir.filePath(own[i]));
    if (taken)
        return u"%1 e datoteka na programata i ne smee da se prezapise"_s.arg(target);
    return {};
}

QString ownFileRefusal(const QString &target, const Store &store)
{
    return ownFileRefusal(target, QFileInfo(store.path()).absolutePath());
}

} // namespace trelok
