#pragma once

#include "data/orders.h"
#include "data/paged_list_model.h"

#include <QHash>

namespace trelok {

class Store;

// The stored orders as the order chooser lists them, newest first: seven
// columns, read a page at a time (PagedListModel), and for searching on from
// the last line read (readOrderLines). When the lines read are not as many
// as the orders counted after them (another clerk saved or removed an order
// meanwhile), they are read again from the top and the current and
// selected lines follow their orders. line() takes the order a
// line shows.
class OrderListModel : public PagedListModel {
    Q_OBJECT
public:
    explicit OrderListModel(Store &store, QObject *parent = nullptr);

    OrderLine line(int row) const;

    // The text of one cell: order number, reference, purpose (two lines),
    // date, method, kind.
    static const QString &cell(const OrderLine &line, int column);

    DbStatus readMore(int rows) override;

    // The first line shown whose order number begins with typed, without
    // regard to case (type-ahead), or -1; among the lines read.
    int lineStartingWith(const QString &typed) const;
    // The line shown of the order numbered exactly number, from the line
    // from on, or -1; among the lines read.
    int lineOfNumber(const QString &number, int from = 0) const;

protected:
    DbResult<int> countRows() const override;
    DbStatus eachRow(int first, int count, const RowVisit &visit) const override;
    DbResult<int> readOn(ListPlace &place, int count, const RowVisit &visit) const override;

private:
    // The lines shown that are read (a search shows only such lines).
    int linesHeld() const;
    // After every line was read and they differ from those shown: the new
    // count, and each persistent index on the line of the order its line
    // showed (numbers by line; invalid when the order is gone or unknown).
    void followOrders(int count, const QHash<int, QByteArray> &numbers);

    Store &m_store;
};

} // namespace trelok
