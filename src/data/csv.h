#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace trelok {

// Parses comma-separated text (RFC 4180 quoting: "" inside quotes is one
// quote). Returns the records; the first one is the header.
QList<QStringList> parseCsv(const QString &text);

} // namespace trelok
