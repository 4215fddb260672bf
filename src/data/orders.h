#pragma once

#include "data/forward_read.h"
#include "data/result.h"

#include <QByteArrayView>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <iterator>

namespace trelok {

class Store;

// The columns of an order, in the order the INSERT names them.
const QStringList &orderColumns();

// Stores a new order under the next number of the year and advances the
// counter, all in one transaction that holds the write lock from the start:
// a failed insert leaves the counter as it was, and two programs saving at
// the same moment get two numbers. values are the 27 columns after the
// number. Returns the number given. A stored counter that cannot be
// continued is repaired (the order takes the number after the highest of
// the year) and notice, when given, says so; else it is emptied.
DbResult<QString> storeNewOrder(Store &store, const QString &year, const QString &documentType,
                                const QVariantList &values, QString *notice = nullptr);

// Replaces the stored order with that number by the given values, in one
// transaction: the old row is never lost when writing the new one fails.
DbStatus replaceOrder(Store &store, const QString &number, const QVariantList &values);

// True when order number a comes after b: a later year, or the same year
// and a higher sequence number.
bool newerOrder(const QString &a, const QString &b);

// One line of the order chooser: the columns sql::trel::lineColumns names,
// in the same order (orderLineCells); each is a column of the order's table
// (checked where the lines are read).
struct OrderLine {
    QString trelok_br, povik, cel1, cel2, datum, nacin, vid;
};
inline constexpr QString OrderLine::*orderLineCells[] = {
    &OrderLine::trelok_br, &OrderLine::povik, &OrderLine::cel1, &OrderLine::cel2,
    &OrderLine::datum,     &OrderLine::nacin, &OrderLine::vid};
inline constexpr int orderLineColumnCount = int(std::size(orderLineCells));

// Every stored order for the chooser, newest first: by year, then by the
// sequence number, both descending.
DbResult<QList<OrderLine>> listOrders(Store &store);

// The same order asked of the database, a part at a time: how many orders
// there are, and the lines from the first-th (counted from 0), at most count
// of them. Over the index on year and number this reads only those lines.
DbResult<int> orderCount(Store &store);
DbResult<QList<OrderLine>> orderPage(Store &store, int first, int count);
// The same lines handed to visit one at a time, each as the UTF-8 texts of
// its orderLineColumnCount cells (valid during the call): a long part read
// without a copy of it.
DbStatus eachOrderLine(Store &store, int first, int count,
                       const std::function<void(const QByteArrayView *cells)> &visit);
// The same read on from place (data/forward_read), each line's keys after
// its cells.
DbResult<int> readOrderLines(Store &store, ListPlace &place, int count,
                             const std::function<void(const QByteArrayView *cells)> &visit);

} // namespace trelok
