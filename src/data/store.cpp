#include "data/store.h"

#include "data/schema.h"
#include "data/server.h"
#include "data/server_rows.h"
#include "data/server_session.h"
#include "data/statements.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <sqlite3.h>

#include <QSqlRecord>
#include <QUrl>
#include <memory>
#include <unordered_map>
#include <vector>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

QAtomicInt connectionCounter;

// How long a statement waits for a database that another program holds
// (another copy saving, a backup tool) before it gives up.
constexpr int busyWaitMs = 5000;

// How long the outcome of a COMMIT whose answer was lost is asked for.
constexpr int outcomeWaitMs = 10000;

// SQLITE_READONLY, with its extended codes.
bool isReadOnly(int code)
{
    return (code & 0xff) == SQLITE_READONLY;
}

QString errorText(const QSqlError &error)
{
    if (isReadOnly(error.nativeErrorCode().section(u' ', 0, 0).toInt()))
        return QString::fromLatin1(readOnlyDatabase);
    QString text = error.text().trimmed();
    return text.isEmpty() ? u"Nepoznata greska vo bazata na podatoci"_s : text;
}

// Whether the owner took the write permission from the file or its folder.
// On Windows a folder's read-only mark means nothing for its files.
bool writeProtected(const QFileInfo &file)
{
    if (!file.permission(QFile::WriteOwner))
        return true;
#ifdef Q_OS_WIN
    return false;
#else
    return !QFileInfo(file.absolutePath()).permission(QFile::WriteOwner);
#endif
}

// SQLITE_BUSY and SQLITE_LOCKED: the file is held by someone else.
bool isBusy(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == u"5"_s || code == u"6"_s || code.startsWith(u"5 "_s) || code.startsWith(u"6 "_s);
}

template <class T> DbResult<T> failed(const QSqlError &error)
{
    return DbResult<T>::failure(errorText(error), isBusy(error));
}

// The server's codes for a lock not granted in time and a deadlock broken:
// nothing was written and the action can be tried again.
bool isServerBusy(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == u"55P03"_s || code == u"40P01"_s;
}

void bind(QSqlQuery &query, const QVariantList &values)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QVariant &value = values[i];
        // A null QString would be bound as SQL NULL; an empty field is stored
        // as the empty text it is.
        if (value.typeId() == QMetaType::QString && value.toString().isNull())
            query.bindValue(int(i), QString(u""_s));
        else
            query.bindValue(int(i), value);
    }
}

// Statements of the file kept prepared at most; a program runs a few dozen.
constexpr qsizetype keptLimit = 64;

} // namespace

struct Store::KeptStatements {
    std::unordered_map<QString, QSqlQuery> queries;
    // Statements of the server that failed inside a transaction: the
    // server frees a prepared statement only once the failed transaction
    // (or savepoint) is rolled back, so they are let go after it.
    std::vector<QSqlQuery> failed;
};

QString Store::sqliteErrorText(sqlite3 *db, int code)
{
    if (isReadOnly(code))
        return QString::fromLatin1(readOnlyDatabase);
    return QString::fromUtf16(static_cast<const char16_t *>(sqlite3_errmsg16(db)));
}

Store::Store()
    : m_name(u"trelok-%1"_s.arg(connectionCounter.fetchAndAddRelaxed(1))),
      m_kept(std::make_unique<KeptStatements>())
{}

Store::~Store()
{
    m_local.reset();
    m_kept->queries.clear();
    m_kept->failed.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

DbStatus Store::open(const QString &path)
{
    m_path = path;
    m_kept->queries.clear();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return DbStatus::failure(u"unable to open database file: %1"_s.arg(path));
    QSqlDatabase db = QSqlDatabase::contains(m_name)
                          ? QSqlDatabase::database(m_name, false)
                          : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
    // "mode=rw": SQLite opens the file only if it exists; a file removed
    // since the test above is reported, never created again empty.
    m_readOnly = writeProtected(info);
    db.setConnectOptions(u"QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1"_s.arg(busyWaitMs));
    db.setDatabaseName(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded) +
                       (m_readOnly ? u"?mode=ro"_s : u"?mode=rw"_s));
    if (!db.open())
        return DbStatus::failure(errorText(db.lastError()));
    // Long reads (a whole register) go through memory instead of one
    // system call per page. Changes nothing in the file.
    (void)run(QString::fromLatin1(sql::file::mapIntoMemory), {});
    return checkTables();
}

