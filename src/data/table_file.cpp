#include "data/table_file.h"

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

bool isHeader(const QStringList &fields, const QStringList &header)
{
    if (fields.size() != header.size())
        return false;
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (fields[i].trimmed().compare(header[i], Qt::CaseInsensitive) != 0)
            return false;
    return true;
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
    CsvFile file;
    CsvText csv;
    csv.error = file.open(fileName, longestRecord, makscii);
    if (csv.error.isEmpty())
        csv.error = file.records([&csv](CsvRecord &record) {
            csv.records.append(std::move(record));
            return true;
        });
    if (!csv.error.isEmpty())
        return failed(err, {csv.error});
    if (csv.records.isEmpty() || !isHeader(csv.records.first().fields, table.header))
        return failed(err, {u"%1: prviot red mora da bide \"%2\""_s.arg(fileName,
                                                                         table.header.join(u','))});
    QList<QStringList> rows;
    QStringList refused;
    QSet<QString> keys;
    for (qsizetype r = 1; r < csv.records.size(); ++r) {
        const CsvRecord &record = csv.records[r];
        const auto refuse = [&](const QString &reason) {
            refused.append(u"red %1: %2"_s.arg(record.line).arg(reason));
        };
        if (record.fields.size() != table.header.size()) {
            refuse(u"ocekuvani se %1 polinja, ima %2"_s.arg(table.header.size())
                       .arg(record.fields.size()));
            continue;
        }
        QStringList fields;
        for (const QString &field : record.fields)
            fields.append(field.trimmed());
        if (const QString reason = table.check(fields); !reason.isEmpty()) {
            refuse(reason);
            continue;
        }
        const QString key = table.caseBlindKey ? fields.first().toUpper() : fields.first();
        if (keys.contains(key)) {
            refuse(u"%1 \"%2\" se javuva vtor pat"_s.arg(table.header.first(), fields.first()));
            continue;
        }
        keys.insert(key);
        rows.append(fields);
    }
    if (!refused.isEmpty())
        return failed(err, refused);
    if (rows.isEmpty())
        return failed(err, {u"%1: nema nitu eden red posle prviot"_s.arg(fileName)});
    const DbStatus stored =
        store.writeTransaction([&]() { return replaceRows(store, table, rows); });
    if (!stored)
        return failed(err, {stored.error()});
    out << "Vneseni: " << rows.size() << " " << table.rowName << "\n";
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
    if (const QString own = ownFileRefusal(fileName, QFileInfo(store.path()).absolutePath());
        !own.isEmpty())
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
