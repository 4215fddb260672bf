#pragma once

#include "data/installer.h"
#include "data/server.h"
#include "data/store.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

// Poppler's pdftotext and pdftoppm read the PDF files a test writes. A
// Windows build's suites run under Wine, where they cannot be started: the
// test is skipped there, and the Windows build's pages are measured beside
// the Debian build's by tests/windows_test.py.
#ifdef Q_OS_WIN
#define REQUIRE_PDF_TOOLS() QSKIP("poppler's pdftotext and pdftoppm are not Windows programs")
#else
#define REQUIRE_PDF_TOOLS() static_cast<void>(0)
#endif

// What the program's output says, its lines ended as on Linux (a Windows
// program's text streams end them with CR LF).
inline QString programText(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Whether a file or folder is the user's alone by its permission bits; on
// Windows the user's profile keeps it so through its access lists instead.
inline bool ownersOnly(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return true;
#else
    return !(QFile::permissions(path) & 0x0077);
#endif
}

// The SHA-256 of a file, to tell whether anything wrote to it.
inline QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// The test server: started by tests/pg_server.py, which writes its address
// (or why it could not start) into the folder TRELOK_TEST_PG_DIR names;
// TRELOK_TEST_PG may also give the address directly.
struct TestServer {
    QString url;    // the maintenance database of a server for the tests
    QString reason; // why there is none
};
inline const TestServer &testServer()
{
    static const TestServer server = [] {
        TestServer s;
        s.url = qEnvironmentVariable("TRELOK_TEST_PG");
        const QString dir = qEnvironmentVariable("TRELOK_TEST_PG_DIR");
        if (s.url.isEmpty() && !dir.isEmpty()) {
            QFile url(dir + QStringLiteral("/url"));
            QFile skipped(dir + QStringLiteral("/skipped"));
            if (url.open(QIODevice::ReadOnly))
                s.url = QString::fromUtf8(url.readAll()).trimmed();
            else if (skipped.open(QIODevice::ReadOnly))
                s.reason = QString::fromUtf8(skipped.readAll()).trimmed();
            else
                s.reason = QStringLiteral("the test server's folder %1 is empty").arg(dir);
        }
        return s;
    }();
    return server;
}

// The engine the current test row runs on (see engineRows).
inline trelok::Engine &testEngine()
{
    static trelok::Engine engine = trelok::Engine::File;
    return engine;
}

// Global rows of a test whose data-layer cases run on both engines: the
// SQLite file always, the PostgreSQL server when the runner set one up
// (skipped with the reason where it could not start).
inline void engineRows()
{
    QTest::addColumn<bool>("server");
    QTest::newRow("sqlite") << false;
    if (!qEnvironmentVariableIsEmpty("TRELOK_TEST_PG") ||
        !qEnvironmentVariableIsEmpty("TRELOK_TEST_PG_DIR"))
        QTest::newRow("postgresql") << true;
}
// Called from init(): takes the row's engine, or skips the server row.
#define USE_ENGINE_OF_ROW()                                                                        \
    do {                                                                                           \
        QFETCH_GLOBAL(bool, server);                                                               \
        testEngine() = server ? trelok::Engine::Server : trelok::Engine::File;                     \
        if (server && testServer().url.isEmpty())                                                  \
            QSKIP(                                                                                 \
                qPrintable(QStringLiteral("no PostgreSQL test server: ") + testServer().reason));  \
    } while (false)

// A new, empty database on the test server, dropped again at the end.
class ServerDatabase {
public:
    ServerDatabase()
    {
        static int made = 0;
        name = QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        admin([this](QSqlQuery &q) { return q.exec(QStringLiteral("CREATE DATABASE ") + name); });
        QUrl address(testServer().url);
        address.setPath(QStringLiteral("/") + name);
        url = address.toString();
    }
    ~ServerDatabase()
    {
        admin([this](QSqlQuery &q) {
            return q.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        });
    }
    // Runs one statement on the server's maintenance database.
    static void admin(const std::function<bool(QSqlQuery &)> &work)
    {
        const QString connection = QStringLiteral("test-admin");
        {
            auto address = trelok::parseServerAddress(testServer().url);
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
            db.setHostName(address->host);
            db.setPort(address->port);
            db.setUserName(address->user);
            db.setDatabaseName(address->database);
            if (!db.open())
                qFatal("test server: %s", qPrintable(db.lastError().text()));
            QSqlQuery query(db);
            if (!work(query))
                qFatal("test server: %s", qPrintable(query.lastError().text()));
        }
        QSqlDatabase::removeDatabase(connection);
    }
    QString name;
    QString url;
};

// A freshly installed application directory with its database opened: on
// the engine of the test's row, a new server database with the directory's
// file for the workstation's settings.
class TestDb {
public:
    explicit TestDb(trelok::Engine engine = testEngine())
    {
        auto installed = trelok::installIfMissing(dir.path());
        if (!installed)
            qFatal("installation failed: %s", qPrintable(installed.error()));
        if (engine == trelok::Engine::Server)
            server = std::make_unique<ServerDatabase>();
        auto opened = server ? trelok::openApplicationDatabase(store, dir.path(), server->url)
                             : store.open(trelok::databasePath(dir.path()));
        if (!opened)
            qFatal("open failed: %s", qPrintable(opened.error()));
    }
    void exec(const char *statement, const QVariantList &values = {})
    {
        auto done = store.exec(statement, values);
        if (!done)
            qFatal("%s: %s", statement, qPrintable(done.error()));
    }
    // A statement the server does not prepare (functions, triggers), run
    // as it is on the store's own connection.
    void execDirect(const char *statement)
    {
        QSqlQuery query(QSqlDatabase::database(store.connectionName(), false));
        if (!query.exec(QString::fromUtf8(statement)))
            qFatal("%s: %s", statement, qPrintable(query.lastError().text()));
    }

    QTemporaryDir dir;
    std::unique_ptr<ServerDatabase> server; // before the store: dropped after it
    trelok::Store store;
};
