#pragma once

#include "data/result.h"
#include "print/period_list.h"

#include <QByteArrayView>

#include <functional>
#include <optional>

namespace trelok {

class Store;

// One order of the list as read: its texts trimmed, as UTF-8 (stored bytes
// that are not UTF-8 as the toolkit reads them), valid during the call that
// hands it over.
struct PeriodRow {
    QByteArrayView number;
    QByteArrayView date;
    QByteArrayView kind;
    QByteArrayView payer;
    QByteArrayView reference;
    QByteArrayView purpose; // its two parts, a blank between them
    QByteArrayView whole;   // the amount as stored
    QByteArrayView decimals;
    std::optional<qint64> hundredths; // when the amount is summed

    // The order as the window and the pages show it.
    PeriodLine line() const;
};

// Reads the orders of the period in the order of their payment date and
// number ("2/2026" before "10/2026"), as the database hands them over
// (sql::period: no row is held but those of one date and number key read
// together), and hands each to row in that order, summing their amounts
// per kind and in all. Orders of the kind whose payment date is not a date
// DD.MM.YYYY are named in dateApart, whatever the period. Both reads see
// the database as of one moment.
DbResult<PeriodTotals> streamPeriod(Store &store, const Period &period,
                                    const std::function<void(const PeriodRow &)> &row);

// The same, each order as a line.
DbResult<PeriodTotals> listPeriod(Store &store, const Period &period,
                                  const std::function<void(const PeriodLine &)> &line);

// How many lines the list has, and its lines from the first-th (counted
// from 0), at most count of them, in the same order: a page of the window.
// Orders whose numbers differ only in letters past U+FFFF against letters
// from U+E000 on one day come in the order of their code points here.
DbResult<int> periodLineCount(Store &store, const Period &period);
DbStatus eachPeriodLine(Store &store, const Period &period, int first, int count,
                        const std::function<void(const PeriodLine &)> &line);

} // namespace trelok
