#include "data/server.h"

#include "data/installer.h"
#include "data/schema.h"
#include "data/statements.h"
#include "data/store.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QRegularExpression>
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

// A port given as a parameter: a number from 1 to 65535, else 0.
int portNumber(const QString &text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    return ok && port > 0 && port <= 65535 ? port : 0;
}

// The address as the user wrote it, with any password replaced by "***":
// a refused address is shown, the password it held never is.
QString withoutPassword(const QString &url)
{
    QString shown = url;
    const qsizetype authority = shown.indexOf(u"://"_s);
    if (authority >= 0) {
        const qsizetype start = authority + 3;
        qsizetype end = start;
        while (end < shown.size() && shown[end] != u'/' && shown[end] != u'?' &&
               shown[end] != u'#')
            ++end;
        const qsizetype at = shown.lastIndexOf(u'@', end - 1);
        const qsizetype colon = at >= start ? shown.indexOf(u':', start) : -1;
        if (colon >= 0 && colon < at)
            shown.replace(colon + 1, at - colon - 1, u"***"_s);
    }
    static const QRegularExpression parameter(u"([?&]password=)[^&#]*"_s);
    return shown.replace(parameter, u"\\1***"_s);
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
            u"Neispravna adresa na bazata na podatoci \"%1\": %2"_s.arg(withoutPassword(url),
                                                                       why));
    };
    // QUrl's own text repeats the whole address.
    if (!parsed.isValid())
        return refused(u"adresata ne moze da se procita (proverete ja portata i znacite)"_s);
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
            address.port = portNumber(value);
        else if (key == u"user"_s)
            address.user = value;
        else if (key == u"dbname"_s)
            address.database = value;
        else
            return refused(u"nepoznat parametar %1"_s.arg(key));
    }
    if (address.port == 0)
        return refused(u"portata mora da bide broj od 1 do 65535"_s);
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
    // The driver reports itself open only while libpq's session is: a
    // session ended while the driver was still asking the server's version
    // (the driver would take it for one too old to prepare statements) is
    // not used.
    if (!db.isOpen() || !db.driver()->hasFeature(QSqlDriver::PreparedQueries)) {
        db.close();
        return DbStatus::failure(u"sesijata zavrsi pri povrzuvanjeto"_s);
    }
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
