#pragma once

#include <QString>
#include <QStringView>

namespace trelok {

// Reads the number at the start of a text the way the forms always have:
// blanks before it are skipped, an optional sign, digits (blanks between them
// are ignored) and at most one "." as decimal point; reading stops at the
// first other character. A text without a leading number reads as 0.
double leadingNumber(QStringView text);

// The digits leadingNumber reads, before and after the point, as written.
struct LeadingDigits {
    bool negative = false;
    QString whole, fraction;
};
LeadingDigits leadingDigits(QStringView text);

// A number as plain decimal text: no exponent, no grouping, "." as decimal
// point, no trailing zeros ("10", "-3.5", "0.5").
QString plainNumber(double value);

} // namespace trelok
