#include "platform/row_filter.h"

#include "platform/makscii.h"

#include <QByteArrayView>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace trelok {

namespace {

// Whether bytes hold the needle: the C library's memmem where it has one.
bool holdsBytes(const char *bytes, size_t size, const QByteArray &needle)
{
#ifdef Q_OS_WIN
    return std::string_view(bytes, size).find(std::string_view(needle.constData(),
                                                               size_t(needle.size()))) !=
           std::string_view::npos;
#else
    return memmem(bytes, size, needle.constData(), size_t(needle.size())) != nullptr;
#endif
}

// Ends each cell held as its text: a byte that UTF-8 never holds.
constexpr char cellBreak = char(0xFF);
// Starts a cell held as one of its column's shared texts: another byte UTF-8
// never holds, followed by the text's number in two bytes below idBase (so
// neither is taken for a mark).
constexpr char sharedMark = char(0xFE);
constexpr int idBase = 0xFE;
constexpr int sharedCell = 3;
constexpr qsizetype maxShared = qsizetype(idBase) * idBase;
// Starts a cell that keeps only what follows the start it shares with the
// row before: a third byte UTF-8 never holds, then a byte counting the
// shared bytes (so at most 255 of them).
constexpr char frontMark = char(0xFD);
constexpr qsizetype frontCell = 2;
constexpr qsizetype maxKept = 255;
// A column's texts are looked up among its shared texts while at least a
// quarter of them are found there, judged after this many.
constexpr qsizetype trialTexts = 4096;
// Whether a cell at at (before end) names a shared text, and which.
bool isShared(const char *at, const char *end)
{
    return *at == sharedMark && end - at >= sharedCell;
}
int sharedTextOf(const char *at)
{
    return static_cast<unsigned char>(at[1]) * idBase + static_cast<unsigned char>(at[2]);
}

// How many bytes a cell at at keeps from the row held whole (none without
// the mark); at is moved past the mark.
size_t keptBytes(const char *&at, const char *end)
{
    if (*at != frontMark || end - at < frontCell)
        return 0;
    const size_t kept = static_cast<unsigned char>(at[1]);
    at += frontCell;
    return kept;
}

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

// The character of a text at from (ending before to) folded as fold()
// folds it, written at out, which moves past it: ASCII through a table, a
// character of two or three bytes through foldShown, the rest (a character
// outside the first plane, which fold leaves alone) as it is. A character
// never grows by more than half its bytes. Gives where the next begins.
inline const char *foldChar(const char *from, const char *to, char *&out)
{
    const auto b = static_cast<unsigned char>(*from);
    if (b < 0x80) {
        *out++ = asciiFolded()[b];
        return from + 1;
    }
    if ((b & 0xE0) == 0xC0 && to - from >= 2) {
        const char32_t c = (char32_t(b & 0x1F) << 6) | (from[1] & 0x3F);
        out = putUtf8(out, foldShown(QChar(char16_t(c))).unicode());
        return from + 2;
    }
    if ((b & 0xF0) == 0xE0 && to - from >= 3) {
        const char32_t c =
            (char32_t(b & 0x0F) << 12) | (char32_t(from[1] & 0x3F) << 6) | (from[2] & 0x3F);
        out = putUtf8(out, foldShown(QChar(char16_t(c))).unicode());
        return from + 3;
    }
    *out++ = char(b);
    return from + 1;
}

// A text folded, written at out (room for twice its bytes); gives the end
// of what was written.
char *foldUtf8(const char *from, const char *to, char *out)
{
    while (from < to)
        from = foldChar(from, to, out);
    return out;
}

bool isMark(char c)
{
    return static_cast<unsigned char>(c) >= static_cast<unsigned char>(frontMark);
}

bool holdsMark(QByteArrayView text)
{
    return std::any_of(text.begin(), text.end(), isMark);
}

// A text with the bytes a row uses as marks (never in UTF-8) each replaced
// by the replacement character, which is how such a byte is shown anyway.
QByteArray withoutMarks(QByteArrayView text)
{
    QByteArray clean;
    clean.reserve(text.size() + 8);
    for (char c : text) {
        if (isMark(c))
            clean.append("\xEF\xBF\xBD");
        else
            clean.append(c);
    }
    return clean;
}

void appendText(QByteArray &to, QByteArrayView text)
{
    if (holdsMark(text))
        to.append(withoutMarks(text));
    else
        to.append(text);
    to.append(cellBreak);
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
    m_starts.clear();
    m_blockRows.clear();
    m_shared.clear();
    m_sharedNeedle.clear();
    m_whole.clear();
    m_reader = {};
    m_matches.clear();
}

QByteArray &RowFilter::blockFor(qsizetype size)
{
    if (m_blocks.empty() || m_blocks.back().size() + size > blockSize) {
        m_blocks.emplace_back();
        m_blocks.back().reserve(std::max(blockSize, size));
        m_blockRows.push_back(rowCount());
    }
    return m_blocks.back();
}

void RowFilter::append(QByteArrayView row)
{
    QByteArray &block = blockFor(row.size());
    m_starts.push_back(quint32(block.size()));
    block.append(row);
}

QByteArrayView RowFilter::rowBytes(int row) const
{
    const auto block = size_t(std::upper_bound(m_blockRows.begin(), m_blockRows.end(), row) -
                              m_blockRows.begin() - 1);
    const QByteArray &bytes = m_blocks[block];
    const int next = block + 1 < m_blockRows.size() ? m_blockRows[block + 1] : rowCount();
    const qsizetype begin = m_starts[size_t(row)];
    const qsizetype end = row + 1 < next ? qsizetype(m_starts[size_t(row) + 1]) : bytes.size();
    return QByteArrayView(bytes.constData() + begin, end - begin);
}

void RowFilter::appendRow(QByteArray &to, const QByteArrayView *cells, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i)
        appendText(to, cells[i]);
}

