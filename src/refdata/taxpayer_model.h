#pragma once

#include "refdata/taxpayers.h"

#include <QAbstractTableModel>

namespace trelok {

// The taxpayer register as a list model: the rows are read once and held as
// texts; the view draws only the lines it shows.
class TaxpayerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTaxpayers(QList<Taxpayer> rows);
    void clear() { setTaxpayers({}); }
    const Taxpayer &taxpayer(int row) const { return m_rows[row]; }

    // Sorts by the column (0 tax number, 1 name, 2 address, 3 city),
    // ascending, by text without regard to case; rows that compare equal keep
    // their order, so sorting twice by one column changes nothing. Selected
    // and current lines stay with their rows.
    void sortByColumn(int column);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The column's text of a row.
    static const QString &field(const Taxpayer &t, int column);

private:
    QList<Taxpayer> m_rows;
};

} // namespace trelok
