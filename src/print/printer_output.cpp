#include "print/printer_output.h"

#include "print/calibration_sheet.h"
#include "print/print_job.h"

#include <QPainter>
#include <QPrinter>

using namespace Qt::StringLiterals;

namespace trelok {

QString printPageOnPrinter(const QString &printerName, const QString &docName,
                           const std::function<void(QPainter &)> &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!printerName.isEmpty())
        printer.setPrinterName(printerName);
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(false);
    printer.setDocName(docName);
    printer.setCreator(u"trelok"_s);
    QPainter painter;
    if (!printer.isValid() || !painter.begin(&printer))
        return u"Pecatenjeto na pecatarot %1 ne uspea !"_s.arg(printerName);
    useTwips(painter);
    paint(painter);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return u"Pecatenjeto na pecatarot %1 ne uspea !"_s.arg(printerName);
    return {};
}

QString printOnPrinter(const QString &printerName, const PrintJob &job)
{
    return printPageOnPrinter(printerName, u"Trelok "_s + job.number,
                              [&job](QPainter &painter) { paintJob(painter, job); });
}

QString printCalibrationSheet(const QString &printerName, const CalibrationSheet &sheet)
{
    return printPageOnPrinter(printerName, u"Kalibraciski list"_s, [&sheet](QPainter &painter) {
        paintCalibrationSheet(painter, sheet);
    });
}

} // namespace trelok
