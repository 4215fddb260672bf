#include "data/server_copy.h"

#include "data/schema.h"
#include "data/server.h"
#include "data/statements.h"
#include "data/store.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// Rows written by one INSERT while copying: few round trips to the server.
constexpr int rowsPerInsert = 200;

QString insertFor(const QString &table, const QStringList &columns, int rows)
{
    QStringList marks(columns.size(), u"?"_s);
    const QString one = u"("_s + marks.join(u',') + u")"_s;
    QStringList all(rows, one);
    return u"INSERT INTO %1 (%2) VALUES %3"_s.arg(table, columns.join(u','), all.join(u','));
}

// The table's rows are written as they are read, a few at a time: the copy
// holds no more than one INSERT's rows, however long the table.
DbResult<qint64> copyTable(Store &source, QSqlDatabase &db, const QString &table)
{
    QStringList columns;
    QList<QVariantList> rows;
    QSqlQuery full(db);
    qint64 copied = 0;
    QString failure;
    const auto write = [&]() {
        const auto count = int(rows.size());
        QSqlQuery last(db);
        QSqlQuery &query = count == rowsPerInsert ? full : last;
        if (query.lastQuery().isEmpty() && !query.prepare(insertFor(table, columns, count))) {
            failure = serverErrorText(query.lastError());
            return;
        }
        int position = 0;
        for (const QVariantList &row : std::as_const(rows))
            for (const QVariant &value : row)
                query.bindValue(position++, value);
        if (!query.exec()) {
            failure = u"%1: %2"_s.arg(table, serverErrorText(query.lastError()));
            return;
        }
        copied += count;
        rows.clear();
    };
    const QByteArray statement = u"SELECT * FROM %1"_s.arg(table).toLatin1();
    auto read = source.each(statement.constData(), {}, [&](const QSqlQuery &q) {
        if (!failure.isEmpty())
            return;
        if (columns.isEmpty()) { // the record is built anew on every call
            const QSqlRecord record = q.record();
            for (int i = 0; i < record.count(); ++i)
                columns.append(record.fieldName(i).toLower());
        }
        QVariantList row;
        row.reserve(columns.size());
        for (int i = 0; i < columns.size(); ++i)
            row.append(q.value(i));
        rows.append(std::move(row));
        if (rows.size() == rowsPerInsert)
            write();
    });
    if (!read)
        return DbResult<qint64>::failure(read);
    if (failure.isEmpty() && !rows.isEmpty())
        write();
    if (!failure.isEmpty())
        return DbResult<qint64>::failure(failure);
    return copied;
}

// A register from before the unique index may hold a tax number twice: it
// is copied as it is, under the plain index it had.
DbStatus keepPlainRegisterIndex(Store &source, QSqlDatabase &db)
{
    auto twice = source.first(sql::obvr::twice);
    if (!twice)
        return DbStatus::failure(twice);
    if (!twice.value())
        return succeeded();
    if (auto dropped = execDirect(db, sql::obvr::dropIndex); !dropped)
        return dropped;
    return execDirect(db, sql::obvr::plainIndex);
}

} // namespace

DbResult<qint64> copyToServer(Store &source, const QString &url)
{
    // The file's tables are read through SQLite's own small cache: through
    // the memory map every page read would stay in the program's memory.
    const Store::Unmapped unmapped(source);
    const QString name = u"trelok-copy"_s;
    qint64 copied = 0;
    DbStatus status = succeeded();
    {
        status = connectServer(name, url);
        if (status) {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            status = installationTransaction(db, [&]() -> DbStatus {
                auto tables = serverTableCount(db);
                if (!tables)
                    return DbStatus::failure(tables);
                if (tables.value() > 0)
                    return DbStatus::failure(
                        u"Bazata na serverot ne e prazna (ima %1 tabeli); nisto ne e kopirano"_s
                            .arg(tables.value()));
                if (auto created = applySchema(db); !created)
                    return created;
                if (auto kept = keepPlainRegisterIndex(source, db); !kept)
                    return kept;
                for (const QString &table : tableNames()) {
                    auto rows = copyTable(source, db, table);
                    if (!rows)
                        return DbStatus::failure(rows);
                    copied += rows.value();
                }
                return succeeded();
            });
            // The copied tables' figures for the server's planner; without
            // them it would plan reads for empty tables until it gathers
            // them itself. A failure only leaves those reads slower.
            if (status)
                QSqlQuery(db).exec(QString::fromLatin1(sql::server::analyzeAll));
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!status)
        return DbResult<qint64>::failure(status);
    return copied;
}

} // namespace trelok
