#include "data/server_session.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <libpq-fe.h>

#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace trelok {

PGconn *sessionHandle(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant value = db.driver()->handle();
    // PGconn is a typedef: the type may carry the struct's own name.
    const char *type = value.isValid() ? value.typeName() : "";
    if (qstrcmp(type, "PGconn*") != 0 && qstrcmp(type, "pg_conn*") != 0)
        return nullptr;
    return *static_cast<PGconn *const *>(value.constData());
}

QString sessionErrorText(PGconn *conn)
{
    const QString text = QString::fromUtf8(PQerrorMessage(conn)).simplified();
    return text.isEmpty() ? u"nepoznata greska"_s : text;
}

void AnswerClear::operator()(PGresult *result) const
{
    PQclear(result);
}

QSqlError sessionError(PGconn *conn, const PGresult *answer)
{
    QString text =
        answer ? QString::fromUtf8(PQresultErrorMessage(answer)).simplified() : QString();
    if (text.isEmpty())
        text = sessionErrorText(conn);
    const char *code = answer ? PQresultErrorField(answer, PG_DIAG_SQLSTATE) : nullptr;
    return QSqlError({}, text, QSqlError::StatementError,
                     code ? QString::fromLatin1(code) : QString());
}

SessionId sessionId(const QSqlDatabase &db)
{
    PGconn *conn = sessionHandle(db);
    return {conn, conn ? PQbackendPID(conn) : 0};
}

bool sessionLost(const QSqlDatabase &db)
{
    PGconn *conn = sessionHandle(db);
    return !conn || PQstatus(conn) == CONNECTION_BAD;
}

CommitOutcome commitSession(QSqlDatabase &db)
{
    PGconn *conn = sessionHandle(db);
    if (!conn || PQstatus(conn) == CONNECTION_BAD)
        return {CommitResult::Unanswered, conn ? sessionErrorText(conn) : u"nema vrska"_s};
    const std::unique_ptr<PGresult, void (*)(PGresult *)> answer(PQexec(conn, "COMMIT"), PQclear);
    const bool done = answer && PQresultStatus(answer.get()) == PGRES_COMMAND_OK;
    // A failed transaction is answered with the tag ROLLBACK, not an error.
    if (done && std::strcmp(PQcmdStatus(answer.get()), "COMMIT") == 0)
        return {CommitResult::Committed, {}};
    if (done)
        return {CommitResult::RolledBack, u"serverot ja vrati transakcijata nazad (ROLLBACK)"_s};
    if (PQstatus(conn) == CONNECTION_BAD)
        return {CommitResult::Unanswered, sessionErrorText(conn)};
    return {CommitResult::Failed, sessionErrorText(conn)};
}

} // namespace trelok
