#pragma once

#include <QList>
#include <QString>

#include <functional>

class QPainter;

namespace trelok {

struct CalibrationSheet;
struct PrintJob;

// Prints one A4 portrait page drawn by paint (the painter already in twips,
// origin at the corner of the printable area) as one document on the named
// printer (the system's default when the name is empty). Returns the error
// text, empty on success.
QString printPageOnPrinter(const QString &printerName, const QString &docName,
                           const std::function<void(QPainter &)> &paint);

// Where a page's drawing has its origin: the form is placed from the
// corner of the printable area, plain pages from the paper's corner.
enum class PageOrigin { PrintableArea, PaperCorner };

// Several pages as one document: paint draws page index (0 to count - 1),
// each exactly as printPageOnPrinter draws its one page.
QString printPagesOnPrinter(const QString &printerName, const QString &docName, int count,
                            const std::function<void(QPainter &, int)> &paint,
                            PageOrigin origin = PageOrigin::PrintableArea);

// The page of an order on the printer.
QString printOnPrinter(const QString &printerName, const PrintJob &job);

// Several orders as one document on the printer, one page each.
QString printOnPrinter(const QString &printerName, const QList<PrintJob> &jobs);

// The calibration sheet on the printer.
QString printCalibrationSheet(const QString &printerName, const CalibrationSheet &sheet);

} // namespace trelok
