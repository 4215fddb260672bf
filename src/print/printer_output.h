#pragma once

#include <QList>
#include <QString>

namespace trelok {

class PrinterSystem;
struct CalibrationSheet;
struct PrintJob;

// The pages of this program on a printer of the print system, each drawn
// in twips: the form from the corner of the printable area. Each returns
// the error text, empty on success.

// The page of an order.
QString printOnPrinter(PrinterSystem &system, const QString &printerName, const PrintJob &job);

// Several orders as one document, one page each.
QString printOnPrinter(PrinterSystem &system, const QString &printerName,
                       const QList<PrintJob> &jobs);

// The calibration sheet.
QString printCalibrationSheet(PrinterSystem &system, const QString &printerName,
                              const CalibrationSheet &sheet);

} // namespace trelok
