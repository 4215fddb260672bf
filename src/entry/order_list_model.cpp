#include "entry/order_list_model.h"

namespace trelok {

void OrderListModel::setLines(QList<OrderLine> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

int OrderListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int OrderListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 7;
}

const QString &OrderListModel::cell(const OrderLine &line, int column)
{
    static constexpr QString OrderLine::*columns[] = {
        &OrderLine::trelok_br, &OrderLine::povik, &OrderLine::cel1, &OrderLine::cel2,
        &OrderLine::datum,     &OrderLine::nacin, &OrderLine::vid};
    return line.*columns[column];
}

QVariant OrderListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size() || index.column() >= 7)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return cell(m_lines.at(index.row()), index.column());
    return {};
}

} // namespace trelok
