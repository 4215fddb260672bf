#include "entry/order_list_model.h"

namespace trelok {

OrderListModel::OrderListModel(Store &store, QObject *parent)
    : PagedListModel(orderLineColumnCount, parent), m_store(store)
{}

DbResult<int> OrderListModel::countRows() const
{
    return orderCount(m_store);
}

DbStatus OrderListModel::eachRow(int first, int count, const RowVisit &visit) const
{
    return eachOrderLine(m_store, first, count, visit);
}

DbResult<int> OrderListModel::readOn(ListPlace &place, int count, const RowVisit &visit) const
{
    return readOrderLines(m_store, place, count, visit);
}

const QString &OrderListModel::cell(const OrderLine &line, int column)
{
    return line.*orderLineCells[column];
}

OrderLine OrderListModel::line(int row) const
{
    const int source = sourceRow(row);
    return {sourceText(source, 0), sourceText(source, 1), sourceText(source, 2),
            sourceText(source, 3), sourceText(source, 4), sourceText(source, 5),
            sourceText(source, 6)};
}

DbStatus OrderListModel::readMore(int rows)
{
    if (allRead())
        return succeeded();
    // The orders of the current and selected lines, to follow if the list
    // changed under them.
    QHash<int, QByteArray> numbers;
    for (const QModelIndex &index : persistentIndexList())
        if (index.isValid() && !numbers.contains(index.row()))
            numbers.insert(index.row(), sourceCell(sourceRow(index.row()), 0).toByteArray());
    if (auto part = readPart(rows); !part)
        return part;
    if (!allRead())
        return succeeded();
    forgetPages();
    // Another clerk stored or removed orders while the lines were read
    // (the parts read on from the last line see none stored before it):
    // they are read again from the top, and every line follows its order.
    auto now = countRows();
    if (!now)
        return DbStatus::failure(now);
    const bool moved = now.value() != filter().rowCount();
    if (moved) {
        forgetLines();
        while (!allRead())
            if (auto again = readPart(wholePart, true); !again)
                return again;
    }
    if (moved || filter().rowCount() != sourceCount())
        followOrders(filter().rowCount(), numbers);
    return succeeded();
}

void OrderListModel::followOrders(int count, const QHash<int, QByteArray> &numbers)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The views may have added persistent indexes on lines known by now.
    const QModelIndexList now = persistentIndexList();
    setCount(count);
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

int OrderListModel::linesHeld() const
{
    return filter().active() ? rowCount() : filter().rowCount();
}

int OrderListModel::lineStartingWith(const QString &typed) const
{
    const int lines = linesHeld();
    for (int line = 0; line < lines; ++line)
        if (filter().cell(sourceRow(line), 0).startsWith(typed, Qt::CaseInsensitive))
            return line;
    return -1;
}

int OrderListModel::lineOfNumber(const QString &number, int from) const
{
    const QByteArray wanted = number.trimmed().toUtf8();
    if (wanted.isEmpty())
        return -1;
    const int lines = linesHeld();
    for (int line = from; line < lines; ++line)
        if (filter().cellBytes(sourceRow(line), 0).trimmed() == wanted)
            return line;
    return -1;
}

} // namespace trelok
