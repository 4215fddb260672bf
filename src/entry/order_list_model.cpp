#include "entry/order_list_model.h"

namespace trelok {

void OrderListModel::setLines(QList<OrderLine> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    refold();
    endResetModel();
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

QString OrderListModel::sourceText(int source, int column) const
{
    return cell(m_lines.at(source), column);
}

QVariant OrderListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= 7)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return cell(line(index.row()), index.column());
    return {};
}

} // namespace trelok
