#pragma once

#include <QString>

#include <memory>

class QSqlDatabase;
class QSqlError;
typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace trelok {

// The libpq session under a Qt connection to the server: which session it
// is, whether it is gone, and the real outcome of COMMIT.

// The session a connection is on: another PGconn or another server process
// is another session.
struct SessionId {
    const void *connection = nullptr;
    int serverProcess = 0;
    bool operator==(const SessionId &) const = default;
};
SessionId sessionId(const QSqlDatabase &db);

// The connection's libpq handle; null when it is closed or not the server's.
PGconn *sessionHandle(const QSqlDatabase &db);
// libpq's text of the session's last failure, never empty.
QString sessionErrorText(PGconn *conn);

// A libpq answer, cleared when it goes.
struct AnswerClear {
    void operator()(PGresult *result) const;
};
using SessionAnswer = std::unique_ptr<PGresult, AnswerClear>;

// The session's failure, with the server's code, as the driver reports a
// failed statement (so Store judges it as every other): the answer's text,
// else the session's.
QSqlError sessionError(PGconn *conn, const PGresult *answer);

// The connection is closed, or libpq found the session ended.
bool sessionLost(const QSqlDatabase &db);

enum class CommitResult {
    Committed,  // the server answered COMMIT
    RolledBack, // the server answered ROLLBACK: the transaction had failed
    Failed,     // the server refused the COMMIT; nothing was stored
    Unanswered, // the session ended before the answer: the outcome is not known here
};
struct CommitOutcome {
    CommitResult result = CommitResult::Failed;
    QString serverText;
};
// Sends COMMIT on the connection's own session and reads the server's answer.
CommitOutcome commitSession(QSqlDatabase &db);

} // namespace trelok
