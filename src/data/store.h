#pragma once

#include "data/result.h"
#include "data/row.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class QSqlError;
class QSqlQuery;
struct sqlite3;
struct sqlite3_stmt;
typedef struct pg_conn PGconn;

namespace trelok {

// Where the shared data live: the SQLite file of the application directory
// or a PostgreSQL server shared by the clerks of an office.
enum class Engine { File, Server };

// How a failure of the server connection begins; it carries the server's
// own text after it.
inline constexpr auto connectionLost = "Vrskata so serverot na bazata na podatoci e prekinata";

// Every write to a database file its owner protected from writing.
inline constexpr auto readOnlyDatabase =
    "Bazata na podatoci e zastitena od zapisuvanje (samo za citanje); nisto ne e promeneto";

// The application's database: the SQLite file, or a server database for the
// shared data with the file beside it for the workstation's own settings. Every statement runs
// prepared with bound values, so any text is stored exactly as typed.
class Store {
public:
    Store();
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // Opens an existing database file and checks that all tables are there.
    // The file is never created or changed by opening it. A file, or its
    // folder, without the owner's write permission is opened read-only:
    // everything reads, and every write fails with readOnlyDatabase.
    DbStatus open(const QString &path);
    // Opens the shared data on the server at url, which must hold every
    // table (installServerIfEmpty of installer.h installs an empty one), and
    // the workstation's own settings in the database file at localPath,
    // which must exist.
    DbStatus openServer(const QString &url, const QString &localPath);
    bool isOpen() const;
    // The database file of the application directory (also with a server).
    QString path() const { return m_path; }
    Engine engine() const { return m_engine; }
    // Whether the file was opened read-only.
    bool readOnly() const { return m_readOnly; }
    // The workstation's own settings (its printer and print offsets): the
    // file itself, or the file beside the server's shared data.
    Store &local() { return m_local ? *m_local : *this; }

    DbResult<QList<Row>> select(const QString &statement, const QVariantList &values = {});
    // The first row, or an empty optional when there is none.
    DbResult<std::optional<Row>> first(const QString &statement, const QVariantList &values = {});
    DbStatus exec(const QString &statement, const QVariantList &values = {});

    // The statements of statements.h are plain ASCII literals.
    DbResult<QList<Row>> select(const char *statement, const QVariantList &values = {})
    {
        return select(QString::fromLatin1(statement), values);
    }
    DbResult<std::optional<Row>> first(const char *statement, const QVariantList &values = {})
    {
        return first(QString::fromLatin1(statement), values);
    }
    DbStatus exec(const char *statement, const QVariantList &values = {})
    {
        return exec(QString::fromLatin1(statement), values);
    }

    // Reads a long result without building a Row per row: visit is handed
    // the query positioned on each row in turn (values by column position).
    DbStatus each(const char *statement, const QVariantList &values,
                  const std::function<void(const QSqlQuery &)> &visit);
    // Runs a statement without values that the server does not prepare
    // (LOCK TABLE), as it is.
    DbStatus execUnprepared(const char *statement);
    // After written rows were stored at once, many of them (a thousand or
    // more), on the server: its figures of the table (analyze, an ANALYZE
    // of sql::server), so its next reads are planned for the table as it
    // now is, not as it was before; the server gathers them by itself only
    // a while later. A failure only leaves those reads slower; nothing on
    // the file.
    void refreshFigures(const char *analyze, qint64 written);
    // Runs one statement, prepared once, for each list of values in turn;
    // stops at the first failure.
    DbStatus execEach(const char *statement, const QList<QVariantList> &valueLists);
    // Every row as texts by column position (Null as the empty text).
    DbResult<QList<QStringList>> texts(const char *statement, const QVariantList &values = {});
    // Hands visit each row's texts as UTF-8 (a Null as the empty text, its
    // view null: isNull), valid during the call only: no copy is made of a
    // long result. On the file, the pages are read through SQLite's own
    // small cache rather than the memory map, so a whole table read stays
    // out of the program's memory; on the server the rows come one at a
    // time on the session, each value as the server sends it (ServerRows).
    DbStatus eachUtf8(const char *statement, const QVariantList &values,
                      const std::function<void(const QByteArrayView *cells, int count)> &visit);

    // A row as eachUtf8 hands it over, valid during the call only.
    class Utf8Row {
    public:
        int count() const { return m_count; }
        // Each column's stored bytes (on the file not always UTF-8: another
        // program may have written any bytes).
        const QByteArrayView *cells() const { return m_cells; }
        // The column as the toolkit reads it (through UTF-16), as UTF-8:
        // what stored bytes that are not UTF-8 read as everywhere else. The
        // column's stored bytes are not to be used after it.
        QByteArray asRead(int column) const;

