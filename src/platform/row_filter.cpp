#include "platform/row_filter.h"

#include "platform/makscii.h"

#include <QByteArrayView>

#include <array>
#include <cstring>

namespace trelok {

namespace {

// Ends each cell: a byte that UTF-8 never holds.
constexpr char cellBreak = char(0xFF);
// A text box cannot hold a line break: a search with one matches nothing.
constexpr char16_t lineBreak = u'\n';
// Rows are kept in blocks of this size, so holding a long list never copies
// what is already held.
constexpr qsizetype blockSize = qsizetype(4) << 20;

const std::array<char, 128> &asciiFolded()
{
    static const auto table = [] {
        std::array<char, 128> t{};
        for (int c = 0; c < 128; ++c)
            t[size_t(c)] = char(foldShown(QChar(c)).unicode());
        return t;
    }();
    return table;
}

char *putUtf8(char *out, char32_t c)
{
    if (c < 0x80) {
        *out++ = char(c);
    } else if (c < 0x800) {
        *out++ = char(0xC0 | (c >> 6));
        *out++ = char(0x80 | (c & 0x3F));
    } else {
        *out++ = char(0xE0 | (c >> 12));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    }
    return out;
}

// The bytes of one row folded as fold() folds its text: ASCII through a
// table, a character of two or three bytes through foldShown, the rest (a
// character outside the first plane, which fold leaves alone) as it is. A
// character never grows by more than half its bytes.
void foldUtf8(const char *from, const char *to, QByteArray &folded)
{
    folded.resize(2 * (to - from));
    char *out = folded.data();
    const auto &ascii = asciiFolded();
    while (from < to) {
        const auto b = static_cast<unsigned char>(*from);
        if (b < 0x80) {
            *out++ = ascii[b];
            ++from;
        } else if ((b & 0xE0) == 0xC0 && to - from >= 2) {
            const char32_t c = (char32_t(b & 0x1F) << 6) | (from[1] & 0x3F);
            out = putUtf8(out, foldShown(QChar(char16_t(c))).unicode());
            from += 2;
        } else if ((b & 0xF0) == 0xE0 && to - from >= 3) {
            const char32_t c =
                (char32_t(b & 0x0F) << 12) | (char32_t(from[1] & 0x3F) << 6) | (from[2] & 0x3F);
            out = putUtf8(out, foldShown(QChar(char16_t(c))).unicode());
            from += 3;
        } else {
            *out++ = char(b);
            ++from;
        }
    }
    folded.resize(out - folded.data());
}

} // namespace

QString RowFilter::fold(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = foldShown(text[i]);
    return out;
}

void RowFilter::clear()
{
    m_blocks.clear();
    m_rows.clear();
    m_matches.clear();
}

QByteArray &RowFilter::blockFor(qsizetype size)
{
    if (m_blocks.empty() || m_blocks.back().size() + size > blockSize) {
        m_blocks.emplace_back();
        m_blocks.back().reserve(std::max(blockSize, size));
    }
    return m_blocks.back();
}

void RowFilter::append(QByteArrayView row)
{
    QByteArray &block = blockFor(row.size());
    const auto begin = quint32(block.size());
    block.append(row);
    m_rows.push_back({quint32(m_blocks.size() - 1), begin, quint32(block.size())});
}

void RowFilter::appendRow(QByteArray &to, const QByteArrayView *cells, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        to.append(cells[i]);
        to.append(cellBreak);
    }
}

void RowFilter::addRow(const QString *cells, qsizetype count)
{
    QByteArray row;
    for (qsizetype i = 0; i < count; ++i) {
        row.append(cells[i].toUtf8());
        row.append(cellBreak);
    }
    append(row);
}

void RowFilter::addRow(const QByteArrayView *cells, qsizetype count)
{
    qsizetype size = count;
    for (qsizetype i = 0; i < count; ++i)
        size += cells[i].size();
    QByteArray &block = blockFor(size);
    const auto begin = quint32(block.size());
    appendRow(block, cells, count);
    m_rows.push_back({quint32(m_blocks.size() - 1), begin, quint32(block.size())});
}

QString RowFilter::cell(int row, int column) const
{
    return QString::fromUtf8(cellBytes(row, column));
}

QByteArrayView RowFilter::cellBytes(int row, int column) const
{
    const Span &span = m_rows[size_t(row)];
    const char *at = m_blocks[span.block].constData();
    return cellOf(QByteArrayView(at + span.begin, at + span.end), column);
}

QByteArrayView RowFilter::cellOf(QByteArrayView row, int column)
{
    const char *at = row.data();
    const char *end = at + row.size();
    for (int c = 0; c < column && at < end; ++c)
        at = static_cast<const char *>(std::memchr(at, cellBreak, size_t(end - at))) + 1;
    const auto *stop = static_cast<const char *>(std::memchr(at, cellBreak, size_t(end - at)));
    return QByteArrayView(at, stop ? stop - at : end - at);
}

void RowFilter::permute(const std::vector<int> &order)
{
    std::vector<QByteArray> blocks = std::move(m_blocks);
    const std::vector<Span> rows = std::move(m_rows);
    m_blocks.clear();
    m_rows.clear();
    m_rows.reserve(rows.size());
    for (int row : order) {
        const Span &span = rows[size_t(row)];
        append(QByteArrayView(blocks[span.block].constData() + span.begin,
                              span.end - span.begin));
    }
    searchAll();
}

bool RowFilter::rowContains(int row, const QByteArray &needle, QByteArray &folded) const
{
    const Span &span = m_rows[size_t(row)];
    const char *data = m_blocks[span.block].constData();
    foldUtf8(data + span.begin, data + span.end, folded);
    return memmem(folded.constData(), size_t(folded.size()), needle.constData(),
                  size_t(needle.size())) != nullptr;
}

bool RowFilter::search(const QString &text)
{
    const QString needle = fold(text);
    if (needle == m_needle)
        return false;
    const bool narrows = !m_needle.isEmpty() && needle.contains(m_needle);
    m_needle = needle;
    if (!narrows || m_needle.contains(QChar(lineBreak))) {
        searchAll();
        return true;
    }
    const QByteArray bytes = m_needle.toUtf8();
    QByteArray folded;
    std::vector<int> kept;
    for (int row : m_matches)
        if (rowContains(row, bytes, folded))
            kept.push_back(row);
    m_matches = std::move(kept);
    return true;
}

void RowFilter::searchAll()
{
    m_matches.clear();
    if (m_needle.isEmpty() || m_needle.contains(QChar(lineBreak)))
        return;
    const QByteArray bytes = m_needle.toUtf8();
    QByteArray folded;
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row)
        if (rowContains(row, bytes, folded))
            m_matches.push_back(row);
}

} // namespace trelok
