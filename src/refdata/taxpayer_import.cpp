#include "refdata/taxpayer_import.h"

#include "data/csv.h"
#include "data/statements.h"
#include "data/store.h"
#include "refdata/taxpayers.h"

#include <QSet>
#include <QSqlQuery>
#include <QTextStream>

#include <iterator>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// Rows written by one prepared statement at a time.
constexpr qsizetype rowsPerBatch = 1000;

QString expectedHeader()
{
    QStringList names;
    for (const ColumnDescriptor &column : taxpayerColumns)
        names.append(QString::fromLatin1(column.name));
    return names.join(u',');
}

bool isExpectedHeader(const QStringList &fields)
{
    if (fields.size() != qsizetype(std::size(taxpayerColumns)))
        return false;
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (fields[i].trimmed().compare(QLatin1StringView(taxpayerColumns[i].name),
                                        Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

int failed(QTextStream &err, const QString &message)
{
    err << "trelok: " << message << "\n"
        << "trelok: nisto ne e snimeno\n";
    err.flush();
    return 1;
}

// The row as a taxpayer to store, or why it is refused.
std::optional<Taxpayer> rowTaxpayer(const CsvRecord &record, QString &refusal)
{
    if (record.fields.size() != qsizetype(std::size(taxpayerColumns))) {
        refusal = u"red %1: ocekuvani se %2 polinja, ima %3"_s.arg(record.line)
                      .arg(std::size(taxpayerColumns))
                      .arg(record.fields.size());
        return std::nullopt;
    }
    const Taxpayer t = trimmedTaxpayer(
        {record.fields[0], record.fields[1], record.fields[2], record.fields[3]});
    for (qsizetype i = 0; i < record.fields.size(); ++i) {
        if (const QString why = columnRefusal(taxpayerColumns[i], record.fields[i]);
            !why.isEmpty()) {
            refusal = u"red %1 (%2): %3"_s.arg(record.line).arg(t.code.left(13), why);
            return std::nullopt;
        }
    }
    if (const auto refused = checkTaxpayer(t, TaxpayerMode::Add)) {
        refusal = u"red %1 (%2): %3"_s.arg(record.line).arg(t.code, refused->message);
        return std::nullopt;
    }
    return t;
}

struct Counts {
    qsizetype added = 0, changed = 0;
};

// Stores the file's accepted rows. Runs inside the write transaction: the
// known numbers are read there, so an import running at the same moment
// waits and then finds what this one added.
DbStatus storeRows(Store &store, CsvFile &file, Counts &counts)
{
    counts = {};
    QSet<QString> known;
    auto read = store.each(sql::obvr::codes, {}, [&known](const QSqlQuery &row) {
        known.insert(row.value(0).toString());
    });
    if (!read)
        return read;
    QList<QVariantList> inserts;
    QList<QVariantList> updates;
    const auto flush = [&]() -> DbStatus {
        if (auto added = store.execEach(sql::obvr::insert, inserts); !added)
            return added;
        if (auto changed = store.execEach(sql::obvr::update, updates); !changed)
            return changed;
        inserts.clear();
        updates.clear();
        return succeeded();
    };
    DbStatus status = succeeded();
    bool header = true;
    const QString error = file.records([&](CsvRecord &record) {
        if (std::exchange(header, false))
            return true;
        QString refusal;
        const auto t = rowTaxpayer(record, refusal);
        if (!t)
            return true;
        if (known.contains(t->code)) {
            updates.append({t->name, t->address, t->city, t->code});
            ++counts.changed;
        } else {
            known.insert(t->code);
            inserts.append({t->code, t->name, t->address, t->city});
            ++counts.added;
        }
        if (inserts.size() + updates.size() >= rowsPerBatch)
            status = flush();
        return status.ok();
    });
    if (!status)
        return status;
    if (!error.isEmpty())
        return DbStatus::failure(error);
    return flush();
}

} // namespace

int importTaxpayers(Store &store, const QString &fileName, QTextStream &out, QTextStream &err,
                    bool makscii)
{
    CsvFile file;
    if (const QString error =
            file.open(fileName, longestCsvRecord(taxpayerColumns), makscii);
        !error.isEmpty())
        return failed(err, error);
    bool first = true;
    bool header = false;
    qsizetype refused = 0;
    // The refusals, a row at a time, before anything is stored.
    const QString error = file.records([&](CsvRecord &record) {
        if (std::exchange(first, false))
            return header = isExpectedHeader(record.fields);
        QString refusal;
        if (!rowTaxpayer(record, refusal)) {
            err << "trelok: odbien " << refusal << "\n";
            ++refused;
        }
        return true;
    });
    if (!error.isEmpty())
        return failed(err, error);
    if (!header)
        return failed(err, u"%1: prviot red mora da bide \"%2\""_s.arg(fileName, expectedHeader()));

    Counts counts;
    DbStatus stored = store.writeTransaction([&] { return storeRows(store, file, counts); });
    for (int attempt = 1; stored.busy() && attempt < importBusyAttempts; ++attempt)
        stored = store.writeTransaction([&] { return storeRows(store, file, counts); });
    if (!stored)
        return failed(err, stored.error());

    out << "Dodadeni: " << counts.added << "\n"
        << "Promeneti: " << counts.changed << "\n"
        << "Odbieni: " << refused << "\n";
    out.flush();
    err.flush();
    return refused == 0 ? 0 : 1;
}

} // namespace trelok
