#include "entry/order_list_model.h"

#include "platform/makscii.h"

namespace trelok {

namespace {
// Lines read together while shown, and how many pages are kept.
constexpr int pageLines = 256;
constexpr qsizetype keptPages = 64;
constexpr int columns = orderLineColumnCount;
// Lines read together when every line is wanted at once.
constexpr int wholePart = 65536;
} // namespace

OrderListModel::OrderListModel(Store &store, QObject *parent)
    : FilteredTableModel(parent), m_store(store)
{}

DbStatus OrderListModel::load()
{
    auto count = orderCount(m_store);
    if (!count)
        return DbStatus::failure(count);
    beginResetModel();
    m_count = count.value();
    m_allRead = m_count == 0;
    m_pages.clear();
    filter().clear();
    endResetModel();
    return succeeded();
}

int OrderListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns;
}

const QString &OrderListModel::cell(const OrderLine &line, int column)
{
    return line.*orderLineCells[column];
}

QByteArrayView OrderListModel::sourceCell(int source, int column) const
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
        auto done = eachOrderLine(m_store, page * pageLines, pageLines,
                                  [&read](const QByteArrayView *cells) {
                                      RowFilter::appendRow(read.bytes, cells, columns);
                                      read.ends.push_back(read.bytes.size());
                                  });
        if (!done) {
            if (!m_failure) {
                m_failure = DbStatus::failure(done);
                emit const_cast<OrderListModel *>(this)->readFailed();
            }
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

QString OrderListModel::sourceText(int source, int column) const
{
    return QString::fromUtf8(sourceCell(source, column));
}

OrderLine OrderListModel::line(int row) const
{
    const int source = sourceRow(row);
    return {sourceText(source, 0), sourceText(source, 1), sourceText(source, 2),
            sourceText(source, 3), sourceText(source, 4), sourceText(source, 5),
            sourceText(source, 6)};
}

QVariant OrderListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columns)
        return {};
    if (role == Qt::DisplayRole)
        return sourceText(sourceRow(index.row()), index.column());
    // A screen reader is given the letters the font shows.
    if (role == Qt::AccessibleTextRole)
        return makscii(sourceText(sourceRow(index.row()), index.column()));
    return {};
}

DbResult<bool> OrderListModel::readPart(int rows)
{
    RowFilter &lines = filter();
    const int held = lines.rowCount();
    const QByteArray last = held > 0 ? lines.cellBytes(held - 1, 0).toByteArray() : QByteArray();
    bool first = held > 0;
    bool same = held == 0;
    auto read = eachOrderLine(m_store, std::max(0, held - 1), rows + (held > 0 ? 1 : 0),
                              [&](const QByteArrayView *cells) {
                                  if (first) {
                                      first = false;
                                      same = cells[0] == QByteArrayView(last);
                                  } else if (same) {
                                      lines.addRow(cells, columns);
                                  }
                              });
    if (!read)
        return DbResult<bool>::failure(read);
    if (same && lines.rowCount() - held < rows)
        m_allRead = true;
    return same;
}

DbStatus OrderListModel::readMore(int rows)
{
    if (m_allRead)
        return succeeded();
    // The orders of the current and selected lines, to follow if the list
    // changes under them.
    QHash<int, QByteArray> numbers;
    for (const QModelIndex &index : persistentIndexList())
        if (index.isValid() && !numbers.contains(index.row()))
            numbers.insert(index.row(), sourceCell(sourceRow(index.row()), 0).toByteArray());
    auto part = readPart(rows);
    if (!part)
        return DbStatus::failure(part);
    const bool moved = !part.value();
    // Another clerk stored or removed an order above the lines read: they
    // are read again from the top, to the end, so that every line can
    // follow its order.
    for (bool same = !moved; !same || (moved && !m_allRead);) {
        if (!same) {
            filter().clear();
            m_pages.clear();
        }
        auto again = readPart(wholePart);
        if (!again)
            return DbStatus::failure(again);
        same = again.value();
    }
    if (m_allRead) {
        m_pages.clear();
        if (moved || filter().rowCount() != m_count)
            followOrders(filter().rowCount(), numbers);
    }
    return succeeded();
}

void OrderListModel::followOrders(int count, const QHash<int, QByteArray> &numbers)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The views may have added persistent indexes on lines known by now.
    const QModelIndexList now = persistentIndexList();
    m_count = count;
    filter().searchAgain();
    // Where each order is now, in one pass over the lines.
    QHash<QByteArrayView, int> sources;
    for (const QByteArray &number : numbers)
        sources.insert(number, -1);
    const RowFilter &lines = filter();
    for (int source = 0; source < lines.rowCount(); ++source)
        if (auto found = sources.find(lines.cellBytes(source, 0)); found != sources.end())
            *found = source;
    QModelIndexList after;
    after.reserve(now.size());
    for (const QModelIndex &index : now) {
        const int source = sources.value(numbers.value(index.row()), -1);
        const int row = source < 0 ? -1 : lineOf(source);
        after.append(row < 0 ? QModelIndex() : this->index(row, index.column()));
    }
    changePersistentIndexList(now, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

DbStatus OrderListModel::readAll()
{
    while (!m_allRead)
        if (auto read = readMore(wholePart); !read)
            return read;
    return succeeded();
}

DbStatus OrderListModel::search(const QString &text)
{
    if (!filter().changes(text))
        return succeeded();
    if (auto read = readAll(); !read)
        return read;
    setFilter(text);
    return succeeded();
}

int OrderListModel::lineStartingWith(const QString &typed) const
{
    const int lines = rowCount();
    for (int line = 0; line < lines; ++line)
        if (filter().cell(sourceRow(line), 0).startsWith(typed, Qt::CaseInsensitive))
            return line;
    return -1;
}

int OrderListModel::lineOfNumber(const QString &number) const
{
    const QByteArray wanted = number.trimmed().toUtf8();
    if (wanted.isEmpty())
        return -1;
    const int lines = rowCount();
    for (int line = 0; line < lines; ++line)
        if (filter().cellBytes(sourceRow(line), 0).trimmed() == wanted)
            return line;
    return -1;
}

std::optional<DbStatus> OrderListModel::takeFailure()
{
    return std::exchange(m_failure, std::nullopt);
}

} // namespace trelok
