#include "data/csv.h"

#include "platform/makscii.h"

#include <QFile>
#include <QStringDecoder>

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

CsvText readCsvFile(const QString &fileName, bool makscii)
{
    CsvText out;
    QFile file(fileName);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        out.error = u"Fajlot %1 ne moze da se procita: %2"_s.arg(fileName, file.errorString());
        return out;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        out.error = u"Fajlot %1 ne e vo UTF-8"_s.arg(fileName);
        return out;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (makscii)
        text = fromCyrillic(text);
    out = readCsv(text);
    if (!out.error.isEmpty())
        out.error = fileName + u": "_s + out.error;
    return out;
}

QString csvRecord(const QStringList &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        const QString &field = fields[i];
        // Quoted whenever a reader could take it otherwise: separators, quotes,
        // line breaks, and blanks at either end.
        const bool quote =
            field.contains(u',') || field.contains(u'"') || field.contains(u'\n') ||
            field.contains(u'\r') ||
            (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
        if (!quote) {
            line += field;
            continue;
        }
        QString escaped = field;
        escaped.replace(u"\""_s, u"\"\""_s);
        line += u'"' + escaped + u'"';
    }
    return line + u"\r\n"_s;
}

QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> records;
    for (CsvRecord &record : readCsv(text).records)
        records.append(std::move(record.fields));
    return records;
}

} // namespace trelok
