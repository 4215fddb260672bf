#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace trelok {

// One record of comma-separated text and the line on which it begins.
struct CsvRecord {
    QStringList fields;
    qsizetype line = 0; // counted from 1
};

// The records of a text, or why the text does not end where a record may end.
struct CsvText {
    QList<CsvRecord> records;
    QString error; // empty when the whole text was read
};

// Reads comma-separated text with RFC 4180 quoting: a field that begins with
// a quote runs to the closing quote, may hold commas and line breaks, and ""
// inside it is one quote. Line breaks are LF or CRLF; blank lines are
// skipped. A text that ends inside a quoted field is reported as cut off,
// with the line where that field began.
CsvText readCsv(const QString &text);

// readCsv over a UTF-8 file (a byte order mark is passed over); a file that
// cannot be read or is not UTF-8 is reported in error. With makscii, typed
// Macedonian Cyrillic letters become the code points the form font shows.
CsvText readCsvFile(const QString &fileName, bool makscii = false);

// One record as a line of comma-separated text ending in CRLF, each field
// quoted where needed so that readCsv gives it back exactly.
QString csvRecord(const QStringList &fields);

// The records of readCsv, without their lines; the first one is the header.
QList<QStringList> parseCsv(const QString &text);

} // namespace trelok