DbStatus Store::openServer(const QString &url, const QString &localPath)
{
    m_local = std::make_unique<Store>();
    if (auto opened = m_local->open(localPath); !opened)
        return opened;
    m_path = localPath;
    m_engine = Engine::Server;
    m_url = url;
    if (auto connected = connectServer(m_name, url); !connected)
        return connected;
    return checkTables();
}

bool Store::tablesComplete()
{
    QHash<QByteArray, QSet<QByteArray>> present;
    auto read = eachUtf8(sql::file::tableColumns, {}, [&present](const QByteArrayView *cells, int) {
        present[cells[0].toByteArray()].insert(cells[1].toByteArray());
    });
    if (!read)
        return false;
    const auto &expected = schemaColumns();
    for (const QString &table : tableNames()) {
        const auto columns = present.constFind(table.toLower().toUtf8());
        if (columns == present.cend())
            return false;
        for (const QString &column : expected.value(table))
            if (!columns->contains(column.toUtf8()))
                return false;
    }
    return true;
}

DbStatus Store::checkTables()
{
    // On the file one statement answers for a complete database; the
    // tables are probed one by one only to report what is wrong.
    if (m_engine == Engine::File && tablesComplete())
        return succeeded();
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    const auto &expected = schemaColumns();
    for (const QString &table : tableNames()) {
        // Names come from the fixed list above, never from input.
        auto probe = run(u"SELECT * FROM %1 LIMIT 0"_s.arg(table), {});
        if (!probe) {
            m_kept->queries.clear();
            db.close();
            return DbStatus::failure(probe);
        }
        // A missing column is a data error now, not a blank field later.
        const QSqlRecord record = probe.value().record();
        for (const QString &column : expected.value(table)) {
            if (record.indexOf(column) < 0) {
                m_kept->queries.clear();
                db.close();
                return DbStatus::failure(
                    u"Vo tabelata %1 nedostasuva kolonata %2"_s.arg(table, column.toUpper()));
            }
        }
    }
    return succeeded();
}

bool Store::isOpen() const
{
    return QSqlDatabase::database(m_name, false).isOpen();
}

DbResult<QList<Row>> Store::select(const QString &statement, const QVariantList &values)
{
    auto query = run(statement, values);
    if (!query)
        return DbResult<QList<Row>>::failure(query);
    QList<Row> rows;
    while (query.value().next())
        rows.append(Row(query.value().record()));
    if (query.value().lastError().isValid())
        return failure<QList<Row>>(query.value().lastError());
    keep(statement, query.value());
    return rows;
}

DbResult<std::optional<Row>> Store::first(const QString &statement, const QVariantList &values)
{
    auto query = run(statement, values);
    if (!query)
        return DbResult<std::optional<Row>>::failure(query);
    std::optional<Row> row;
    if (query.value().next())
        row = Row(query.value().record());
    else if (query.value().lastError().isValid())
        return failure<std::optional<Row>>(query.value().lastError());
    keep(statement, query.value());
    return row;
}

DbStatus Store::exec(const QString &statement, const QVariantList &values)
{
    auto query = run(statement, values);
    if (!query)
        return DbStatus::failure(query);
    keep(statement, query.value());
    return succeeded();
}

DbStatus Store::execUnprepared(const char *statement)
{
    if (auto connected = reconnect(); !connected)
        return connected;
    QSqlQuery query(QSqlDatabase::database(m_name, false));
    if (!query.exec(QString::fromLatin1(statement)))
        return failure<Done>(query.lastError());
    return succeeded();
}

void Store::refreshFigures(const char *analyze, qint64 written)
{
    if (m_engine == Engine::Server && !m_inTransaction && written >= 1000)
        (void)execUnprepared(analyze);
}

DbStatus Store::each(const char *statement, const QVariantList &values,
                     const std::function<void(const QSqlQuery &)> &visit)
{
    auto query = run(QString::fromLatin1(statement), values);
    if (!query)
        return DbStatus::failure(query);
    while (query.value().next())
        visit(query.value());
    if (query.value().lastError().isValid())
        return failure<Done>(query.value().lastError());
    keep(QString::fromLatin1(statement), query.value());
    return succeeded();
}

