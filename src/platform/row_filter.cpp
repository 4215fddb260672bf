#include "platform/row_filter.h"

#include "platform/makscii.h"

#include <QStringMatcher>

#include <algorithm>

namespace trelok {

namespace {
// Between the cells of a row; a text box cannot hold it, so a search never
// matches across two columns.
constexpr char16_t cellBreak = u'\n';
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
    m_text.clear();
    m_start.assign(1, 0);
    m_matches.clear();
}

void RowFilter::addRow(const QString *cells, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        const QString &cell = cells[i];
        const qsizetype at = m_text.size();
        if (m_text.capacity() < at + cell.size() + 1)
            m_text.reserve(std::max(at + cell.size() + 1, 2 * m_text.capacity()));
        m_text.resize(at + cell.size() + 1);
        QChar *out = m_text.data() + at;
        for (QChar c : cell)
            *out++ = foldShown(c);
        *out = QChar(cellBreak);
    }
    m_start.push_back(m_text.size());
}

void RowFilter::permute(const std::vector<int> &order)
{
    QString text;
    text.reserve(m_text.size());
    std::vector<qsizetype> start;
    start.reserve(m_start.size());
    start.push_back(0);
    for (int row : order) {
        text.append(QStringView(m_text).sliced(m_start[size_t(row)],
                                               m_start[size_t(row) + 1] - m_start[size_t(row)]));
        start.push_back(text.size());
    }
    m_text = std::move(text);
    m_start = std::move(start);
    searchAll();
}

bool RowFilter::rowContains(int row, const QStringMatcher &matcher) const
{
    const qsizetype from = m_start[size_t(row)];
    return matcher.indexIn(QStringView(m_text).sliced(from, m_start[size_t(row) + 1] - from)) >= 0;
}

bool RowFilter::search(const QString &text)
{
    const QString needle = fold(text);
    if (needle == m_needle)
        return false;
    const bool narrows = !m_needle.isEmpty() && needle.contains(m_needle);
    m_needle = needle;
    if (!narrows || m_needle.contains(QChar(cellBreak))) {
        searchAll();
        return true;
    }
    const QStringMatcher matcher(m_needle, Qt::CaseSensitive);
    std::vector<int> kept;
    for (int row : m_matches)
        if (rowContains(row, matcher))
            kept.push_back(row);
    m_matches = std::move(kept);
    return true;
}

void RowFilter::searchAll()
{
    m_matches.clear();
    if (m_needle.isEmpty() || m_needle.contains(QChar(cellBreak)))
        return;
    const QStringMatcher matcher(m_needle, Qt::CaseSensitive);
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row)
        if (rowContains(row, matcher))
            m_matches.push_back(row);
}

} // namespace trelok
