#include "data/installer.h"

#include "data/csv.h"
#include "data/schema.h"
#include "data/server.h"
#include "data/store.h"
#include "platform/app_config.h"
#include "platform/file_writes.h"
#include "platform/fonts.h"
#include "platform/os_files.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QResource>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// How long a start waits for another start that is installing.
constexpr int lockWaitMs = 60000;

QString readResource(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"Ne moze da se procita %1: %2"_s.arg(path, file.errorString());
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QString loadRows(QSqlDatabase &db)
{
    QString error;
    QSqlQuery query(db);
    for (const QString &table : tableNames()) {
        const QString file = u":/assets/data/%1.csv"_s.arg(table);
        if (!QFile::exists(file))
            continue;
        const QList<QStringList> records = parseCsv(readResource(file, &error));
        if (!error.isEmpty())
            return error;
        if (records.isEmpty())
            continue;
        const QStringList columns = records.first();
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks.append(u"?"_s);
        if (!query.prepare(u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, columns.join(u','),
                                                                    marks.join(u','))))
            return query.lastError().text();
        for (qsizetype r = 1; r < records.size(); ++r) {
            for (qsizetype c = 0; c < columns.size(); ++c)
                query.bindValue(c,
                                records[r].value(c, u""_s).isNull() ? u""_s : records[r].value(c));
            if (!query.exec())
                return u"%1: %2"_s.arg(file, query.lastError().text());
        }
    }
    return {};
}

