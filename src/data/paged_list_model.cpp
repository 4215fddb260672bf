#include "data/paged_list_model.h"

#include "platform/makscii.h"

namespace trelok {

namespace {
// Lines read together while shown, and how many pages are kept.
constexpr int pageLines = 256;
constexpr qsizetype keptPages = 64;
} // namespace

PagedListModel::PagedListModel(int columns, QObject *parent)
    : FilteredTableModel(parent), m_columns(columns)
{}

DbStatus PagedListModel::load()
{
    auto count = countRows();
    if (!count)
        return DbStatus::failure(count);
    beginResetModel();
    restart();
    m_count = count.value();
    forgetLines();
    endResetModel();
    if (!filter().active())
        return succeeded();
    auto read = readAll();
    beginResetModel();
    filter().searchAgain();
    endResetModel();
    return read;
}

int PagedListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QByteArrayView PagedListModel::sourceCell(int source, int column) const
{
    if (source < filter().rowCount())
        return filter().cellBytes(source, column);
    const int page = source / pageLines;
    auto held = m_pages.constFind(page);
    if (held == m_pages.cend()) {
        // Until the window has told a failure, it does not read again.
        if (m_failure)
            return {};
        Page read;
        auto done = eachRow(page * pageLines, pageLines, [&](const QByteArrayView *cells) {
            RowFilter::appendRow(read.bytes, cells, m_columns);
            read.ends.push_back(read.bytes.size());
        });
        if (!done) {
            m_failure = DbStatus::failure(done);
            emit const_cast<PagedListModel *>(this)->readFailed();
            return {};
        }
        if (m_pages.size() >= keptPages)
            m_pages.clear();
        held = m_pages.insert(page, std::move(read));
    }
    const auto at = size_t(source % pageLines);
    if (at >= held->ends.size())
        return {};
    const qsizetype begin = at > 0 ? held->ends[at - 1] : 0;
    return RowFilter::cellOf(QByteArrayView(held->bytes).sliced(begin, held->ends[at] - begin),
                             column);
}

QString PagedListModel::sourceText(int source, int column) const
{
    return QString::fromUtf8(sourceCell(source, column));
}

QVariant PagedListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= m_columns)
        return {};
    if (role == Qt::DisplayRole)
        return sourceText(sourceRow(index.row()), index.column());
    // A screen reader is given the letters the font shows.
    if (role == Qt::AccessibleTextRole)
        return makscii(sourceText(sourceRow(index.row()), index.column()));
    return {};
}

DbResult<bool> PagedListModel::readPart(int rows, bool checkLast)
{
    RowFilter &lines = filter();
    const int held = lines.rowCount();
    const bool again = checkLast && held > 0;
    const QByteArray last = again ? lines.cellBytes(held - 1, 0).toByteArray() : QByteArray();
    bool first = again;
    bool same = !again;
    auto read = eachRow(again ? held - 1 : held, again ? rows + 1 : rows,
                        [&](const QByteArrayView *cells) {
                            if (first) {
                                first = false;
                                same = cells[0] == QByteArrayView(last);
                            } else if (same) {
                                lines.addRow(cells, m_columns);
                            }
                        });
    if (!read)
        return DbResult<bool>::failure(read);
    if (same && lines.rowCount() - held < rows)
        m_allRead = true;
    return same;
}

DbStatus PagedListModel::readMore(int rows)
{
    if (m_allRead)
        return succeeded();
    if (auto part = readPart(rows, false); !part)
        return DbStatus::failure(part);
    if (m_allRead) {
        m_pages.clear();
        if (filter().rowCount() != m_count) {
            beginResetModel();
            m_count = filter().rowCount();
            filter().searchAgain();
            endResetModel();
        }
    }
    return succeeded();
}

DbStatus PagedListModel::readAll()
{
    while (!m_allRead)
        if (auto read = readMore(wholePart); !read)
            return read;
    return succeeded();
}

DbStatus PagedListModel::search(const QString &text)
{
    if (!filter().changes(text))
        return succeeded();
    if (auto read = readAll(); !read)
        return read;
    setFilter(text);
    return succeeded();
}

void PagedListModel::forgetLines()
{
    m_pages.clear();
    filter().clear();
    m_allRead = m_count == 0;
}

std::optional<DbStatus> PagedListModel::takeFailure()
{
    return std::exchange(m_failure, std::nullopt);
}

} // namespace trelok
