#include "refdata/taxpayer_import.h"

#include "data/csv.h"
#include "data/statements.h"
#include "data/store.h"
#include "platform/makscii.h"
#include "refdata/taxpayers.h"

#include <QSet>
#include <QSqlQuery>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

const QStringList &expectedHeader()
{
    static const QStringList header{u"dec_cod"_s, u"dec_nam"_s, u"dec_ad3"_s, u"dec_tlx"_s};
    return header;
}

bool isExpectedHeader(const QStringList &fields)
{
    if (fields.size() != expectedHeader().size())
        return false;
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (fields[i].trimmed().compare(expectedHeader()[i], Qt::CaseInsensitive) != 0)
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

} // namespace

int importTaxpayers(Store &store, const QString &fileName, QTextStream &out, QTextStream &err,
                    bool makscii)
{
    const CsvText csv = readCsvFile(fileName, makscii);
    if (!csv.error.isEmpty())
        return failed(err, csv.error);
    if (csv.records.isEmpty() || !isExpectedHeader(csv.records.first().fields))
        return failed(err, u"%1: prviot red mora da bide \"%2\""_s.arg(
                               fileName, expectedHeader().join(u',')));

    QSet<QString> known;
    auto read = store.each(sql::obvr::codes, {}, [&known](const QSqlQuery &row) {
        known.insert(row.value(0).toString());
    });
    if (!read)
        return failed(err, read.error());

    QList<QVariantList> inserts;
    QList<QVariantList> updates;
    QStringList refused;
    for (qsizetype r = 1; r < csv.records.size(); ++r) {
        const CsvRecord &record = csv.records[r];
        if (record.fields.size() != expectedHeader().size()) {
            refused.append(u"red %1: ocekuvani se 4 polinja, ima %2"_s.arg(record.line)
                               .arg(record.fields.size()));
            continue;
        }
        const Taxpayer t = trimmedTaxpayer(
            {record.fields[0], record.fields[1], record.fields[2], record.fields[3]});
        if (const auto refusal = checkTaxpayer(t, TaxpayerMode::Add)) {
            refused.append(u"red %1 (%2): %3"_s.arg(record.line).arg(t.code, refusal->message));
            continue;
        }
        if (known.contains(t.code)) {
            updates.append({t.name, t.address, t.city, t.code});
        } else {
            known.insert(t.code);
            inserts.append({t.code, t.name, t.address, t.city});
        }
    }

    const DbStatus stored = store.transaction([&]() -> DbStatus {
        if (auto added = store.execEach(sql::obvr::insert, inserts); !added)
            return added;
        return store.execEach(sql::obvr::update, updates);
    });
    if (!stored)
        return failed(err, stored.error());

    out << "Dodadeni: " << inserts.size() << "\n"
        << "Promeneti: " << updates.size() << "\n"
        << "Odbieni: " << refused.size() << "\n";
    out.flush();
    for (const QString &line : refused)
        err << "trelok: odbien " << line << "\n";
    err.flush();
    return refused.isEmpty() ? 0 : 1;
}

} // namespace trelok
