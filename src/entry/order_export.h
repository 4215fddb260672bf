#pragma once

#include <QString>

class QTextStream;

namespace trelok {

class Store;

// Writes every stored order to a UTF-8 CSV file, the columns of tbl_Trel in
// the INSERT's order, values exactly as stored, oldest first (by year, then
// by the number before the "/"). Rows are written as the database hands
// them over, so memory stays the same whatever the number of orders. The
// file appears only complete. Returns the exit status.
int exportOrders(Store &store, const QString &fileName, QTextStream &err);

} // namespace trelok
