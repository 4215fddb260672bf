#pragma once

#include <QDate>
#include <QString>

namespace trelok {

// The program's own dates are always written as dd.MM.yyyy.
inline QString formatDate(QDate date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace trelok
