#pragma once

#include "data/result.h"

#include <QString>

namespace trelok {

class Store;
struct Period;

// Writes the list of a period to file as UTF-8 CSV, checked and all or
// nothing, a line at a time as listPeriod reads them: a header, one record
// per order (the summed amount as "1234.50", else as amountShown), a record
// per kind's total and the total, the counts of the orders set apart as the
// totals' first line gives them ("Ne se sobrani,,,2,,,"), then those
// orders. A directory, a device or the database is refused. A failed read
// is the result's failure; its value is the file's error text, empty when
// the file was written.
DbResult<QString> writePeriodCsv(Store &store, const Period &period, const QString &file,
                                 const QString &appDir);

} // namespace trelok
