#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class QPainter;

namespace trelok {

class Store;
struct PrintJob;

// Writes the page of an order to an A4 portrait PDF file with the same
// painting routine as the preview and the printer. The origin is the page's
// top-left corner. The file appears only complete: the page is rendered and
// checked first, then written beside the target and renamed over it. A
// target that is a directory, the database or one of the application's
// font files is refused before anything is written. Returns the error
// text, empty on success; on failure no file is left. With written, the
// order as it was loaded and printed is handed back there (for its notices).
QString writeOrderPdf(Store &store, const QString &number, const QString &file,
                      PrintJob *written = nullptr);

// Why a file may not be the target of a PDF (a directory, or one of the
// files of the application directory), or the empty text when it may.
QString refusedPdfTarget(const QString &file, const QString &appDir);

// One A4 portrait page drawn by paint (the painter already in twips, origin
// at the page's corner) as a complete, checked PDF document; empty when
// rendering failed.
QByteArray renderPdfPage(const QString &title, const std::function<void(QPainter &)> &paint);

// Several A4 portrait pages in one checked document: paint draws page
// index (0 to count - 1), each with the painter in twips from the page's
// corner, exactly as renderPdfPage draws its one page.
QByteArray renderPdfPages(const QString &title, int count,
                          const std::function<void(QPainter &, int)> &paint);

// The same pages drawn straight into file as they are drawn (a SafeFile, so
// a document of any length holds little memory), checked as renderPdfPages
// checks them, the file appearing only complete. paint returns false when
// its page could not be drawn whole; then, or when the document is not
// complete, nothing is written and the text failed is returned. Otherwise
// the error text of the file, empty on success. Targets are not refused
// here (refusedPdfTarget).
QString writePdfPages(const QString &file, const QString &title, int count,
                      const std::function<bool(QPainter &, int)> &paint, const QString &failed);

// The page of an order as a complete PDF document; empty when rendering failed.
QByteArray renderPdf(const PrintJob &job);

// Several orders as one document, one page each, in the given order.
QByteArray renderPdf(const QList<PrintJob> &jobs);

// Writes a rendered document to file, checked and all or nothing, after
// refusing the targets refusedPdfTarget names; a link is followed to the
// file it points to. Returns the error text, empty on success.
QString writePdfFile(const QByteArray &pdf, const QString &file, const QString &appDir);

// Writes the page of an already loaded order to file, as writeOrderPdf.
QString writeJobPdf(const PrintJob &job, const QString &file, const QString &appDir);

// Writes the pages of several loaded orders into one file, as writeJobPdf.
QString writeJobsPdf(const QList<PrintJob> &jobs, const QString &file, const QString &appDir);

// The title of a document of several orders: "Treloci FIRST - LAST".
QString batchTitle(const QList<PrintJob> &jobs);

// The file name offered for the page of an order: the number with "/" (and
// any other character a file name cannot hold) replaced, e.g. "12-2026.pdf".
QString suggestedPdfName(const QString &number);

} // namespace trelok