Store::Unmapped::Unmapped(Store &store)
    : m_db(store.sqliteHandle())
{
    if (m_db)
        sqlite3_exec(m_db, sql::file::noMapping, nullptr, nullptr, nullptr);
}

Store::Unmapped::~Unmapped()
{
    if (m_db)
        sqlite3_exec(m_db, sql::file::mapIntoMemory, nullptr, nullptr, nullptr);
}

DbStatus Store::execEach(const char *statement, const QList<QVariantList> &valueLists)
{
    auto made = prepared(QString::fromLatin1(statement));
    if (!made)
        return DbStatus::failure(made);
    QSqlQuery &query = made.value();
    for (const QVariantList &values : valueLists) {
        bind(query, values);
        if (!query.exec())
            return failure<Done>(query.lastError());
    }
    keep(QString::fromLatin1(statement), query);
    return succeeded();
}

namespace {

// Reads every row straight from SQLite, without a QVariant per value: a list
// of a whole register opens several times faster.
DbResult<QList<QStringList>> sqliteTexts(sqlite3 *db, const QString &statement,
                                         const QVariantList &values)
{
    using Result = DbResult<QList<QStringList>>;
    const auto failedWith = [db](int code) {
        return Result::failure(Store::sqliteErrorText(db, code),
                               code == SQLITE_BUSY || code == SQLITE_LOCKED);
    };
    sqlite3_stmt *stmt = nullptr;
    const int prepared = sqlite3_prepare16_v2(
        db, statement.utf16(), int(statement.size() * sizeof(char16_t)), &stmt, nullptr);
    if (prepared != SQLITE_OK)
        return failedWith(prepared);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> owner(stmt, sqlite3_finalize);
    for (qsizetype i = 0; i < values.size(); ++i) {
        // A null text is bound as the empty one (utf16() of a null text is "").
        const QString text = values[i].toString();
        sqlite3_bind_text16(stmt, int(i + 1), text.utf16(), int(text.size() * sizeof(char16_t)),
                            SQLITE_TRANSIENT);
    }
    const int columns = sqlite3_column_count(stmt);
    QList<QStringList> rows;
    int step;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
        QStringList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            const auto *text = static_cast<const QChar *>(sqlite3_column_text16(stmt, c));
            const int bytes = sqlite3_column_bytes16(stmt, c);
            row.append(text ? QString(text, bytes / int(sizeof(QChar))) : QString());
        }
        rows.append(std::move(row));
    }
    if (step != SQLITE_DONE)
        return failedWith(step);
    return rows;
}

// The same, row by row as UTF-8.
template <class Visit>
DbStatus sqliteEachUtf8(sqlite3 *db, const char *statement, const QVariantList &values,
                        const Visit &visit)
{
    const auto failedWith = [db](int code) {
        return DbStatus::failure(Store::sqliteErrorText(db, code),
                                 code == SQLITE_BUSY || code == SQLITE_LOCKED);
    };
    sqlite3_stmt *stmt = nullptr;
    const int prepared = sqlite3_prepare_v2(db, statement, -1, &stmt, nullptr);
    if (prepared != SQLITE_OK)
        return failedWith(prepared);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> owner(stmt, sqlite3_finalize);
    for (qsizetype i = 0; i < values.size(); ++i) {
        // A key compared as a number is bound as one (a text is never equal
        // to a number).
        if (values[i].typeId() == QMetaType::LongLong) {
            sqlite3_bind_int64(stmt, int(i + 1), values[i].toLongLong());
            continue;
        }
        const QByteArray text = values[i].toString().toUtf8();
        sqlite3_bind_text(stmt, int(i + 1), text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    const int columns = sqlite3_column_count(stmt);
    std::vector<QByteArrayView> cells(static_cast<size_t>(columns));
    int step;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
            cells[size_t(c)] = QByteArrayView(text, text ? sqlite3_column_bytes(stmt, c) : 0);
        }
        if (!visit(cells.data(), columns, stmt))
            return succeeded();
    }
    if (step != SQLITE_DONE)
        return failedWith(step);
    return succeeded();
}

} // namespace

