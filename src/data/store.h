#pragma once

#include "data/result.h"
#include "data/row.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

class QSqlQuery;

namespace trelok {

// The application's database file. Every statement runs prepared with bound
// values, so any text is stored exactly as typed.
class Store {
public:
    Store();
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // Opens an existing database file and checks that all tables are there.
    // The file is never created or changed by opening it.
    DbStatus open(const QString &path);
    bool isOpen() const;
    QString path() const { return m_path; }

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
    // Runs one statement, prepared once, for each list of values in turn;
    // stops at the first failure.
    DbStatus execEach(const char *statement, const QList<QVariantList> &valueLists);
    // Every row as texts by column position (Null as the empty text).
    DbResult<QList<QStringList>> texts(const char *statement, const QVariantList &values = {});

    // Runs work inside one transaction: committed when it succeeds, rolled
    // back when it fails, so related writes land together or not at all.
    DbStatus transaction(const std::function<DbStatus()> &work);
    // The same for work that reads and then writes (the counter): the write
    // lock is held from the start, so concurrent writers wait for each other.
    DbStatus writeTransaction(const std::function<DbStatus()> &work);

    QString connectionName() const { return m_name; }

private:
    DbStatus inTransaction(const QString &begin, const std::function<DbStatus()> &work);

    QString m_name;
    QString m_path;
};

} // namespace trelok
