#pragma once

#include <QString>
#include <QStringList>

namespace trelok {

// The orders a print request names: a list separated by commas whose items
// are numbers "N/YYYY" or ranges "N/YYYY..M/YYYY" of one year, e.g.
// "3/2026,7/2026" or "1/2026..40/2026". The numbers come out in the order
// given, written as stored ("007/2026" is "7/2026"), each once.
struct OrderNumberList {
    QStringList numbers;
    QString error; // why the text names no orders; empty when it does
};

// The most orders one request may name.
inline constexpr int maxOrdersAtOnce = 100000;

// True when the text is a list or a range rather than one order number.
bool isOrderNumberList(const QString &text);

OrderNumberList parseOrderNumberList(const QString &text);

} // namespace trelok