sqlite3 *Store::sqliteHandle() const
{
    if (m_engine != Engine::File || !isOpen())
        return nullptr;
    const QVariant handle = QSqlDatabase::database(m_name, false).driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

DbStatus Store::eachUtf8(const char *statement, const QVariantList &values,
                         const std::function<void(const QByteArrayView *, int)> &visit)
{
    return eachUtf8(statement, values, [&visit](const Utf8Row &row) {
        visit(row.m_cells, row.m_count);
        return true;
    });
}

DbStatus Store::eachUtf8(const char *statement, const QVariantList &values,
                         const std::function<bool(const Utf8Row &)> &visit)
{
    if (sqlite3 *db = sqliteHandle()) {
        const Unmapped unmapped(*this);
        return sqliteEachUtf8(db, statement, values,
                              [&visit](const QByteArrayView *cells, int count, sqlite3_stmt *stmt) {
                                  return visit(Utf8Row(cells, count, stmt));
                              });
    }
    // The server's rows straight from its session, each value as sent.
    auto session = serverSession();
    if (!session)
        return DbStatus::failure(session);
    const auto failed = ServerRows::each(session.value(), statement, values,
                                         [&visit](const QByteArrayView *cells, int count) {
                                             return visit(Utf8Row(cells, count, nullptr));
                                         });
    if (failed)
        return failure<Done>(*failed);
    return succeeded();
}

DbResult<PGconn *> Store::serverSession()
{
    if (!m_inTransaction) {
        if (auto connected = reconnect(); !connected)
            return DbResult<PGconn *>::failure(connected);
    }
    PGconn *conn = sessionHandle(QSqlDatabase::database(m_name, false));
    if (!conn)
        return DbResult<PGconn *>::failure(u"Bazata na podatoci ne e otvorena"_s);
    return conn;
}

QByteArray Store::Utf8Row::asRead(int column) const
{
    if (!m_statement)
        return m_cells[column].toByteArray();
    const auto *text = static_cast<const QChar *>(sqlite3_column_text16(m_statement, column));
    if (!text)
        return {};
    return QString(text, sqlite3_column_bytes16(m_statement, column) / int(sizeof(QChar))).toUtf8();
}

DbResult<QList<QStringList>> Store::texts(const char *statement, const QVariantList &values)
{
    if (sqlite3 *db = sqliteHandle())
        return sqliteTexts(db, QString::fromLatin1(statement), values);
    QList<QStringList> rows;
    int columns = -1;
    auto read = each(statement, values, [&rows, &columns](const QSqlQuery &q) {
        if (columns < 0) // the record is built anew on every call
            columns = q.record().count();
        QStringList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row.append(mget(q.value(i)));
        rows.append(std::move(row));
    });
    if (!read)
        return DbResult<QList<QStringList>>::failure(read);
    return rows;
}

DbStatus Store::transaction(const std::function<DbStatus()> &work)
{
    return inTransaction(false, work);
}

DbStatus Store::writeTransaction(const std::function<DbStatus()> &work)
{
    return inTransaction(true, work);
}

DbStatus Store::inTransaction(bool write, const std::function<DbStatus()> &work)
{
    if (m_depth > 0)
        return inSavepoint(write, work);
    if (m_engine == Engine::Server)
        return inServerTransaction(write, work);
    if (auto begun = exec(write ? sql::file::beginWrite : sql::file::begin); !begun)
        return begun;
    DbStatus status = outermost(write, work);
    if (!status) {
        (void)exec(sql::file::rollback);
        return status;
    }
    if (auto committed = exec(sql::file::commit); !committed) {
        (void)exec(sql::file::rollback);
        return committed;
    }
    return status;
}

DbStatus Store::readTogether(const std::function<DbStatus()> &work)
{
    if (m_depth > 0)
        return work();
    if (m_engine == Engine::Server)
        return inServerTransaction(false, work, true);
    return inTransaction(false, work);
}

DbStatus Store::inServerTransaction(bool write, const std::function<DbStatus()> &work,
                                    bool snapshot)
{
    // The one moment a closed connection is opened again: before the
    // transaction begins. Inside it every statement runs on the session
    // that began it, or fails.
    if (auto connected = reconnect(); !connected)
        return connected;
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (!db.transaction())
        return failure<Done>(db.lastError());
    const SessionId began = sessionId(db);
    m_inTransaction = true;
    QString transactionId;
    DbStatus status = [&]() -> DbStatus {
        // Before the first statement, which takes the snapshot.
        if (snapshot) {
            QSqlQuery isolation(db);
            if (!isolation.exec(QString::fromLatin1(sql::server::oneSnapshot)))
                return DbStatus::failure(errorText(isolation.lastError()),
                                         isServerBusy(isolation.lastError()));
        }
        if (write) {
            QSqlQuery lock(db);
            if (!lock.exec(QString::fromLatin1(sql::server::counterLock)))
                return DbStatus::failure(errorText(lock.lastError()),
                                         isServerBusy(lock.lastError()));
        }
        // Asked after a COMMIT whose answer never came.
        auto id = first(sql::server::transactionId);
        if (!id)
            return DbStatus::failure(id);
        transactionId = id.value() ? mget(id.value()->raw(u"txid"_s)) : QString();
        return outermost(write, work);
    }();
    CommitOutcome committed{CommitResult::Failed, status.error()};
    if (status && sessionId(db) != began)
        committed.serverText = u"transakcijata ne zavrsi na sesijata na koja zapocna"_s;
    else if (status)
        committed = commitSession(db);
    m_inTransaction = false;
    switch (committed.result) {
    case CommitResult::Committed:
        m_kept->failed.clear();
        return succeeded();
    case CommitResult::Unanswered:
        return outcomeOf(transactionId, committed.serverText);
    case CommitResult::RolledBack:
    case CommitResult::Failed:
        break;
    }
    if (!sessionLost(db))
        db.rollback();
    m_kept->failed.clear();
    // Judged now, outside the transaction: a lost session is reported as
    // such (and closed, so the next action connects again), anything else
    // as it was.
    if (!status.busy() && (sessionLost(db) || !alive()))
        return lostConnection<Done>(committed.serverText);
    return status ? DbStatus::failure(committed.serverText) : status;
}

DbStatus Store::outermost(bool write, const std::function<DbStatus()> &work)
{
    m_depth = 1;
    m_writeHeld = write;
    m_broken.reset();
    DbStatus status = work();
    m_depth = 0;
    m_writeHeld = false;
    // A part that could not be undone alone took the whole transaction with it.
    if (status && m_broken)
        status = *m_broken;
    m_broken.reset();
    return status;
}

DbStatus Store::runNested(const char *statement)
{
    // The server does not prepare savepoints.
    return m_engine == Engine::Server ? execUnprepared(statement) : exec(statement);
}

DbStatus Store::inSavepoint(bool write, const std::function<DbStatus()> &work)
{
    if (m_broken)
        return *m_broken;
    if (write && !m_writeHeld)
        return DbStatus::failure(
            u"Zapisuvanjeto bara transakcija sto go drzi pravoto na zapisuvanje"_s);
    if (auto set = runNested(sql::nested::savepoint); !set) {
        m_broken = set;
        return set;
    }
    ++m_depth;
    const DbStatus status = work();
    --m_depth;
    if (status) {
        if (auto released = runNested(sql::nested::release); !released) {
            m_broken = released;
            return released;
        }
        return status;
    }
    // Undone alone; where that fails (SQLite ends the whole transaction on
    // some errors, a server session may be gone), the outer one fails too.
    auto undone = runNested(sql::nested::rollback);
    m_kept->failed.clear();
    if (undone)
        undone = runNested(sql::nested::release);
    if (!undone)
        m_broken = status;
    return status;
}

DbStatus Store::outcomeOf(const QString &transactionId, const QString &serverText)
{
    // The session ended while the COMMIT was under way: the server knows
    // whether it committed. Asked on a new session, the transaction being over.
    QSqlDatabase::database(m_name, false).close();
    // A server that restarts is waited for a while; its answer is final.
    QElapsedTimer waited;
    waited.start();
    while (!transactionId.isEmpty() && waited.elapsed() < outcomeWaitMs) {
        if (auto status = reconnect() ? first(sql::server::transactionStatus, {transactionId})
                                      : DbResult<std::optional<Row>>::failure(QString());
            status && status.value()) {
            const QString state = status.value()->text(u"status"_s);
            if (state == u"committed"_s)
                return succeeded();
            if (state == u"aborted"_s)
                return lostConnection<Done>(serverText);
            // "in progress": the ended session's process is still finishing.
        }
        QThread::msleep(100);
    }
    QSqlDatabase::database(m_name, false).close();
    return DbStatus::failure(
        u"%1: %2 Ne e poznato dali e zapisano; proverete pred da go snimite povtorno."_s.arg(
            QString::fromLatin1(connectionLost), serverText),
        true);
}

DbStatus Store::reconnect()
{
    if (m_engine == Engine::File || QSqlDatabase::database(m_name, false).isOpen())
        return succeeded();
    // A transaction never goes on on a new session: it has failed with the old one.
    if (m_inTransaction)
        return DbStatus::failure(
            u"%1: Transakcijata e prekinata."_s.arg(QString::fromLatin1(connectionLost)), true);
    if (auto connected = connectServer(m_name, m_url); !connected)
        return DbStatus::failure(
            u"%1: %2"_s.arg(QString::fromLatin1(connectionLost), connected.error()), true);
    return succeeded();
}

DbResult<QSqlQuery> Store::prepared(const QString &statement)
{
    // Inside a transaction no new session is opened: a statement on a
    // closed connection fails, and with it the transaction.
    if (!m_inTransaction) {
        if (auto connected = reconnect(); !connected)
            return DbResult<QSqlQuery>::failure(connected);
    }
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (!db.isOpen())
        return DbResult<QSqlQuery>::failure(u"Bazata na podatoci ne e otvorena"_s);
    // A statement of the file run before is taken out of the kept ones
    // while it runs, so a run of the same text inside it prepares its own.
    if (m_engine == Engine::File) {
        if (auto kept = m_kept->queries.find(statement); kept != m_kept->queries.end()) {
            QSqlQuery query = std::move(kept->second);
            m_kept->queries.erase(kept);
            return query;
        }
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        return failure<QSqlQuery>(query.lastError());
    return query;
}

DbResult<QSqlQuery> Store::run(const QString &statement, const QVariantList &values)
{
    auto made = prepared(statement);
    if (!made)
        return made;
    QSqlQuery query = std::move(made.value());
    bind(query, values);
    if (!query.exec()) {
        auto failed = failure<QSqlQuery>(query.lastError());
        if (m_engine == Engine::Server && m_inTransaction)
            m_kept->failed.push_back(std::move(query));
        return failed;
    }
    return query;
}

void Store::keep(const QString &statement, QSqlQuery &query)
{
    // On the server a statement is prepared anew: a new session after a
    // lost one knows none of the old one's.
    if (m_engine != Engine::File || query.lastError().isValid())
        return;
    // Reset: a read left halfway holds no lock on the file.
    query.finish();
    if (m_kept->queries.size() >= keptLimit)
        m_kept->queries.clear();
    m_kept->queries.insert_or_assign(statement, std::move(query));
}

template <class T> DbResult<T> Store::failure(const QSqlError &error)
{
    if (m_engine == Engine::File)
        return failed<T>(error);
    if (isServerBusy(error))
        return DbResult<T>::failure(errorText(error), true);
    // Inside a transaction the caller rolls back and judges the failure.
    if (m_inTransaction)
        return DbResult<T>::failure(errorText(error));
    if (alive())
        return DbResult<T>::failure(errorText(error));
    return lostConnection<T>(errorText(error));
}

bool Store::alive()
{
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (sessionLost(db))
        return false;
    QSqlQuery ping(db);
    return ping.exec(QString::fromLatin1(sql::server::ping));
}

template <class T> DbResult<T> Store::lostConnection(const QString &serverText)
{
    QSqlDatabase::database(m_name, false).close();
    return DbResult<T>::failure(
        u"%1: %2 Obidete se povtorno."_s.arg(QString::fromLatin1(connectionLost), serverText),
        true);
}

// Judged the same way by the statements run outside this file.
template DbStatus Store::failure<Done>(const QSqlError &error);

} // namespace trelok
