#include "data/installer.h"

#include "data/csv.h"
#include "data/schema.h"
#include "data/store.h"
#include "platform/fonts.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

QString readResource(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"Ne moze da se procita %1: %2"_s.arg(path, file.errorString());
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

// Creates the tables and loads the delivered rows into a new database file.
DbStatus build(const QString &path)
{
    const QString name = u"trelok-install"_s;
    DbStatus status = succeeded();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        auto fail = [&](const QString &text) { return DbStatus::failure(text); };
        if (!db.open()) {
            status = fail(db.lastError().text());
        } else if (!db.transaction()) {
            status = fail(db.lastError().text());
        } else {
            QString error;
            const QString schema = readResource(u":/assets/schema.sql"_s, &error);
            QSqlQuery query(db);
            QStringList lines = schema.split(u'\n');
            lines.removeIf([](const QString &l) { return l.trimmed().startsWith(u"--"); });
            const QStringList statements = lines.join(u'\n').split(u';');
            for (QString statement : statements) {
                statement = statement.trimmed();
                if (statement.isEmpty() || !error.isEmpty())
                    continue;
                if (!query.exec(statement))
                    error = query.lastError().text();
            }
            for (const QString &table : tableNames()) {
                if (!error.isEmpty())
                    break;
                const QString file = u":/assets/data/%1.csv"_s.arg(table);
                if (!QFile::exists(file))
                    continue;
                const QList<QStringList> records = parseCsv(readResource(file, &error));
                if (records.isEmpty())
                    continue;
                const QStringList columns = records.first();
                QStringList marks;
                for (qsizetype i = 0; i < columns.size(); ++i)
                    marks.append(u"?"_s);
                if (!query.prepare(u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(
                        table, columns.join(u','), marks.join(u','))))
                    error = query.lastError().text();
                for (qsizetype r = 1; r < records.size() && error.isEmpty(); ++r) {
                    for (qsizetype c = 0; c < columns.size(); ++c)
                        query.bindValue(
                            c, records[r].value(c, u""_s).isNull() ? u""_s : records[r].value(c));
                    if (!query.exec())
                        error = u"%1: %2"_s.arg(file, query.lastError().text());
                }
            }
            query.finish();
            if (!error.isEmpty()) {
                db.rollback();
                status = fail(error);
            } else if (!db.commit()) {
                status = fail(db.lastError().text());
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return status;
}

DbStatus copyFonts(const QString &directory)
{
    const QDir dir(directory);
    for (const QString &font : fontFileNames()) {
        const QString target = dir.filePath(font);
        if (QFile::exists(target))
            continue;
        QFile source(u":/fonts/"_s + font);
        QSaveFile out(target);
        if (!source.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) ||
            out.write(source.readAll()) < 0 || !out.commit())
            return DbStatus::failure(
                u"Fontot %1 ne moze da se kopira: %2"_s.arg(target, out.errorString()));
    }
    const QString licence = dir.filePath(u"OFL.txt"_s);
    if (!QFile::exists(licence))
        QFile::copy(u":/assets/fonts/OFL.txt"_s, licence);
    return succeeded();
}

} // namespace

QString databasePath(const QString &directory)
{
    return QDir(directory).filePath(QString::fromLatin1(databaseFileName));
}

DbResult<Installed> installIfMissing(const QString &directory)
{
    const QString target = databasePath(directory);
    if (QFile::exists(target))
        return Installed::AlreadyThere;
    if (!QDir().mkpath(directory))
        return DbResult<Installed>::failure(
            u"Direktoriumot %1 ne moze da se kreira"_s.arg(directory));
    // Built beside the target and renamed when complete, so an interrupted
    // installation never leaves a half-filled database behind.
    const QString partial = target + u".install"_s;
    QFile::remove(partial);
    DbStatus built = build(partial);
    if (built && !QFile::rename(partial, target))
        built = DbStatus::failure(u"%1 ne moze da se zapise"_s.arg(target));
    if (!built) {
        QFile::remove(partial);
        return DbResult<Installed>::failure(built.error());
    }
    // Font files missing from the directory are copied; existing ones stay.
    DbStatus fonts = copyFonts(directory);
    if (!fonts)
        return DbResult<Installed>::failure(fonts.error());
    return Installed::Now;
}

} // namespace trelok
