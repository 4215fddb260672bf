#pragma once

#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <functional>
#include <memory>

class QFile;
class QTemporaryFile;

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

// Reads comma-separated text with RFC 4180 quoting, a character at a time,
// so that a text may come in pieces: a field that begins with a quote runs
// to the closing quote, may hold commas and line breaks, and "" inside it is
// one quote. Line breaks are LF, CRLF or CR; blank lines are skipped. A
// record longer than maxRecordChars (its characters as written, quotes and
// separators included) stops the reading with an error.
class CsvParser {
public:
    explicit CsvParser(qsizetype maxRecordChars = -1) : m_max(maxRecordChars) {}
    // Reads text; complete records are appended to records. False once an
    // error stopped the reading.
    bool feed(QStringView text, QList<CsvRecord> &records);
    // The end of the text: the last record, or the error of a text cut off
    // inside a quoted field (with the line where that field began).
    bool finish(QList<CsvRecord> &records);
    const QString &error() const { return m_error; }
    // Whether complete records are handed on; without, the text's form
    // alone is checked.
    void keepRecords(bool keep) { m_keep = keep; }

private:
    enum class State { Plain, Quoted, QuoteInQuoted };
    void endRecord(QList<CsvRecord> &records);

    qsizetype m_max;
    bool m_keep = true;
    State m_state = State::Plain;
    QStringList m_record;
    QString m_field;
    bool m_fieldStarted = false; // something of the current field was read
    bool m_any = false;          // something of the current record was read
    bool m_skipLf = false;       // a CR ended the record; an LF after it belongs to it
    qsizetype m_chars = 0;       // characters of the current record
    qsizetype m_line = 1;
    qsizetype m_recordLine = 1;
    qsizetype m_quoteLine = 1;
    QString m_error;
};

CsvText readCsv(const QString &text);

// Whether a record is the header: as many fields, each the header's name
// with blanks around it and without regard to case.
bool isHeaderRecord(const QStringList &fields, const QStringList &header);

// The records of readCsv, without their lines; the first one is the header.
QList<QStringList> parseCsv(const QString &text);

// One record as a line of comma-separated text ending in CRLF, each field
// quoted where needed so that readCsv gives it back exactly.
QString csvRecord(const QStringList &fields);

// An import reads a file without anyone to press the button again: a
// database held by another program is tried this many times, each attempt
// waiting the store's busy time.
inline constexpr int importBusyAttempts = 12;

// A UTF-8 CSV file read as a stream: memory stays bounded whatever the file
// holds. open() refuses what is not a file (a directory, a device) before
// reading a byte, and reads the whole file once to check its form: UTF-8,
// every record at most maxRecordChars long, not cut off inside a quoted
// field. A pipe is kept in a temporary file while it is checked, so
// records() can read it again. Only a file whose form was checked is read:
// an import that cannot be read to its end stores nothing. A byte order
// mark is passed over; with makscii, typed Macedonian Cyrillic letters
// become the code points the form font shows.
class CsvFile {
public:
    CsvFile();
    ~CsvFile();
    // The error, empty when the file was read to its end. header, when
    // given, is shown the first record as the form is checked.
    QString open(const QString &fileName, qsizetype maxRecordChars, bool makscii = false,
                 const std::function<void(const CsvRecord &)> &header = {});
    // Takes over a file another program wrote (its output kept in a
    // temporary file) and checks its form as open() does; messages call it
    // name.
    QString open(std::unique_ptr<QTemporaryFile> written, const QString &name,
                 qsizetype maxRecordChars);
    // Reads the records from the start, a record at a time; visit returns
    // false to stop. Returns the error, empty when it read to the end.
    QString records(const std::function<bool(CsvRecord &)> &visit);
    const QString &fileName() const { return m_fileName; }

private:
    QString read(QFile &device, QFile *copy, const std::function<bool(CsvRecord &)> &visit,
                 bool headerOnly = false);

    QString m_fileName;
    QString m_readFrom; // the file itself, or the temporary copy of a pipe
    qsizetype m_max = -1;
    bool m_makscii = false;
    qint64 m_checked = -1; // the bytes the check read; -1 before it
    std::unique_ptr<QTemporaryFile> m_copy;
};

} // namespace trelok