// Creates the tables and loads the delivered rows into a new database file,
// in one transaction that SQLite writes through to the disk.
DbStatus build(const QString &path)
{
    const QString name = u"trelok-install"_s;
    DbStatus status = succeeded();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        if (!db.open() || !db.transaction()) {
            status = DbStatus::failure(db.lastError().text());
        } else {
            status = createTablesAndData(db);
            if (!status)
                db.rollback();
            else if (!db.commit())
                status = DbStatus::failure(db.lastError().text());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return status;
}

// The files the program delivers into the directory: the four faces and
// their licence, each with its built-in copy.
QList<std::pair<QString, QString>> deliveredFiles()
{
    QList<std::pair<QString, QString>> files;
    for (const QString &font : fontFileNames())
        files.append({font, u":/fonts/"_s + font});
    files.append({QString::fromLatin1(licenceFileName), u":/assets/fonts/OFL.txt"_s});
    return files;
}

// The built-in copy where the program holds it (stored uncompressed), not
// copied.
QByteArray builtIn(const QString &resource)
{
    const QResource stored(resource);
    return stored.isValid() ? stored.uncompressedData() : QByteArray();
}

// The delivered files that are missing or differ from the built-in copy.
QStringList damagedFiles(const QDir &dir)
{
    QStringList damaged;
    for (const auto &[name, resource] : deliveredFiles())
        if (!sameContent(dir.filePath(name), builtIn(resource)))
            damaged.append(name);
    return damaged;
}

DbStatus repairFiles(const QDir &dir)
{
    for (const auto &[name, resource] : deliveredFiles()) {
        const QString target = dir.filePath(name);
        const QByteArray data = builtIn(resource);
        if (data.isEmpty())
            return DbStatus::failure(u"Vgradenata kopija na %1 nedostasuva"_s.arg(name));
        if (sameContent(target, data))
            continue;
        if (const QString error = replaceFile(target, data); !error.isEmpty())
            return DbStatus::failure(error);
    }
    return succeeded();
}

// A database file of no bytes holds nothing: an earlier version could leave
// one behind after two simultaneous first starts. It is installed over.
bool emptyDatabase(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() == 0;
}

// Run with the lock held: only one process writes at a time.
DbResult<Installed> completeInstallation(const QDir &dir)
{
    // Side files of starts that were interrupted.
    QStringList leftovers;
    for (const auto &[name, resource] : deliveredFiles())
        leftovers.append(u"."_s + name + u".??????"_s);
    for (const QString &name : dir.entryList(leftovers, QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(name));
    DbStatus files = repairFiles(dir);
    if (!files)
        return DbResult<Installed>::failure(files.error());
    const QString target = databasePath(dir.path());
    if (QFileInfo::exists(target) && !emptyDatabase(target))
        return Installed::AlreadyThere;
    // The lock makes a fixed side-file name safe; one left by an
    // interrupted start is built anew.
    const QString partial = target + u".install"_s;
    QFile::remove(partial);
    QFile::remove(partial + u"-journal"_s);
    DbStatus built = build(partial);
    if (built && !os::syncPath(partial))
        built = DbStatus::failure(u"%1 ne moze da se zapise na diskot"_s.arg(partial));
    if (built && os::replaceByRename(partial, target) != 0)
        built = DbStatus::failure(u"%1 ne moze da se zapise"_s.arg(target));
    if (!built) {
        QFile::remove(partial);
        QFile::remove(partial + u"-journal"_s);
        return DbResult<Installed>::failure(built.error());
    }
    os::syncFolder(dir.path());
    return Installed::Now;
}

} // namespace

DbStatus createTablesAndData(QSqlDatabase &db)
{
    if (auto created = applySchema(db); !created)
        return created;
    if (const QString error = loadRows(db); !error.isEmpty())
        return DbStatus::failure(error);
    return succeeded();
}

DbStatus openApplicationDatabase(Store &store, const QString &directory, const QString &serverUrl)
{
    auto installed = installIfMissing(directory);
    if (!installed)
        return DbStatus::failure(installed);
    // What the program keeps here is the user's alone; a directory of
    // another owner is only read.
    os::keepPrivate(directory, {QString::fromLatin1(databaseFileName),
                            QString::fromLatin1(configFileName), u"backup"_s});
    if (serverUrl.isEmpty()) {
        if (auto opened = store.open(databasePath(directory)); !opened)
            return opened;
        // A file only read, or held by another program, lists without it.
        // Built reading the file through the page cache, not the memory map.
        if (!store.readOnly()) {
            const Store::Unmapped unmapped(store);
            QSqlDatabase db = QSqlDatabase::database(store.connectionName(), false);
            (void)addMissingIndexes(db);
        }
        return succeeded();
    }
    if (auto server = installServerIfEmpty(serverUrl); !server)
        return server;
    return store.openServer(serverUrl, databasePath(directory));
}

DbStatus installServerIfEmpty(const QString &url)
{
    const QString name = u"trelok-install-server"_s;
    DbStatus status = connectServer(name, url);
    if (status) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        status = [&db]() -> DbStatus {
            auto tables = serverTableCount(db);
            if (!tables)
                return DbStatus::failure(tables);
            if (tables.value() > 0) {
                // A user who may not make indexes lists without it; of two
                // workstations making it at once, one is refused.
                (void)addMissingIndexes(db);
                return succeeded();
            }
            return installationTransaction(db, [&db]() -> DbStatus {
                // Another workstation may have installed while this one waited.
                auto now = serverTableCount(db);
                if (!now)
                    return DbStatus::failure(now);
                if (now.value() > 0)
                    return succeeded();
                return createTablesAndData(db);
            });
        }();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return status;
}

QString databasePath(const QString &directory)
{
    return QDir(directory).filePath(QString::fromLatin1(databaseFileName));
}

DbResult<Installed> installIfMissing(const QString &directory)
{
    const QDir dir(directory);
    // A complete directory is only read, so it may be read-only.
    const QString database = databasePath(directory);
    if (QFileInfo(database).isFile() && !emptyDatabase(database) && damagedFiles(dir).isEmpty())
        return Installed::AlreadyThere;
    if (!QDir().mkpath(directory))
        return DbResult<Installed>::failure(
            u"Direktoriumot %1 ne moze da se kreira"_s.arg(directory));
    QLockFile lock(dir.filePath(QString::fromLatin1(lockFileName)));
    if (!lock.tryLock(lockWaitMs))
        return DbResult<Installed>::failure(u"Instalacijata vo %1 ne moze da se zakluci (%2)"_s.arg(
            directory, lock.error() == QLockFile::LockFailedError
                           ? u"druga programa ja instalira"_s
                           : u"nema pravo na zapisuvanje"_s));
    return completeInstallation(dir);
}

} // namespace trelok
