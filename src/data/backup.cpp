#include "data/backup.h"

#include "data/statements.h"
#include "data/store.h"
#include "platform/file_writes.h"
#include "platform/os_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QTemporaryFile>
#include <QTextStream>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// How long a copy made in the background waits for a database another
// program holds, in steps of stepMs.
constexpr int busySteps = 500;
constexpr int busyStepMs = 10;

// Makes the statements of a store's SQLite connection stop when stop is
// set: a running statement is interrupted, a held database no longer
// waited for.
void stopWhenAsked(Store &store, const std::atomic<bool> *stop)
{
    if (!stop)
        return;
    const QVariant handle =
        QSqlDatabase::database(store.connectionName(), false).driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    sqlite3 *db = *static_cast<sqlite3 *const *>(handle.constData());
    void *flag = const_cast<std::atomic<bool> *>(stop);
    sqlite3_progress_handler(
        db, 1000, [](void *f) { return static_cast<std::atomic<bool> *>(f)->load() ? 1 : 0; },
        flag);
    sqlite3_busy_handler(
        db,
        [](void *f, int tries) {
            if (static_cast<std::atomic<bool> *>(f)->load() || tries >= busySteps)
                return 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(busyStepMs));
            return 1;
        },
        flag);
}

bool stopped(const std::atomic<bool> *stop)
{
    return stop && stop->load();
}

DbStatus stoppedCopy()
{
    return DbStatus::failure(u"Kopijata e prekinata"_s);
}

// The copy must open as a database of this system and pass the check.
DbStatus checkCopy(const QString &path, const std::atomic<bool> *stop)
{
    Store copy;
    if (auto opened = copy.open(path); !opened)
        return opened;
    stopWhenAsked(copy, stop);
    // The check reads every page of the copy: through the page cache, so
    // memory stays flat whatever the database's size.
    (void)copy.exec(sql::file::noMapping);
    auto check = copy.texts(sql::backup::integrityCheck);
    if (!check)
        return DbStatus::failure(check);
    QStringList lines;
    for (const QStringList &row : check.value())
        lines.append(row.value(0));
    if (lines != QStringList{u"ok"_s})
        return DbStatus::failure(u"Kopijata ne ja pomina proverkata: %1"_s.arg(lines.join(u"; ")));
    return succeeded();
}

// The side file of a copy being written beside target: the writer's
// process number in its name tells a copy still being written from the
// leftover of one that was interrupted.
QString partialPattern(const QString &target)
{
    return u".%1-%2-XXXXXX.part"_s.arg(target).arg(QCoreApplication::applicationPid());
}

// Removes the side files (and their journals) of earlier copies to a
// target whose name matches targetName, whose writer is gone. Nothing else
// in the folder is touched.
void removeLeftovers(const QDir &folder, const QString &targetName)
{
    const QRegularExpression leftover(u"^\\.(%1)-(\\d+)-[A-Za-z0-9]{6}\\.part(-journal)?$"_s.arg(
        targetName));
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const auto match = leftover.match(name);
        if (!match.hasMatch())
            continue;
        if (os::processRuns(match.captured(2).toLongLong()))
            continue; // still being written
        QFile::remove(folder.filePath(name));
    }
}

} // namespace

