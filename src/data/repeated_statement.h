#pragma once

#include "data/result.h"

#include <QString>
#include <QStringView>

#include <initializer_list>
#include <memory>

class QSqlQuery;
struct sqlite3_stmt;

namespace trelok {

class Store;

// One statement prepared once and run for row after row of texts, for the
// long imports. On the SQLite file the texts are bound as they are, without
// a QVariant each; on the server through the store's connection. Failures
// are judged as the store judges them (held, connection lost).
class RepeatedStatement {
public:
    RepeatedStatement(Store &store, const char *statement);
    ~RepeatedStatement();
    RepeatedStatement(const RepeatedStatement &) = delete;
    RepeatedStatement &operator=(const RepeatedStatement &) = delete;

    // Runs the statement with these texts in the order of its "?" (a null
    // text is stored as the empty one). Returns the rows it changed.
    DbResult<qsizetype> run(std::initializer_list<QStringView> texts);

private:
    DbStatus prepare();

    Store &m_store;
    const char *m_statement;
    sqlite3_stmt *m_sqlite = nullptr;
    std::unique_ptr<QSqlQuery> m_query;
};

} // namespace trelok
