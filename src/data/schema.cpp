#include "data/schema.h"

#include "data/statements.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace trelok {

QStringList tableNames()
{
    return {u"tbl_Trel"_s, u"tbl_cnf"_s,  u"tbl_vid"_s,  u"tbl_obvr"_s, u"tbl_opst"_s,
            u"tbl_cuo"_s,  u"tbl_prnt"_s, u"tbl_koor"_s, u"tbl_Broj"_s};
}

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
    // The chooser's newest-first order, in the form each engine compares
    // texts by code point. A database from before it works without it.
    const bool server = db.driverName() == u"QPSQL"_s;
    if (!query.exec(QString::fromLatin1(server ? sql::newest::server::index
                                               : sql::newest::file::index)))
        return DbStatus::failure(query.lastError().text());
    // The export's order, the same way.
    if (!query.exec(QString::fromLatin1(server ? sql::exported::serverIndex
                                               : sql::exported::fileIndex)))
        return DbStatus::failure(query.lastError().text());
    // The taxpayer register's order by each column, the same way.
    for (const char *index : server ? sql::obvr::server::index : sql::obvr::file::index)
        if (!query.exec(QString::fromLatin1(index)))
            return DbStatus::failure(query.lastError().text());
    return succeeded();
}

namespace {
QMap<QString, QStringList> readSchemaColumns()
{
    QMap<QString, QStringList> columns;
    const QString name = u"trelok-schema"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(u":memory:"_s);
        if (db.open() && applySchema(db)) {
            for (const QString &table : tableNames()) {
                const QSqlRecord record = db.record(table);
                QStringList names;
                for (int i = 0; i < record.count(); ++i)
                    names.append(record.fieldName(i).toLower());
                columns.insert(table, names);
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return columns;
}
} // namespace

const QMap<QString, QStringList> &schemaColumns()
{
    static const QMap<QString, QStringList> columns = readSchemaColumns();
    return columns;
}

} // namespace trelok
