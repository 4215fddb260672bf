#pragma once

#include "platform/filtered_table_model.h"
#include "refdata/taxpayers.h"

#include <vector>

namespace trelok {

// The taxpayer register as a list model of rows given to it, held once, as
// the search's texts: the order and search of the register window stated
// in memory (the window itself reads pages, TaxpayerPages, and must show
// what this shows). A search (setFilter) narrows the lines; taxpayer()
// takes the row a line shows.
class TaxpayerModel : public FilteredTableModel {
    Q_OBJECT
public:
    using FilteredTableModel::FilteredTableModel;

    void setTaxpayers(QList<Taxpayer> rows);
    void clear() { setTaxpayers({}); }
    Taxpayer taxpayer(int row) const;

    // Sorts by the column (0 tax number, 1 name, 2 address, 3 city),
    // ascending, by text without regard to case; rows that compare equal are
    // in the order they were given (the register's, by tax number), so
    // sorting twice by one column changes nothing. Selected and current
    // lines stay with their rows.
    void sortByColumn(int column);

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int sourceCount() const override { return filter().rowCount(); }

private:
    // Where each row held was given.
    std::vector<int> m_given;
};

} // namespace trelok