    private:
        friend class Store;
        Utf8Row(const QByteArrayView *cells, int count, sqlite3_stmt *statement)
            : m_cells(cells), m_count(count), m_statement(statement)
        {}
        const QByteArrayView *m_cells;
        int m_count;
        sqlite3_stmt *m_statement;
    };
    // The same for a reader that may stop early: visit returns false to
    // read no further.
    DbStatus eachUtf8(const char *statement, const QVariantList &values,
                      const std::function<bool(const Utf8Row &row)> &visit);

    // While one lives, the file is read through SQLite's own small page
    // cache rather than the memory map (set again when it goes), so work on
    // a whole table keeps the program's memory flat. Nothing on the server.
    class Unmapped {
    public:
        explicit Unmapped(Store &store);
        ~Unmapped();
        Unmapped(const Unmapped &) = delete;
        Unmapped &operator=(const Unmapped &) = delete;

    private:
        sqlite3 *m_db;
    };

    // Runs work inside one transaction: committed when it succeeds, rolled
    // back when it fails, so related writes land together or not at all.
    // Inside another transaction, work runs in a savepoint of it: a failure
    // undoes only that work, and its success is committed with the outer one.
    DbStatus transaction(const std::function<DbStatus()> &work);
    // The same for work that reads and then writes (the counter): the write
    // lock is held from the start, so concurrent writers wait for each other.
    // Inside another transaction, that one must hold the write lock already.
    DbStatus writeTransaction(const std::function<DbStatus()> &work);

    // Runs reads that must see the database as of one moment, no write of
    // another program landing between them: on the file in one read
    // transaction (writers wait until it ends, as they wait for one long
    // read), on the server in one snapshot (REPEATABLE READ). Inside another
    // transaction, work runs in it.
    DbStatus readTogether(const std::function<DbStatus()> &work);

    QString connectionName() const { return m_name; }

    // SQLite's text for the failure code on db; a write to a file opened
    // read-only says readOnlyDatabase.
    static QString sqliteErrorText(sqlite3 *db, int code);

private:
    friend class RepeatedStatement;
    friend class CopiedRows;
    // The file's own SQLite handle; null on the server.
    sqlite3 *sqliteHandle() const;
    // The server's libpq session for a read of its own, connected again
    // first unless inside a transaction.
    DbResult<PGconn *> serverSession();
    DbStatus inTransaction(bool write, const std::function<DbStatus()> &work);
    DbStatus inServerTransaction(bool write, const std::function<DbStatus()> &work,
                                 bool snapshot = false);
    DbStatus outermost(bool write, const std::function<DbStatus()> &work);
    DbStatus inSavepoint(bool write, const std::function<DbStatus()> &work);
    DbStatus runNested(const char *statement);
    // Whether the transaction transactionId, whose COMMIT went unanswered,
    // was committed: success, or the lost connection (busy).
    DbStatus outcomeOf(const QString &transactionId, const QString &serverText);
    DbResult<QSqlQuery> prepared(const QString &statement);
    DbResult<QSqlQuery> run(const QString &statement, const QVariantList &values);
    // A statement of the file done with: reset and kept prepared for its
    // next run (one that failed is dropped).
    void keep(const QString &statement, QSqlQuery &query);
    // A failed statement on the server: when the connection itself is gone,
    // it is closed (the next statement connects again) and the failure says
    // so; busy() is set, since the action can be tried again.
    template <class T> DbResult<T> failure(const QSqlError &error);
    template <class T> DbResult<T> lostConnection(const QString &serverText);
    bool alive();
    DbStatus reconnect();
    DbStatus checkTables();
    // True when the file holds every table and column of the schema.
    bool tablesComplete();

    QString m_name;
    QString m_path;
    Engine m_engine = Engine::File;
    bool m_readOnly = false;
    QString m_url;
    bool m_inTransaction = false;
    // Transactions open, the outer one and its savepoints; whether the outer
    // one holds the write lock; the failure that ended it under its savepoints.
    int m_depth = 0;
    bool m_writeHeld = false;
    std::optional<DbStatus> m_broken;
    std::unique_ptr<Store> m_local;
    // The file's statements prepared once, by their text (KeptStatements,
    // store.cpp); a statement in use is out of it, so a nested run of the
    // same text prepares its own.
    struct KeptStatements;
    std::unique_ptr<KeptStatements> m_kept;
};

} // namespace trelok
