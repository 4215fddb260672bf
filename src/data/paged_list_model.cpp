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
    // A search shows what it finds in the first lines; the rest follow as
    // they are read.
    if (!filter().active())
        return succeeded();
    return readMore(searchedFirst);
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

DbResult<int> PagedListModel::readOn(ListPlace &, int count, const RowVisit &visit) const
{
    int read = 0;
    auto done = eachRow(filter().rowCount(), count, [&](const QByteArrayView *cells) {
        visit(cells);
        ++read;
    });
    if (!done)
        return DbResult<int>::failure(done);
    return read;
}

DbStatus PagedListModel::readPart(int rows, bool quietly)
{
    RowFilter &lines = filter();
    const int held = lines.rowCount();
    auto read = readOn(m_place, rows,
                       [&](const QByteArrayView *cells) { lines.addRow(cells, m_columns); });
    if (!read)
        return DbStatus::failure(read);
    if (read.value() < rows)
        m_allRead = true;
    // A search goes on in the lines just read: those it finds are added
    // after the ones it shows.
    if (lines.active()) {
        std::vector<int> found = lines.matchesFrom(held);
        if (quietly) {
            lines.addMatches(found);
        } else if (!found.empty()) {
            const int shown = rowCount();
            beginInsertRows({}, shown, shown + int(found.size()) - 1);
            lines.addMatches(found);
            endInsertRows();
        }
    }
    return succeeded();
}

DbStatus PagedListModel::readMore(int rows)
{
    if (m_allRead)
        return succeeded();
    if (auto part = readPart(rows); !part)
        return part;
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
    setFilter(text);
    // A search is answered from the first lines at least: a short list is
    // then searched whole at once.
    const int held = filter().rowCount();
    if (filter().active() && !m_allRead && held < searchedFirst)
        return readMore(searchedFirst - held);
    return succeeded();
}

void PagedListModel::forgetLines()
{
    m_pages.clear();
    filter().clear();
    m_place = {};
    m_allRead = m_count == 0;
}

std::optional<DbStatus> PagedListModel::takeFailure()
{
    return std::exchange(m_failure, std::nullopt);
}

} // namespace trelok
