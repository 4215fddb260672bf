#pragma once

#include "data/paged_list_model.h"
#include "refdata/taxpayers.h"

namespace trelok {

class Store;

// The taxpayer register as the register window lists it: four columns, read
// a page at a time (PagedListModel) in the order the database gives
// (TaxpayerOrder), so a register of any size opens and sorts at once.
// taxpayer() takes the row a line shows.
class TaxpayerPages : public PagedListModel {
    Q_OBJECT
public:
    explicit TaxpayerPages(Store &store, QObject *parent = nullptr);

    // Loading (load) lists the taxpayers in tax number order.
    Taxpayer taxpayer(int row) const;

    // Sorts by the column (0 tax number, 1 name, 2 address, 3 city),
    // ascending, by text without regard to case; rows that compare equal are
    // in tax number order, so sorting twice by one column changes nothing.
    // Selected and current lines stay with their rows.
    DbStatus sortByColumn(int column);

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    DbResult<int> countRows() const override;
    DbStatus eachRow(int first, int count, const RowVisit &visit) const override;
    DbResult<int> readOn(ListPlace &place, int count, const RowVisit &visit) const override;
    void restart() override;

private:
    Taxpayer sourceTaxpayer(int source) const;
    // The row that shows t in the current order, or -1.
    DbResult<int> sourceOf(const Taxpayer &t);

    Store &m_store;
    TaxpayerOrder m_order;
    // Whether exact of a column was asked of the database since loading.
    bool m_checked[4] = {};
};

} // namespace trelok
