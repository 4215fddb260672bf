#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace trelok {

class SafeFile;

// Whether bytes are UTF-8 as the toolkit writes it: no overlong forms, no
// surrogates, nothing past U+10FFFF. Such text passes through unchanged.
bool wellFormedUtf8(QByteArrayView text);

// The CSV text of rows, gathered in blocks that go to a SafeFile whole,
// each field as csvRecord (data/csv.h) writes it: quoted whenever a reader
// could take it otherwise (separators, quotes, line breaks, blanks at
// either end), quotes doubled. Each field is looked at once: plain ASCII,
// the usual case, is copied as it is; text past ASCII is checked first.
class CsvBlocks {
public:
    explicit CsvBlocks(SafeFile &file);

    // Appends a field of stored bytes; false, with nothing appended, when
    // they are not well-formed UTF-8.
    bool field(QByteArrayView value);
    void separator()
    {
        *room(1) = ',';
        ++m_used;
    }
    // Ends the row; a full block goes to the file.
    void endRow();
    void flush();

private:
    static constexpr qsizetype blockSize = 256 * 1024;

    void put(const unsigned char *text, qsizetype n, bool quote, bool doubled);
    // Where the next bytes go, with room for n of them.
    char *room(qsizetype n);

    SafeFile &m_file;
    QByteArray m_bytes;
    qsizetype m_used = 0;
};

} // namespace trelok
