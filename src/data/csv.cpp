#include "data/csv.h"

using namespace Qt::StringLiterals;

namespace trelok {

CsvText readCsv(const QString &text)
{
    CsvText out;
    QStringList record;
    QString field;
    bool quoted = false;
    bool fieldStarted = false; // something of the current field was read
    bool any = false;          // something of the current record was read
    qsizetype line = 1;
    qsizetype recordLine = 1;
    qsizetype quoteLine = 1;
    const auto endRecord = [&] {
        if (any) {
            record.append(field);
            out.records.append(CsvRecord{record, recordLine});
        }
        record.clear();
        field.clear();
        fieldStarted = false;
        any = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field.append(u'"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field.append(c);
            }
            continue;
        }
        if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endRecord();
            ++line;
            recordLine = line;
            continue;
        }
        if (!any)
            recordLine = line;
        any = true;
        if (c == u'"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
            quoteLine = line;
        } else if (c == u',') {
            record.append(field);
            field.clear();
            fieldStarted = false;
        } else {
            field.append(c);
            fieldStarted = true;
        }
    }
    if (quoted) {
        out.error = u"Fajlot zavrsuva vo sredina na pole vo navodnici (red %1)"_s.arg(quoteLine);
        return out;
    }
    endRecord();
    return out;
}

QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> records;
    for (CsvRecord &record : readCsv(text).records)
        records.append(std::move(record.fields));
    return records;
}

} // namespace trelok
