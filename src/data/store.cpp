#include "data/store.h"

#include "data/schema.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

QAtomicInt connectionCounter;

QString errorText(const QSqlError &error)
{
    QString text = error.text().trimmed();
    return text.isEmpty() ? u"Nepoznata greska vo bazata na podatoci"_s : text;
}

DbResult<QSqlQuery> run(const QString &connection, const QString &statement,
                        const QVariantList &values)
{
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (!db.isOpen())
        return DbResult<QSqlQuery>::failure(u"Bazata na podatoci ne e otvorena"_s);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        return DbResult<QSqlQuery>::failure(errorText(query.lastError()));
    for (const QVariant &value : values) {
        // A null QString would be bound as SQL NULL; an empty field is stored
        // as the empty text it is.
        if (value.typeId() == QMetaType::QString && value.toString().isNull())
            query.addBindValue(QString(u""_s));
        else
            query.addBindValue(value);
    }
    if (!query.exec())
        return DbResult<QSqlQuery>::failure(errorText(query.lastError()));
    return query;
}

} // namespace

Store::Store() : m_name(u"trelok-%1"_s.arg(connectionCounter.fetchAndAddRelaxed(1)))
{}

Store::~Store()
{
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
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return DbStatus::failure(u"unable to open database file: %1"_s.arg(path));
    QSqlDatabase db = QSqlDatabase::contains(m_name)
                          ? QSqlDatabase::database(m_name, false)
                          : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
    // "mode=rw": SQLite opens the file only if it exists; a file removed
    // since the test above is reported, never created again empty.
    db.setConnectOptions(u"QSQLITE_OPEN_URI"_s);
    db.setDatabaseName(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded) +
                       u"?mode=rw"_s);
    if (!db.open())
        return DbStatus::failure(errorText(db.lastError()));
    const auto &expected = schemaColumns();
    for (const QString &table : tableNames()) {
        // Names come from the fixed list above, never from input.
        auto probe = run(m_name, u"SELECT * FROM %1 LIMIT 0"_s.arg(table), {});
        if (!probe) {
            db.close();
            return DbStatus::failure(probe.error());
        }
        // A missing column is a data error now, not a blank field later.
        const QSqlRecord record = probe.value().record();
        for (const QString &column : expected.value(table)) {
            if (record.indexOf(column) < 0) {
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
    auto query = run(m_name, statement, values);
    if (!query)
        return DbResult<QList<Row>>::failure(query.error());
    QList<Row> rows;
    while (query.value().next())
        rows.append(Row(query.value().record()));
    if (query.value().lastError().isValid())
        return DbResult<QList<Row>>::failure(errorText(query.value().lastError()));
    return rows;
}

DbResult<std::optional<Row>> Store::first(const QString &statement, const QVariantList &values)
{
    auto query = run(m_name, statement, values);
    if (!query)
        return DbResult<std::optional<Row>>::failure(query.error());
    if (query.value().next())
        return std::optional<Row>(Row(query.value().record()));
    if (query.value().lastError().isValid())
        return DbResult<std::optional<Row>>::failure(errorText(query.value().lastError()));
    return std::optional<Row>();
}

DbStatus Store::exec(const QString &statement, const QVariantList &values)
{
    auto query = run(m_name, statement, values);
    if (!query)
        return DbStatus::failure(query.error());
    return succeeded();
}

DbStatus Store::transaction(const std::function<DbStatus()> &work)
{
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (!db.transaction())
        return DbStatus::failure(errorText(db.lastError()));
    DbStatus status = work();
    if (!status) {
        db.rollback();
        return status;
    }
    if (!db.commit()) {
        const QString error = errorText(db.lastError());
        db.rollback();
        return DbStatus::failure(error);
    }
    return status;
}

} // namespace trelok
