#include "refdata/taxpayer_import.h"

#include "data/csv.h"
#include "data/repeated_statement.h"
#include "data/statements.h"
#include "data/store.h"
#include "refdata/taxpayers.h"

#include <QTextStream>

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

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
    qsizetype added = 0, changed = 0, refused = 0;
};

// Stores the file's accepted rows, a row at a time: a known tax number gets
// the row's name, address and city, a new one is added. Runs inside the
// write transaction, so an import running at the same moment waits and then
// finds what this one added. The refusals are written once, on the first
// reading (lines up to reported were written already).
DbStatus storeRows(Store &store, CsvFile &file, Counts &counts, qsizetype &reported,
                   QTextStream &err)
{
    counts = {};
    RepeatedStatement update(store, sql::obvr::update);
    RepeatedStatement insert(store, sql::obvr::insert);
    DbStatus status = succeeded();
    bool header = true;
    const QString error = file.records([&](CsvRecord &record) {
        if (std::exchange(header, false))
            return true;
        QString refusal;
        const auto t = rowTaxpayer(record, refusal);
        if (!t) {
            if (record.line > reported)
                err << "trelok: odbien " << refusal << "\n";
            reported = std::max(reported, record.line);
            ++counts.refused;
            return true;
        }
        reported = std::max(reported, record.line);
        auto changed = update.run({t->name, t->address, t->city, t->code});
        if (changed && changed.value() > 0) {
            ++counts.changed;
            return true;
        }
        if (changed) {
            auto added = insert.run({t->code, t->name, t->address, t->city});
            ++counts.added;
            if (!added)
                status = DbStatus::failure(added);
        } else {
            status = DbStatus::failure(changed);
        }
        return status.ok();
    });
    if (!status)
        return status;
    if (!error.isEmpty())
        return DbStatus::failure(error);
    return succeeded();
}

} // namespace

int importTaxpayers(Store &store, const QString &fileName, QTextStream &out, QTextStream &err,
                    bool makscii)
{
    CsvFile file;
    bool header = false;
    // The whole file is read once before anything is stored; its header then.
    if (const QString error = file.open(fileName, longestCsvRecord(taxpayerColumns), makscii,
                                        [&header](const CsvRecord &record) {
                                            header = isExpectedHeader(record.fields);
                                        });
        !error.isEmpty())
        return failed(err, error);
    if (!header)
        return failed(err, u"%1: prviot red mora da bide \"%2\""_s.arg(fileName, expectedHeader()));

    Counts counts;
    qsizetype reported = 0;
    const auto storeAll = [&] { return storeRows(store, file, counts, reported, err); };
    const Store::Unmapped unmapped(store);
    DbStatus stored = store.writeTransaction(storeAll);
    for (int attempt = 1; stored.busy() && attempt < importBusyAttempts; ++attempt)
        stored = store.writeTransaction(storeAll);
    if (!stored)
        return failed(err, stored.error());
    store.refreshFigures(sql::server::analyzeRegister, counts.added + counts.changed);

    out << "Dodadeni: " << counts.added << "\n"
        << "Promeneti: " << counts.changed << "\n"
        << "Odbieni: " << counts.refused << "\n";
    out.flush();
    err.flush();
    return counts.refused == 0 ? 0 : 1;
}

} // namespace trelok
