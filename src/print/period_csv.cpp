#include "print/period_csv.h"

#include "data/csv.h"
#include "data/csv_blocks.h"
#include "data/own_files.h"
#include "platform/file_writes.h"
#include "print/period_list.h"
#include "print/period_rows.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

QByteArray record(const QStringList &fields)
{
    return csvRecord(fields).toUtf8();
}

QString plain(qint64 hundredths)
{
    return QString::number(hundredths / 100) + u'.' +
           QString::number(hundredths % 100).rightJustified(2, u'0');
}

// The amount of an order as the CSV gives it: the summed amount as
// "1234.50", else as amountShown; written into buffer.
QByteArrayView amountText(const PeriodRow &row, QByteArray &buffer)
{
    buffer.resize(0); // keeps its room from order to order
    if (row.hundredths) {
        buffer.setNum(*row.hundredths / 100);
        buffer.append('.');
        buffer.append(char('0' + *row.hundredths % 100 / 10));
        buffer.append(char('0' + *row.hundredths % 10));
        return buffer;
    }
    buffer.append(row.whole);
    if (!std::all_of(row.decimals.begin(), row.decimals.end(), [](char c) { return c == '0'; })) {
        buffer.append(',');
        buffer.append(row.decimals);
    }
    buffer.append(buffer.isEmpty() ? QByteArrayView("(prazen, ne e sobran)")
                                   : QByteArrayView(" (ne e sobran)"));
    return buffer;
}

// The records after the orders: the sums, the counts of the orders set
// apart, then those orders.
QByteArray totalsRecords(const PeriodTotals &t)
{
    QByteArray bytes;
    for (const PeriodSum &sum : t.kinds)
        bytes += record({u"Vkupno"_s, QString(), sum.kind, QString::number(sum.count), QString(),
                         QString(), plain(sum.hundredths)});
    bytes += record({u"Vkupno"_s, QString(), QString(), QString::number(t.all.count), QString(),
                     QString(), plain(t.all.hundredths)});
    // The counts of the totals' first line, in the column of the counts above.
    const auto count = [](const QString &words, qsizetype orders) {
        return record({words, QString(), QString(), QString::number(orders), QString(), QString(),
                       QString()});
    };
    bytes += count(u"Ne se sobrani"_s, t.amountApart.size());
    bytes += count(u"Ne se vo listata"_s, t.dateApart.size());
    for (const SetApart &order : t.amountApart)
        bytes += record({u"Ne e sobran"_s, QString(), order.kind, order.number, QString(),
                         QString(), order.stored});
    for (const SetApart &order : t.dateApart)
        bytes += record({u"Datumot ne se cita"_s, order.stored, order.kind, order.number, QString(),
                         QString(), QString()});
    return bytes;
}

// Why the list may not be written to file, or the empty text.
QString refusedCsvTarget(const QString &file, const QString &appDir)
{
    const QFileInfo info(file);
    if (file.isEmpty())
        return u"Ne e dadena datoteka za CSV"_s;
    if (info.isDir())
        return u"%1 e direktorium, ne datoteka za CSV"_s.arg(file);
    // A device or a pipe would be replaced by the file, not written to.
    if (info.exists() && !info.isFile())
        return u"%1 ne e obicna datoteka (ured ili cevka); listata ne e zapisana"_s.arg(file);
    return ownFileRefusal(file, appDir);
}

} // namespace

DbResult<QString> writePeriodCsv(Store &store, const Period &period, const QString &file,
                                 const QString &appDir)
{
    if (const QString refused = refusedCsvTarget(file, appDir); !refused.isEmpty())
        return refused;
    const QFileInfo info(file);
    SafeFile out(info.isSymLink() ? info.canonicalFilePath() : file);
    if (!out.open())
        return writeFailure(out);
    out.write(record({u"Broj"_s, u"Datum"_s, u"Vid"_s, u"Nalogodavac"_s, u"Povikuvanje na broj"_s,
                      u"Cel na doznaka"_s, u"Iznos"_s}));
    // Each order's stored bytes straight into the file's blocks.
    CsvBlocks blocks(out);
    QByteArray amount;
    auto totals = streamPeriod(store, period, [&](const PeriodRow &row) {
        for (QByteArrayView text : {row.number, row.date, row.kind, row.payer, row.reference,
                                    row.purpose}) {
            blocks.field(text);
            blocks.separator();
        }
        blocks.field(amountText(row, amount));
        blocks.endRow();
    });
    if (!totals)
        return DbResult<QString>::failure(totals);
    blocks.flush();
    out.write(totalsRecords(totals.value()));
    if (!out.commit())
        return writeFailure(out);
    return QString();
}

} // namespace trelok