void RowFilter::appendCell(QByteArray &to, int column, QByteArrayView text)
{
    const QByteArray clean = holdsMark(text) ? withoutMarks(text) : QByteArray();
    if (!clean.isNull())
        text = clean;
    const bool whole = !sharesStarts();
    std::string &first = m_whole[size_t(column)];
    if (const int id = sharedId(column, text); id >= 0) {
        to.append(sharedMark);
        to.append(char(id / idBase));
        to.append(char(id % idBase));
        // The rows after it share nothing with a shared text.
        if (whole)
            first.clear();
        return;
    }
    qsizetype kept = 0;
    if (!whole) {
        const qsizetype most = std::min({text.size(), qsizetype(first.size()), maxKept});
        while (kept < most && text[kept] == first[size_t(kept)])
            ++kept;
    }
    if (kept > frontCell) {
        to.append(frontMark);
        to.append(char(kept));
        to.append(text.sliced(kept));
    } else {
        to.append(text);
    }
    to.append(cellBreak);
    if (whole)
        first.assign(text.data(), size_t(text.size()));
}

int RowFilter::sharedId(int column, QByteArrayView text)
{
    Shared &shared = m_shared[size_t(column)];
    const bool lookUp = shared.seen < trialTexts || shared.found * 4 >= shared.seen;
    if (text.size() < sharedCell || !lookUp)
        return -1;
    ++shared.seen;
    int id = -1;
    if (auto at = shared.ids.constFind(QByteArray::fromRawData(text.data(), text.size()));
        at != shared.ids.cend()) {
        ++shared.found;
        id = *at;
    } else if (qsizetype(shared.texts.size()) < maxShared) {
        id = int(shared.texts.size());
        shared.texts.push_back(text.toByteArray());
        shared.ids.insert(shared.texts.back(), id);
    }
    return id;
}

void RowFilter::addRow(const QString *cells, qsizetype count)
{
    QVarLengthArray<QByteArray, 8> utf8;
    QVarLengthArray<QByteArrayView, 8> views;
    for (qsizetype i = 0; i < count; ++i)
        utf8.append(cells[i].toUtf8());
    for (const QByteArray &text : utf8)
        views.append(text);
    addRow(views.data(), count);
}

void RowFilter::addRow(const QByteArrayView *cells, qsizetype count)
{
    if (qsizetype(m_shared.size()) < count)
        m_shared.resize(size_t(count));
    // A column the row held whole did not have shares nothing.
    if (!sharesStarts())
        m_whole.assign(size_t(count), {});
    else if (m_whole.size() < size_t(count))
        m_whole.resize(size_t(count));
    m_row.clear();
    for (qsizetype i = 0; i < count; ++i)
        appendCell(m_row, int(i), cells[i]);
    append(m_row);
}

QString RowFilter::cell(int row, int column) const
{
    return QString::fromUtf8(cellBytes(row, column));
}

