#include "data/server.h"

#include "data/statements.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

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

} // namespace

QString serverErrorText(const QSqlError &error)
{
    const QString text = error.text().trimmed();
    return text.isEmpty() ? u"nepoznata greska"_s : text;
}

DbStatus execDirect(QSqlDatabase &db, const char *statement)
{
    QSqlQuery query(db);
    if (!query.exec(QString::fromLatin1(statement)))
        return DbStatus::failure(serverErrorText(query.lastError()));
    return succeeded();
}

DbResult<qint64> serverTableCount(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QString::fromLatin1(sql::server::tableCount)) || !query.next())
        return DbResult<qint64>::failure(serverErrorText(query.lastError()));
    return query.value(0).toLongLong();
}

DbStatus installationTransaction(QSqlDatabase &db, const std::function<DbStatus()> &work)
{
    if (!db.transaction())
        return DbStatus::failure(serverErrorText(db.lastError()));
    DbStatus status = execDirect(db, sql::server::installLock);
    if (status)
        status = work();
    if (!status) {
        db.rollback();
        return status;
    }
    if (!db.commit()) {
        const QString error = serverErrorText(db.lastError());
        db.rollback();
        return DbStatus::failure(error);
    }
    return status;
}

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
                serverErrorText(db.lastError())));
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
    if (auto set = execDirect(db, sql::server::lockTimeout); !set) {
        db.close();
        return set;
    }
    return succeeded();
}

} // namespace trelok
