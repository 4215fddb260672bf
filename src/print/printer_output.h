#pragma once

#include <QString>

namespace trelok {

struct PrintJob;

// Prints the page of an order as one A4 portrait document on the named
// printer (the system's default when the name is empty). Positions start at
// the corner of the printable area. Returns the error text, empty on success.
QString printOnPrinter(const QString &printerName, const PrintJob &job);

} // namespace trelok
