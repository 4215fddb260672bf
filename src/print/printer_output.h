#pragma once

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

// The page of an order on the printer.
QString printOnPrinter(const QString &printerName, const PrintJob &job);

// The calibration sheet on the printer.
QString printCalibrationSheet(const QString &printerName, const CalibrationSheet &sheet);

} // namespace trelok
