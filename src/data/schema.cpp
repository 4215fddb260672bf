#include "data/schema.h"

#include "data/statements.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <vector>

using namespace Qt::StringLiterals;

namespace trelok {

QStringList tableNames()
{
    return {u"tbl_Trel"_s, u"tbl_cnf"_s,  u"tbl_vid"_s,  u"tbl_obvr"_s, u"tbl_opst"_s,
            u"tbl_cuo"_s,  u"tbl_prnt"_s, u"tbl_koor"_s, u"tbl_Broj"_s};
}

namespace {

// The orders the lists read in, in the form each engine compares texts by
// code point: the chooser's newest first, the export's, the period list's,
// the taxpayer register's by each column (and on the server by its ties).
// A database from before one of them gives the same rows without it, only
// slower, until it is opened again (addMissingIndexes).
std::vector<const char *> listIndexes(bool server)
{
    std::vector<const char *> all{
        server ? sql::newest::server::index : sql::newest::file::index,
        server ? sql::exported::serverIndex : sql::exported::fileIndex,
        server ? sql::period::server::index : sql::period::file::index};
    for (const char *index : server ? sql::obvr::server::index : sql::obvr::file::index)
        all.push_back(index);
    if (server)
        all.push_back(sql::obvr::server::tiesIndex);
    return all;
}

} // namespace

DbStatus applySchema(QSqlDatabase &db)
{
    QFile file(u":/assets/schema.sql"_s);
    if (!file.open(QIODevice::ReadOnly))
        return DbStatus::failure(
            u"Ne moze da se procita %1: %2"_s.arg(file.fileName(), file.errorString()));
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    lines.removeIf([](const QString &l) { return l.trimmed().startsWith(u"--"); });
    QSqlQuery query(db);
    for (QString statement : lines.join(u'\n').split(u';')) {
        statement = statement.trimmed();
        if (!statement.isEmpty() && !query.exec(statement))
            return DbStatus::failure(query.lastError().text());
    }
    for (const char *index : listIndexes(db.driverName() == u"QPSQL"_s))
        if (!query.exec(QString::fromLatin1(index)))
            return DbStatus::failure(query.lastError().text());
    return succeeded();
}

DbStatus addMissingIndexes(QSqlDatabase &db)
{
    const bool server = db.driverName() == u"QPSQL"_s;
    QSqlQuery query(db);
    DbStatus status = succeeded();
    for (const char *index : listIndexes(server)) {
        // "CREATE INDEX name ON ..."
        const QString name = QString::fromLatin1(index).section(u' ', 2, 2);
        if (!query.prepare(QString::fromLatin1(server ? sql::period::server::hasIndex
                                                      : sql::period::file::hasIndex)))
            return DbStatus::failure(query.lastError().text());
        query.addBindValue(name);
        if (!query.exec())
            return DbStatus::failure(query.lastError().text());
        const bool there = query.next();
        query.finish();
        if (!there && !query.exec(QString::fromLatin1(index)) && status)
            status = DbStatus::failure(query.lastError().text());
    }
    return status;
}

namespace {
// The columns of each CREATE TABLE of the schema text: the first word of
// each item between its parentheses. The schema holds nothing but plain
// column definitions, so no database needs to be built to read them.
QMap<QString, QStringList> readSchemaColumns()
{
    QFile file(u":/assets/schema.sql"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    lines.removeIf([](const QString &l) { return l.trimmed().startsWith(u"--"); });
    QMap<QString, QStringList> columns;
    for (const QString &statement : lines.join(u'\n').split(u';')) {
        const QString text = statement.simplified();
        if (!text.startsWith(u"CREATE TABLE "_s, Qt::CaseInsensitive))
            continue;
        const qsizetype open = text.indexOf(u'(');
        const qsizetype close = text.lastIndexOf(u')');
        if (open < 0 || close < open)
            continue;
        const QString table = text.mid(13, open - 13).trimmed();
        QStringList names;
        for (const QString &item : text.mid(open + 1, close - open - 1).split(u','))
            names.append(item.trimmed().section(u' ', 0, 0).toLower());
        for (const QString &known : tableNames())
            if (known.compare(table, Qt::CaseInsensitive) == 0)
                columns.insert(known, names);
    }
    return columns;
}
} // namespace

const QMap<QString, QStringList> &schemaColumns()
{
    static const QMap<QString, QStringList> columns = readSchemaColumns();
    return columns;
}

} // namespace trelok
