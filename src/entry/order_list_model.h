#pragma once

#include "data/orders.h"

#include <QAbstractTableModel>

namespace trelok {

// The stored orders as the order chooser lists them: seven columns over
// rows read once, so a register of any size opens at once.
class OrderListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit OrderListModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    void setLines(QList<OrderLine> lines);
    const OrderLine &line(int row) const { return m_lines.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The text of one cell: order number, reference, purpose (two lines),
    // date, method, kind.
    static const QString &cell(const OrderLine &line, int column);

private:
    QList<OrderLine> m_lines;
};

} // namespace trelok
