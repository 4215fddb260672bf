#include "data/table_file.h"

#include "data/columns.h"
#include "data/csv.h"
#include "data/own_files.h"
#include "data/store.h"
#include "platform/file_writes.h"

#include <QFileInfo>
#include <QSet>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

int failed(QTextStream &err, const QStringList &lines)
{
    for (const QString &line : lines)
        err << "trelok: " << line << "\n";
    err << "trelok: nisto ne e snimeno\n";
    err.flush();
    return 1;
}

} // namespace

DbStatus replaceRows(Store &store, const TableFile &table, const QList<QStringList> &rows)
{
    if (auto emptied = store.exec(table.removeAll); !emptied)
        return emptied;
    QList<QVariantList> values;
    values.reserve(rows.size());
    for (const QStringList &row : rows) {
        QVariantList one;
        for (const QString &field : row)
            one.append(field);
        values.append(one);
    }
    return store.execEach(table.insert, values);
}

int importTableFile(Store &store, const TableFile &table, const QString &fileName, bool makscii,
                    QTextStream &out, QTextStream &err)
{
    // A layout or a code list has short rows; a longer record is no such file.
    constexpr qsizetype longestRecord = 4096;
    // Rows inserted by one prepared statement at a time.
    constexpr qsizetype rowsPerBatch = 500;
    CsvFile file;
    if (const QString error = file.open(fileName, longestRecord, makscii); !error.isEmpty())
        return failed(err, {error});
    // The file is read as a stream inside the transaction: a refused row is
    // said with its line as it comes and the whole is rolled back at the
    // end. Keys seen are kept as their hashes only.
    QString formError;
    qsizetype stored = 0, refused = 0;
    bool first = true;
    QSet<size_t> keys;
    const DbStatus done = store.writeTransaction([&]() -> DbStatus {
        formError.clear();
        stored = refused = 0;
        first = true;
        keys.clear();
        if (auto emptied = store.exec(table.removeAll); !emptied)
            return emptied;
        QList<QVariantList> batch;
        DbStatus written = succeeded();
        const auto flush = [&] {
            if (written && !batch.isEmpty())
                written = store.execEach(table.insert, batch);
            batch.clear();
            return bool(written);
        };
        const auto refuse = [&](const CsvRecord &record, const QString &reason) {
            ++refused;
            err << "trelok: " << u"red %1: %2"_s.arg(record.line).arg(reason) << "\n";
        };
        const QString unread = file.records([&](CsvRecord &record) {
            if (std::exchange(first, false)) {
                if (!isHeaderRecord(record.fields, table.header))
                    formError = u"%1: prviot red mora da bide \"%2\""_s.arg(
                        fileName, table.header.join(u','));
                return formError.isEmpty();
            }
            if (record.fields.size() != table.header.size()) {
                refuse(record, u"ocekuvani se %1 polinja, ima %2"_s.arg(table.header.size())
                                   .arg(record.fields.size()));
                return true;
            }
            QStringList fields;
            QString reason;
            for (qsizetype i = 0; i < record.fields.size(); ++i) {
                fields.append(record.fields[i].trimmed());
                // Every field is one line of a box: no NUL, no line break.
                if (reason.isEmpty())
                    reason = valueRefusal(table.header[i], fields.last(), unlimitedBox, true, true);
            }
            if (reason.isEmpty())
                reason = table.check(fields);
            const QString key = table.caseBlindKey ? fields.first().toUpper() : fields.first();
            if (reason.isEmpty() && keys.contains(qHash(key)))
                reason = u"%1 \"%2\" se javuva vtor pat"_s.arg(table.header.first(), fields.first());
            if (!reason.isEmpty()) {
                refuse(record, reason);
                return true;
            }
            keys.insert(qHash(key));
            QVariantList row;
            for (const QString &field : std::as_const(fields))
                row.append(field);
            batch.append(std::move(row));
            ++stored;
            return batch.size() < rowsPerBatch || flush();
        });
        if (formError.isEmpty())
            formError = unread;
        if (!formError.isEmpty() || refused > 0 || !flush())
            return written ? DbStatus::failure(formError) : written;
        if (stored == 0)
            return DbStatus::failure(u"%1: nema nitu eden red posle prviot"_s.arg(fileName));
        return succeeded();
    });
    if (!done)
        return failed(err, done.error().isEmpty() ? QStringList{} : QStringList{done.error()});
    out << "Vneseni: " << stored << " " << table.rowName << "\n";
    out.flush();
    return 0;
}

int exportTableFile(Store &store, const TableFile &table, const QString &fileName,
                    QTextStream &err)
{
    const auto fail = [&err](const QString &message) {
        err << "trelok: " << message << "\n";
        err.flush();
        return 1;
    };
    if (QFileInfo(fileName).isDir())
        return fail(u"%1 e direktorium"_s.arg(fileName));
    if (const QString own = ownFileRefusal(fileName, store); !own.isEmpty())
        return fail(own);
    auto rows = store.texts(table.select);
    if (!rows)
        return fail(rows.error());
    SafeFile file(fileName);
    if (!file.open())
        return fail(u"%1: %2"_s.arg(fileName, file.errorString()));
    file.write(csvRecord(table.header).toUtf8());
    for (QStringList row : rows.value()) {
        for (QString &field : row)
            field = field.trimmed();
        file.write(csvRecord(row).toUtf8());
    }
    if (!file.commit())
        return fail(u"%1: %2"_s.arg(fileName, file.errorString()));
    return 0;
}

} // namespace trelok