QByteArrayView RowFilter::cellBytes(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || size_t(column) >= m_shared.size())
        return {};
    const Cell *whole = wholeCell(row - row % wholeEvery, column);
    // Only the cells before column are passed, so reading one column of
    // every row stays quick.
    const QByteArrayView bytes = rowBytes(row);
    const char *at = bytes.data();
    const char *const end = at + bytes.size();
    for (int c = 0; at < end; ++c) {
        if (isShared(at, end)) {
            if (c == column) {
                const auto id = size_t(sharedTextOf(at));
                const auto &texts = m_shared[size_t(c)].texts;
                return id < texts.size() ? QByteArrayView(texts[id]) : QByteArrayView();
            }
            at += sharedCell;
            continue;
        }
        const size_t kept = keptBytes(at, end);
        const auto *stop = static_cast<const char *>(std::memchr(at, cellBreak, size_t(end - at)));
        if (!stop)
            stop = end;
        if (c == column) {
            if (kept == 0)
                return QByteArrayView(at, stop - at);
            std::string &text = m_reader.text;
            text.assign(whole->text ? whole->text : "", std::min(kept, whole->length));
            text.append(at, size_t(stop - at));
            return QByteArrayView(text.data(), qsizetype(text.size()));
        }
        at = stop + 1;
    }
    return {};
}

const RowFilter::Cell *RowFilter::wholeCell(int first, int column) const
{
    Reader &read = m_reader;
    if (read.whole.size() < m_shared.size()) {
        read.whole.resize(m_shared.size());
        read.first = -1;
    }
    if (read.first != first) {
        readCells(first, read.whole, nullptr);
        read.first = first;
    }
    return &read.whole[size_t(column)];
}

const RowFilter::Reader &RowFilter::readRow(int row) const
{
    Reader &read = m_reader;
    if (read.row == row)
        return read;
    if (read.cells.size() < m_shared.size())
        read.cells.resize(m_shared.size());
    wholeCell(row - row % wholeEvery, 0);
    read.count = readCells(row, read.cells, &read.whole);
    read.row = row;
    return read;
}

size_t RowFilter::readCells(int row, std::vector<Cell> &cells, const std::vector<Cell> *whole) const
{
    const QByteArrayView bytes = rowBytes(row);
    const char *next = bytes.data();
    const char *end = next + bytes.size();
    size_t column = 0;
    for (; next < end && column < cells.size(); ++column) {
        Cell &cell = cells[column];
        if (isShared(next, end)) {
            cell.shared = sharedTextOf(next);
            cell.text = nullptr;
            cell.length = 0;
            next += sharedCell;
            continue;
        }
        cell.shared = -1;
        const size_t kept = keptBytes(next, end);
        // The few bytes a cell adds are passed quicker than looked for.
        const char *stop = next;
        while (stop < end && *stop != cellBreak)
            ++stop;
        if (kept == 0 || !whole) {
            cell.text = next;
            cell.length = size_t(stop - next);
        } else {
            const Cell &start = (*whole)[column];
            cell.own.assign(start.text ? start.text : "", std::min(kept, start.length));
            cell.own.append(next, size_t(stop - next));
            cell.text = cell.own.data();
            cell.length = cell.own.size();
        }
        next = stop + 1;
    }
    const size_t count = column;
    for (; column < cells.size(); ++column) {
        cells[column].text = nullptr;
        cells[column].length = 0;
    }
    return count;
}

QByteArrayView RowFilter::cellOf(QByteArrayView row, int column)
{
    const char *at = row.data();
    const char *end = at + row.size();
    for (int c = 0; c < column && at < end; ++c) {
        const auto *stop = static_cast<const char *>(std::memchr(at, cellBreak, size_t(end - at)));
        at = stop ? stop + 1 : end;
    }
    const auto *stop = static_cast<const char *>(std::memchr(at, cellBreak, size_t(end - at)));
    return QByteArrayView(at, stop ? stop - at : end - at);
}

void RowFilter::matchShared(const QByteArray &needle)
{
    // The texts looked at for this search already keep their answer.
    const bool again = needle == m_sharedNeedle;
    m_sharedNeedle = needle;
    QByteArray folded;
    for (Shared &shared : m_shared) {
        const size_t known = again ? shared.matching.size() : 0;
        shared.matching.resize(known);
        shared.matching.resize(shared.texts.size(), false);
        for (size_t id = known; id < shared.texts.size(); ++id) {
            const QByteArray &text = shared.texts[id];
            folded.resize(2 * text.size());
            const char *end = foldUtf8(text.constData(), text.constData() + text.size(),
                                       folded.data());
            shared.matching[id] = holdsBytes(folded.constData(), size_t(end - folded.constData()),
                                             needle);
        }
    }
}