DbStatus backupDatabase(Store &store, const QString &file, const std::atomic<bool> *stop)
{
    if (sameFile(file, store.path()))
        return DbStatus::failure(u"Kopijata ne moze da se zapise vrz samata baza: %1"_s.arg(file));
    const QFileInfo target(file);
    if (!target.absoluteDir().exists())
        return DbStatus::failure(u"Papkata %1 ne postoi"_s.arg(target.absolutePath()));
    if (target.isDir())
        return DbStatus::failure(u"%1 e papka"_s.arg(file));
    removeLeftovers(target.absoluteDir(), QRegularExpression::escape(target.fileName()));
    // The side file's name is reserved by creating the file, which is closed
    // for good at once: Windows neither copies into nor renames a file that
    // this process keeps open. It goes on every way out but success.
    QString partial;
    {
        QTemporaryFile reserved(target.absoluteDir().filePath(partialPattern(target.fileName())));
        if (!reserved.open())
            return DbStatus::failure(u"Ne moze da se zapise vo %1: %2"_s.arg(
                target.absolutePath(), reserved.errorString()));
        reserved.setAutoRemove(false);
        partial = reserved.fileName();
    }
    bool named = false;
    // An interrupted copy may leave a journal beside its side file.
    const auto removePartial = qScopeGuard([&partial, &named] {
        if (!named)
            QFile::remove(partial);
        QFile::remove(partial + u"-journal"_s);
    });
    stopWhenAsked(store.local(), stop);
    // VACUUM INTO reads the whole database: not through the mapping, which
    // would keep every page read in the program's memory.
    const Store::Unmapped unmapped(store.local());
    if (auto copied = store.local().exec(sql::backup::copyInto, {partial}); !copied)
        return stopped(stop) ? stoppedCopy() : copied;
    if (auto checked = checkCopy(partial, stop); !checked)
        return stopped(stop) ? stoppedCopy() : checked;
    if (stopped(stop))
        return stoppedCopy();
    // The copy reaches the disk before it gets its name, and the name after.
    if (!os::syncPath(partial))
        return DbStatus::failure(u"Kopijata ne moze da se zapise na diskot: %1: %2"_s.arg(
            file, os::errorText(errno)));
    // rename replaces an existing copy in one step.
    if (const int error = os::replaceByRename(partial, target.absoluteFilePath()))
        return DbStatus::failure(
            u"Kopijata ne moze da se preimenuva vo %1: %2"_s.arg(file, os::errorText(error)));
    named = true;
    os::syncFolder(target.absolutePath());
    return succeeded();
}

DbResult<DailyBackup> dailyBackup(Store &store, const QString &appDir, QDate today, int keep,
                                  const std::atomic<bool> *stop)
{
    const QString path = dailyBackupPath(appDir, today);
    // A database protected from writing does not change, and its folder
    // is not written into: the copies there stand for it.
    if (QFileInfo::exists(path) || store.readOnly())
        return DailyBackup::AlreadyDone;
    const QString folder = backupFolder(appDir);
    if (!QDir().mkpath(folder))
        return DbResult<DailyBackup>::failure(u"Papkata %1 ne moze da se napravi"_s.arg(folder));
    os::keepPrivate(folder, {});
    // Taken without waiting: a start that finds it held leaves the copy to
    // the holder. Only the holder's process decides that a lock is stale.
    QLockFile lock(dailyBackupLock(appDir));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        if (lock.error() == QLockFile::LockFailedError)
            return DailyBackup::BeingWritten;
        return DbResult<DailyBackup>::failure(
            u"Papkata %1 ne moze da se zapise"_s.arg(folder));
    }
    // The holder before may have finished it meanwhile.
    if (QFileInfo::exists(path))
        return DailyBackup::AlreadyDone;
    // Side files of any day's copy that was interrupted.
    removeLeftovers(QDir(folder), u"trelok-\\d{4}-\\d{2}-\\d{2}\\.db"_s);
    if (auto written = backupDatabase(store, path, stop); !written)
        return DbResult<DailyBackup>::failure(written);

    // The dated names sort as their dates: the newest keep stay.
    static const QRegularExpression dated(u"^trelok-\\d{4}-\\d{2}-\\d{2}\\.db$"_s);
    QStringList copies;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name | QDir::Reversed))
        if (dated.match(name).hasMatch())
            copies.append(name);
    for (qsizetype i = keep; i < copies.size(); ++i)
        if (!QFile::remove(QDir(folder).filePath(copies[i])))
            return DbResult<DailyBackup>::failure(
                u"Kopijata e napravena, no starata kopija %1 ne moze da se izbrise"_s.arg(
                    QDir(folder).filePath(copies[i])));
    return DailyBackup::Written;
}

int backupFromCommandLine(Store &store, const QString &file, QTextStream &out, QTextStream &err)
{
    // The daily copies are the program's to write; a copy on demand goes
    // onto none of its files.
    const QString own = ownFileRefusal(file, store);
    const DbStatus written = own.isEmpty() ? backupDatabase(store, file) : DbStatus::failure(own);
    if (!written) {
        err << "trelok: Rezervnata kopija ne e napravena: " << written.error() << "\n";
        err.flush();
        return 1;
    }
    out << "Rezervnata kopija e zapisana i proverena: " << file << "\n";
    out.flush();
    return 0;
}

} // namespace trelok
