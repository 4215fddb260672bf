#pragma once

#include "data/result.h"

#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

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
// The same of texts already trimmed, as UTF-8.
std::optional<qint64> orderHundredthsUtf8(QByteArrayView whole, QByteArrayView decimals);

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

// What the pages show above the lines: the period, the company's name and
// the chosen kind's description.
struct PeriodHeading {
    Period period;
    QString company;
    QString kindDescription;
};

DbResult<PeriodHeading> readPeriodHeading(Store &store, const Period &period);

// Captions of the list's columns (in the form font's letters).
QStringList periodColumnCaptions();

// The period's title: "Lista na Treloci za Period 01.03.2026 - 31.03.2026",
// with the kind when one was chosen.
QString periodTitle(const PeriodHeading &heading);

// The totals as the lines shown under the list and printed at its end. The
// first counts the orders set apart, "Izdvoeni treloci: 2 ne se sobrani,
// 1 ne se vo listata", so the window shows it without scrolling; they are
// named after the sums.
QStringList totalsText(const PeriodTotals &totals);

} // namespace trelok
