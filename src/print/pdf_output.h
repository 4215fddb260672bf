#pragma once

#include <QByteArray>
#include <QString>

namespace trelok {

class Store;
struct PrintJob;

// Writes the page of an order to an A4 portrait PDF file with the same
// painting routine as the preview and the printer. The origin is the page's
// top-left corner. The file appears only complete: the page is rendered and
// checked first, then written beside the target and renamed over it. A
// target that is a directory, the database or one of the application's
// font files is refused before anything is written. Returns the error
// text, empty on success; on failure no file is left.
QString writeOrderPdf(Store &store, const QString &number, const QString &file);

// Why a file may not be the target of a PDF (a directory, or one of the
// files of the application directory), or the empty text when it may.
QString refusedPdfTarget(const QString &file, const QString &appDir);

// The page as a complete PDF document; empty when rendering failed.
QByteArray renderPdf(const PrintJob &job);

} // namespace trelok
