#include "data/csv_blocks.h"

#include "platform/file_writes.h"

#include <QChar>

#include <array>
#include <cstring>

namespace trelok {

namespace {

// Whether bytes are UTF-8 as the toolkit writes it: no overlong forms, no
// surrogates, nothing past U+10FFFF. Such text passes through unchanged.
bool wellFormed(const unsigned char *p, qsizetype n)
{
    for (qsizetype i = 0; i < n;) {
        const unsigned c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + more >= n)
            return false;
        if (p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k <= more; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        i += more + 1;
    }
    return true;
}

// The first and the last character of well-formed UTF-8 text.
char32_t firstCharacter(QByteArrayView text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    if (p[0] < 0x80)
        return p[0];
    const int more = p[0] >= 0xF0 ? 3 : p[0] >= 0xE0 ? 2 : 1;
    char32_t c = p[0] & (0x3F >> more);
    for (int k = 1; k <= more; ++k)
        c = (c << 6) | (p[k] & 0x3F);
    return c;
}

char32_t lastCharacter(QByteArrayView text)
{
    qsizetype start = text.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return firstCharacter(text.sliced(start));
}

// What a byte says about the field that holds it.
enum ByteClass : unsigned char {
    Plain = 0,
    Separator = 1, // a comma or a line break: the field is quoted
    Quote = 2,     // quoted, and the quote doubled
    Blank = 4,     // quoted when at either end
    High = 8,      // past ASCII: checked and read as UTF-8
};

constexpr std::array<unsigned char, 256> byteClasses = [] {
    std::array<unsigned char, 256> classes{};
    classes[','] = classes['\n'] = classes['\r'] = Separator;
    classes['"'] = Quote;
    // The blanks of QChar::isSpace within ASCII (line breaks are separators).
    classes['\t'] = classes['\v'] = classes['\f'] = classes[' '] = Blank;
    for (int c = 0x80; c < 0x100; ++c)
        classes[c] = High;
    return classes;
}();

} // namespace

bool wellFormedUtf8(QByteArrayView text)
{
    return wellFormed(reinterpret_cast<const unsigned char *>(text.data()), text.size());
}

CsvBlocks::CsvBlocks(SafeFile &file) : m_file(file)
{
    m_bytes.resize(blockSize + 4096);
}

bool CsvBlocks::field(QByteArrayView value)
{
    const auto *text = reinterpret_cast<const unsigned char *>(value.data());
    const qsizetype n = value.size();
    unsigned classes = 0;
    for (qsizetype i = 0; i < n; ++i)
        classes |= byteClasses[text[i]];
    bool quote = classes & (Separator | Quote);
    if (classes & High) {
        if (!wellFormed(text, n))
            return false;
        quote = quote || QChar::isSpace(firstCharacter(value)) ||
                QChar::isSpace(lastCharacter(value));
    } else if (n > 0) {
        quote = quote || byteClasses[text[0]] == Blank || byteClasses[text[n - 1]] == Blank;
    }
    put(text, n, quote, classes & Quote);
    return true;
}

void CsvBlocks::endRow()
{
    char *to = room(2);
    to[0] = '\r';
    to[1] = '\n';
    m_used += 2;
    if (m_used >= blockSize)
        flush();
}

void CsvBlocks::flush()
{
    m_file.write(QByteArrayView(m_bytes.constData(), m_used));
    m_used = 0;
}

void CsvBlocks::put(const unsigned char *text, qsizetype n, bool quote, bool doubled)
{
    char *to = room(quote ? 2 * n + 2 : n);
    if (!quote) {
        std::memcpy(to, text, size_t(n));
        m_used += n;
        return;
    }
    char *const start = to;
    *to++ = '"';
    if (!doubled) {
        std::memcpy(to, text, size_t(n));
        to += n;
    } else {
        for (qsizetype i = 0; i < n; ++i) {
            if (text[i] == '"')
                *to++ = '"';
            *to++ = char(text[i]);
        }
    }
    *to++ = '"';
    m_used += to - start;
}

char *CsvBlocks::room(qsizetype n)
{
    if (m_used + n > m_bytes.size()) {
        flush();
        if (n > m_bytes.size())
            m_bytes.resize(n);
    }
    return m_bytes.data() + m_used;
}

} // namespace trelok
