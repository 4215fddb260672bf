#include "print/printer_output.h"

#include "platform/printers.h"
#include "print/calibration_sheet.h"
#include "print/pdf_output.h"
#include "print/print_job.h"

#include <QPainter>

using namespace Qt::StringLiterals;

namespace trelok {

QString printOnPrinter(PrinterSystem &system, const QString &printerName, const PrintJob &job)
{
    return system.printPages(printerName, u"Trelok "_s + job.number, 1,
                             [&job](QPainter &painter, int) {
                                 useTwips(painter);
                                 paintJob(painter, job);
                             },
                             PageOrigin::PrintableArea);
}

QString printOnPrinter(PrinterSystem &system, const QString &printerName,
                       const QList<PrintJob> &jobs)
{
    return system.printPages(printerName, batchTitle(jobs), int(jobs.size()),
                             [&jobs](QPainter &painter, int page) {
                                 useTwips(painter);
                                 paintJob(painter, jobs.at(page));
                             },
                             PageOrigin::PrintableArea);
}

QString printCalibrationSheet(PrinterSystem &system, const QString &printerName,
                              const CalibrationSheet &sheet)
{
    return system.printPages(printerName, u"Kalibraciski list"_s, 1,
                             [&sheet](QPainter &painter, int) {
                                 useTwips(painter);
                                 paintCalibrationSheet(painter, sheet);
                             },
                             PageOrigin::PrintableArea);
}

} // namespace trelok
