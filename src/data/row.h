#pragma once

#include <QSqlRecord>
#include <QString>
#include <QVariant>

namespace trelok {

// Null becomes the empty text; any other value is returned unchanged.
inline QString mget(const QVariant &mfile)
{
    return mfile.isNull() ? QString() : mfile.toString();
}

// One row read from a table. Column names are matched without regard to case.
class Row {
public:
    Row() = default;
    explicit Row(QSqlRecord record) : m_record(std::move(record)) {}

    bool has(const QString &column) const { return m_record.indexOf(column) >= 0; }
    QVariant raw(const QString &column) const { return m_record.value(column); }
    bool isNull(const QString &column) const { return m_record.value(column).isNull(); }
    // The column's value through mget, trimmed: how every reader takes it.
    QString text(const QString &column) const { return mget(raw(column)).trimmed(); }

private:
    QSqlRecord m_record;
};

} // namespace trelok
