#pragma once

#include <QString>
#include <QStringDecoder>
#include <QStringList>

class QIODevice;

namespace trelok::migration {

// One record and the line of the text on which it begins (from 1).
struct SourceRecord {
    QStringList fields;
    qsizetype line = 0;
};

// Reads comma-separated UTF-8 text a record at a time from a file or a
// pipe, as mdb-export writes it: a field in double quotes may hold commas
// and line breaks and "" inside it is one quote; a bare field is taken as
// it stands; an empty field is the empty text. Line breaks are LF or CRLF;
// blank lines are passed over; a byte order mark is passed over.
class SourceCsv {
public:
    // waitMs: how long a pipe may stay silent before the reading gives up.
    explicit SourceCsv(QIODevice &device, int waitMs = 120000);

    // The next record; false at the end of the text or when it cannot be
    // read further (error() then says why).
    bool next(SourceRecord &record);
    QString error() const { return m_error; }

private:
    int peek();
    int get();
    bool fill();

    QIODevice &m_device;
    int m_waitMs;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    QString m_buffer;
    qsizetype m_pos = 0;
    qsizetype m_line = 1;
    bool m_end = false;
    QString m_error;
};

} // namespace trelok::migration
