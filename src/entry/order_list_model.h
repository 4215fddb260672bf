#pragma once

#include "data/orders.h"
#include "platform/filtered_table_model.h"

namespace trelok {

// The stored orders as the order chooser lists them: seven columns over
// rows read once, so a register of any size opens at once. A search
// (setFilter) narrows the lines; line() takes the order a line shows.
class OrderListModel : public FilteredTableModel {
    Q_OBJECT
public:
    explicit OrderListModel(QObject *parent = nullptr) : FilteredTableModel(parent) {}

    void setLines(QList<OrderLine> lines);
    const OrderLine &line(int row) const { return m_lines.at(sourceRow(row)); }

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The text of one cell: order number, reference, purpose (two lines),
    // date, method, kind.
    static const QString &cell(const OrderLine &line, int column);

protected:
    QString sourceText(int source, int column) const override;
    int sourceCount() const override { return int(m_lines.size()); }

private:
    QList<OrderLine> m_lines;
};

} // namespace trelok