// What a search going through rows holds: the row held whole of the rows
// it looks at (first), folded (each cell ended by a cellBreak), whether its
// shared cells match, where each column's text begins in it and how many of
// its first bytes are ASCII (folded a byte to a byte); and another row,
// folded.
struct RowFilter::Walk {
    std::string whole, folded;
    std::vector<size_t> starts, ascii;
    int first = -1;
    bool wholeFound = false;
};

bool RowFilter::rowContains(int row, const QByteArray &needle, Walk &walk) const
{
    const auto holds = [&needle](const std::string &folded, size_t size) {
        return holdsBytes(folded.data(), size, needle);
    };
    const int first = row - row % wholeEvery;
    if (walk.first != first) {
        walk.first = first;
        const size_t size = foldRow(first, walk, walk.whole);
        walk.wholeFound = walk.wholeFound || holds(walk.whole, size);
    }
    if (row == first)
        return walk.wholeFound;
    bool found = false;
    const size_t size = foldRow(row, walk, walk.folded, &found);
    return found || holds(walk.folded, size);
}

size_t RowFilter::foldRow(int row, Walk &walk, std::string &to, bool *found) const
{
    const bool whole = !found;
    const size_t columns = m_shared.size();
    if (whole) {
        walk.starts.assign(columns, 0);
        walk.ascii.assign(columns, 0);
        walk.wholeFound = false;
        found = &walk.wholeFound;
    }
    const QByteArrayView bytes = rowBytes(row);
    // A cell's text folds to at most twice its bytes, and at most maxKept
    // of them are not in the row's bytes.
    const auto room = size_t(2 * (bytes.size() + qsizetype(columns) * maxKept));
    if (to.size() < room)
        to.resize(room);
    const auto &table = asciiFolded();
    char *const base = to.data();
    char *out = base;
    const char *at = bytes.data();
    const char *const end = at + bytes.size();
    for (size_t column = 0; at < end && column < columns; ++column) {
        if (isShared(at, end)) {
            // A shared text was folded and searched once for the search.
            const int id = sharedTextOf(at);
            const auto &matching = m_shared[column].matching;
            *found = *found || (size_t(id) < matching.size() && matching[size_t(id)]);
            at += sharedCell;
            *out++ = cellBreak;
            continue;
        }
        const size_t kept = keptBytes(at, end);
        // The text from from on, its first kept bytes folded already: the
        // start it shares with the row held whole, as far as that is ASCII,
        // else the text as read.
        const char *from = at;
        const char *stop = end;
        const bool inRow = whole || kept <= walk.ascii[column];
        if (whole) {
            walk.starts[column] = size_t(out - base);
        } else if (inRow) {
            std::memcpy(out, walk.whole.data() + walk.starts[column], kept);
            out += kept;
        } else {
            const Cell &cell = readRow(row).cells[column];
            from = cell.text;
            stop = cell.text + cell.length;
            at = static_cast<const char *>(std::memchr(at, cellBreak, size_t(end - at)));
            at = at ? at : end;
        }
        const char *const text = from;
        while (from < stop && static_cast<unsigned char>(*from) < 0x80)
            *out++ = table[size_t(static_cast<unsigned char>(*from++))];
        if (whole)
            walk.ascii[column] = size_t(from - text);
        if (from < stop && *from != cellBreak) {
            if (stop == end) {
                const auto *close =
                    static_cast<const char *>(std::memchr(from, cellBreak, size_t(end - from)));
                stop = close ? close : end;
            }
            while (from < stop)
                from = foldChar(from, stop, out);
        }
        at = (inRow ? from : at) + 1;
        *out++ = cellBreak;
    }
    return size_t(out - base);
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
    matchShared(bytes);
    Walk walk;
    std::vector<int> kept;
    for (int row : m_matches)
        if (rowContains(row, bytes, walk))
            kept.push_back(row);
    m_matches = std::move(kept);
    return true;
}

void RowFilter::searchAll()
{
    m_matches = matchesFrom(0);
}

std::vector<int> RowFilter::matchesFrom(int first)
{
    std::vector<int> found;
    if (m_needle.isEmpty() || m_needle.contains(QChar(lineBreak)))
        return found;
    const QByteArray bytes = m_needle.toUtf8();
    matchShared(bytes);
    Walk walk;
    const int rows = rowCount();
    for (int row = first; row < rows; ++row)
        if (rowContains(row, bytes, walk))
            found.push_back(row);
    return found;
}

void RowFilter::addMatches(const std::vector<int> &rows)
{
    m_matches.insert(m_matches.end(), rows.begin(), rows.end());
}

} // namespace trelok
