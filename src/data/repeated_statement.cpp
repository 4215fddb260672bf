#include "data/repeated_statement.h"

#include "data/store.h"

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace trelok {

RepeatedStatement::RepeatedStatement(Store &store, const char *statement)
    : m_store(store), m_statement(statement)
{}

RepeatedStatement::~RepeatedStatement()
{
    sqlite3_finalize(m_sqlite);
}

DbStatus RepeatedStatement::prepare()
{
    if (sqlite3 *db = m_store.sqliteHandle()) {
        const int code = sqlite3_prepare_v2(db, m_statement, -1, &m_sqlite, nullptr);
        if (code != SQLITE_OK)
            return DbStatus::failure(Store::sqliteErrorText(db, code),
                                     code == SQLITE_BUSY || code == SQLITE_LOCKED);
        return succeeded();
    }
    auto made = m_store.prepared(QString::fromLatin1(m_statement));
    if (!made)
        return DbStatus::failure(made);
    m_query = std::make_unique<QSqlQuery>(std::move(made.value()));
    return succeeded();
}

DbResult<qsizetype> RepeatedStatement::run(std::initializer_list<QStringView> texts)
{
    if (!m_sqlite && !m_query) {
        if (auto prepared = prepare(); !prepared)
            return DbResult<qsizetype>::failure(prepared);
    }
    if (m_query) {
        int at = 0;
        for (QStringView text : texts)
            m_query->bindValue(at++, text.isNull() ? u""_s : text.toString());
        if (!m_query->exec())
            return DbResult<qsizetype>::failure(m_store.failure<Done>(m_query->lastError()));
        return qsizetype(m_query->numRowsAffected());
    }
    int at = 0;
    for (QStringView text : texts) {
        // The text stays where it is until the step below is done; a null
        // text is bound as the empty one, not as NULL.
        static const char16_t empty = 0;
        sqlite3_bind_text16(m_sqlite, ++at, text.isNull() ? &empty : text.utf16(),
                            int(text.size() * qsizetype(sizeof(char16_t))), SQLITE_STATIC);
    }
    sqlite3 *db = sqlite3_db_handle(m_sqlite);
    const int code = sqlite3_step(m_sqlite);
    const bool failed = code != SQLITE_DONE && code != SQLITE_ROW;
    const QString error = failed ? Store::sqliteErrorText(db, code) : QString();
    sqlite3_reset(m_sqlite);
    if (failed)
        return DbResult<qsizetype>::failure(error, code == SQLITE_BUSY || code == SQLITE_LOCKED);
    return qsizetype(sqlite3_changes(db));
}

} // namespace trelok
