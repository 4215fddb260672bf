#include "data/server.h"

#include "data/installer.h"
#include "data/schema.h"
#include "data/statements.h"
#include "data/store.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// Rows written by one INSERT while copying: few round trips to the server.
constexpr int rowsPerInsert = 200;

QString serverText(const QSqlError &error)
{
    const QString text = error.text().trimmed();
    return text.isEmpty() ? u"nepoznata greska"_s : text;
}

// Statements that take no values run as they are: the server does not
// prepare transaction control, locks or settings.
DbStatus direct(QSqlDatabase &db, const char *statement)
{
    QSqlQuery query(db);
    if (!query.exec(QString::fromLatin1(statement)))
        return DbStatus::failure(serverText(query.lastError()));
    return succeeded();
}

DbResult<qint64> tableCount(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QString::fromLatin1(sql::server::tableCount)) || !query.next())
        return DbResult<qint64>::failure(serverText(query.lastError()));
    return query.value(0).toLongLong();
}

// Runs work in one transaction holding the installation's advisory lock.
DbStatus lockedTransaction(QSqlDatabase &db, const std::function<DbStatus()> &work)
{
    if (!db.transaction())
        return DbStatus::failure(serverText(db.lastError()));
    DbStatus status = direct(db, sql::server::installLock);
    if (status)
        status = work();
    if (!status) {
        db.rollback();
        return status;
    }
    if (!db.commit()) {
        const QString error = serverText(db.lastError());
        db.rollback();
        return DbStatus::failure(error);
    }
    return status;
}

QString insertFor(const QString &table, const QStringList &columns, int rows)
{
    QStringList marks(columns.size(), u"?"_s);
    const QString one = u"("_s + marks.join(u',') + u")"_s;
    QStringList all(rows, one);
    return u"INSERT INTO %1 (%2) VALUES %3"_s.arg(table, columns.join(u','), all.join(u','));
}

DbResult<qint64> copyTable(Store &source, QSqlDatabase &db, const QString &table)
{
    QStringList columns;
    QList<QVariantList> rows;
    const QByteArray statement = u"SELECT * FROM %1"_s.arg(table).toLatin1();
    auto read = source.each(statement.constData(), {}, [&](const QSqlQuery &q) {
        const QSqlRecord record = q.record();
        if (columns.isEmpty())
            for (int i = 0; i < record.count(); ++i)
                columns.append(record.fieldName(i).toLower());
        QVariantList row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            row.append(q.value(i));
        rows.append(std::move(row));
    });
    if (!read)
        return DbResult<qint64>::failure(read);
    QSqlQuery full(db);
    if (rows.size() >= rowsPerInsert && !full.prepare(insertFor(table, columns, rowsPerInsert)))
        return DbResult<qint64>::failure(serverText(full.lastError()));
    qsizetype done = 0;
    while (done < rows.size()) {
        const qsizetype count = std::min<qsizetype>(rowsPerInsert, rows.size() - done);
        QSqlQuery last(db);
        QSqlQuery &query = count == rowsPerInsert ? full : last;
        if (&query == &last && !last.prepare(insertFor(table, columns, int(count))))
            return DbResult<qint64>::failure(serverText(last.lastError()));
        int position = 0;
        for (qsizetype r = done; r < done + count; ++r)
            for (const QVariant &value : std::as_const(rows[r]))
                query.bindValue(position++, value);
        if (!query.exec())
            return DbResult<qint64>::failure(u"%1: %2"_s.arg(table, serverText(query.lastError())));
        done += count;
    }
    return qint64(rows.size());
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
    if (auto dropped = direct(db, sql::obvr::dropIndex); !dropped)
        return dropped;
    return direct(db, sql::obvr::plainIndex);
}

} // namespace

DbResult<ServerAddress> parseServerAddress(const QString &url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    const auto refused = [&url](const QString &why) {
        return DbResult<ServerAddress>::failure(
            u"Neispravna adresa na bazata na podatoci \"%1\": %2"_s.arg(url, why));
    };
    if (!parsed.isValid())
        return refused(parsed.errorString());
    if (parsed.scheme() != u"postgresql"_s && parsed.scheme() != u"postgres"_s)
        return refused(u"se ocekuva postgresql://korisnik@server:porta/baza"_s);
    if (!parsed.password().isEmpty())
        return refused(
            u"lozinkata ne se pisuva vo adresata (koristete ~/.pgpass ili PGPASSWORD)"_s);
    ServerAddress address;
    address.host = parsed.host();
    address.port = parsed.port(-1);
    address.user = parsed.userName();
    address.database = parsed.path().mid(1);
    const QUrlQuery query(parsed);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == u"host"_s)
            address.host = value;
        else if (key == u"port"_s)
            address.port = value.toInt();
        else if (key == u"user"_s)
            address.user = value;
        else if (key == u"dbname"_s)
            address.database = value;
        else
            return refused(u"nepoznat parametar %1"_s.arg(key));
    }
    if (address.database.isEmpty() || address.database.contains(u'/'))
        return refused(u"nedostasuva imeto na bazata"_s);
    return address;
}

DbStatus connectServer(const QString &name, const QString &url)
{
    auto address = parseServerAddress(url);
    if (!address)
        return DbStatus::failure(address);
    if (!QSqlDatabase::isDriverAvailable(u"QPSQL"_s))
        return DbStatus::failure(
            u"Gonicot za PostgreSQL (QPSQL, paket libqt6sql6-psql) ne e instaliran"_s);
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(u"QPSQL"_s, name);
    db.setHostName(address->host);
    db.setPort(address->port);
    db.setUserName(address->user);
    db.setDatabaseName(address->database);
    db.setConnectOptions(u"connect_timeout=10;application_name=trelok"_s);
    if (!db.open())
        return DbStatus::failure(
            u"Ne moze da se vospostavi vrska so serverot na bazata na podatoci: %1"_s.arg(
                serverText(db.lastError())));
    // A clerk waits for another one's save, but not forever for a
    // workstation that stopped answering while holding the counter.
    if (auto set = direct(db, sql::server::lockTimeout); !set) {
        db.close();
        return set;
    }
    return succeeded();
}

DbStatus installServerIfEmpty(QSqlDatabase &db)
{
    auto tables = tableCount(db);
    if (!tables)
        return DbStatus::failure(tables);
    if (tables.value() > 0)
        return succeeded();
    return lockedTransaction(db, [&db]() -> DbStatus {
        // Another workstation may have installed while this one waited.
        auto now = tableCount(db);
        if (!now)
            return DbStatus::failure(now);
        if (now.value() > 0)
            return succeeded();
        return createTablesAndData(db);
    });
}

DbResult<qint64> copyToServer(Store &source, const QString &url)
{
    const QString name = u"trelok-copy"_s;
    qint64 copied = 0;
    DbStatus status = succeeded();
    {
        status = connectServer(name, url);
        if (status) {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            status = lockedTransaction(db, [&]() -> DbStatus {
                auto tables = tableCount(db);
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
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!status)
        return DbResult<qint64>::failure(status);
    return copied;
}

} // namespace trelok
