#pragma once

#include "data/result.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace trelok {

class Store;

// The orders of a period: payment dates (DATUM) from and to, both days
// included; one payment kind, or every kind when kind is empty.
struct Period {
    QDate from;
    QDate to;
    QString kind;
};

// One order of the list, its texts trimmed as stored. amount is the exact
// amount in denars ("1 234,50") when it was summed, else the stored text
// (amountShown marks it for the eye).
struct PeriodLine {
    QString number;
    QString date;
    QString kind;
    QString payer;
    QString reference;
    QString purpose;
    QString amount;
    bool summed = false;
    qint64 hundredths = 0; // when summed
};

// The count and the sum of the summed orders of one kind (or of all).
struct PeriodSum {
    QString kind;
    qint64 count = 0;
    qint64 hundredths = 0;
};

// An order named under the totals: its number, kind and the stored text
// that kept it out of them (the amount, or the payment date).
struct SetApart {
    QString number;
    QString kind;
    QString stored;
};

struct PeriodTotals {
    QList<PeriodSum> kinds; // by kind code
    PeriodSum all;
    QList<SetApart> amountApart; // the amount is not plain digits: not summed
    QList<SetApart> dateApart;   // the payment date is not DD.MM.YYYY: in no period
};

// The amount of an order in hundredths of a denar, exactly: the whole
// denars (MKD_CEL) are digits with blanks between them ("1 234"), possibly
// with a decimal comma and one or two digits ("0,50"); the decimal part
// (MKD_DEC) is empty or one or two digits ("50"). Nothing when the stored
// texts are not such an amount ("12abc", empty, two decimal parts).
std::optional<qint64> orderHundredths(const QString &whole, const QString &decimals);

// Hundredths as denars with the decimal comma and blanks between groups of
// thousands: "1 234 567,50".
QString denars(qint64 hundredths);

// The stored texts of an amount as one, "1,50" and "50" as "1,50,50";
// decimals of nothing ("00", as most orders hold them) are left out, "15.7"
// and "00" are "15.7".
QString storedAmount(const QString &whole, const QString &decimals);

// The amount of an order as the window and the pages show it: the denars of
// a summed amount ("1 234,50"); else, and so in the CSV too, the stored text
// as it is, marked as not summed: "12abc (ne e sobran)", or
// "(prazen, ne e sobran)" when no amount is stored.
QString amountShown(const PeriodLine &line);

// A date typed as DD.MM.YYYY (blanks around it allowed); invalid otherwise.
QDate periodDate(const QString &text);

// Reads the orders of the period in one pass over the rows the statement
// gives (no Row per row), puts them in the order of their payment date and
// number ("2/2026" before "10/2026") and hands each to line in that order,
// summing their amounts per kind and in all. Orders of the kind whose
// payment date is not a date DD.MM.YYYY are named in dateApart, whatever
// the period.
DbResult<PeriodTotals> listPeriod(Store &store, const Period &period,
                                  const std::function<void(const PeriodLine &)> &line);

// The list and its totals, as read by listPeriod.
struct PeriodList {
    Period period;
    QString company;         // the company's name, for the page header
    QString kindDescription; // of the chosen kind
    QList<PeriodLine> lines;
    PeriodTotals totals;
};

// Reads the whole list, with the company's name and the kind's description.
DbResult<PeriodList> readPeriodList(Store &store, const Period &period);

// Captions of the list's columns (in the form font's letters).
QStringList periodColumnCaptions();

// The period's title: "Lista na Treloci za Period 01.03.2026 - 31.03.2026",
// with the kind when one was chosen.
QString periodTitle(const PeriodList &list);

// The totals as the lines shown under the list and printed at its end. The
// first counts the orders set apart, "Izdvoeni treloci: 2 ne se sobrani,
// 1 ne se vo listata", so the window shows it without scrolling; they are
// named after the sums.
QStringList totalsText(const PeriodTotals &totals);

// The list as UTF-8 CSV: a header, one record per order (the summed amount
// as "1234.50", else as amountShown), a record per kind's total and the
// total, the counts of the orders set apart as the totals' first line
// gives them ("Ne se sobrani,,,2,,,"), then those orders.
QByteArray periodCsv(const PeriodList &list);

// Writes the CSV of the list to file, checked and all or nothing. A
// directory, a device or the database is refused. Returns the error text.
QString writePeriodCsv(const PeriodList &list, const QString &file, const QString &appDir);

} // namespace trelok
