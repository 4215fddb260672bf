#pragma once

#include <QString>

namespace trelok {

class Store;

// Writes the page of an order to an A4 portrait PDF file with the same
// painting routine as the preview and the printer. The origin is the page's
// top-left corner. Returns the error text, empty on success.
QString writeOrderPdf(Store &store, const QString &number, const QString &file);

} // namespace trelok
