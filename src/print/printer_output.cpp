#include "print/printer_output.h"

#include "print/calibration_sheet.h"
#include "print/pdf_output.h"
#include "print/print_job.h"

#include <QPainter>
#include <QPrinter>

using namespace Qt::StringLiterals;

namespace trelok {

QString printPageOnPrinter(const QString &printerName, const QString &docName,
                           const std::function<void(QPainter &)> &paint)
{
    return printPagesOnPrinter(printerName, docName, 1,
                               [&paint](QPainter &painter, int) { paint(painter); });
}

QString printPagesOnPrinter(const QString &printerName, const QString &docName, int count,
                            const std::function<void(QPainter &, int)> &paint,
                            PageOrigin origin)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!printerName.isEmpty())
        printer.setPrinterName(printerName);
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(origin == PageOrigin::PaperCorner);
    printer.setDocName(docName);
    printer.setCreator(u"trelok"_s);
    QPainter painter;
    if (!printer.isValid() || !painter.begin(&printer))
        return u"Pecatenjeto na pecatarot %1 ne uspea !"_s.arg(printerName);
    for (int page = 0; page < count; ++page) {
        if (page > 0 && !printer.newPage()) {
            painter.end();
            return u"Pecatenjeto na pecatarot %1 ne uspea !"_s.arg(printerName);
        }
        // Every page starts from the same untransformed painter.
        painter.save();
        useTwips(painter);
        paint(painter, page);
        painter.restore();
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return u"Pecatenjeto na pecatarot %1 ne uspea !"_s.arg(printerName);
    return {};
}

QString printOnPrinter(const QString &printerName, const PrintJob &job)
{
    return printPageOnPrinter(printerName, u"Trelok "_s + job.number,
                              [&job](QPainter &painter) { paintJob(painter, job); });
}

QString printOnPrinter(const QString &printerName, const QList<PrintJob> &jobs)
{
    return printPagesOnPrinter(
        printerName, batchTitle(jobs), int(jobs.size()),
        [&jobs](QPainter &painter, int page) { paintJob(painter, jobs.at(page)); });
}

QString printCalibrationSheet(const QString &printerName, const CalibrationSheet &sheet)
{
    return printPageOnPrinter(printerName, u"Kalibraciski list"_s, [&sheet](QPainter &painter) {
        paintCalibrationSheet(painter, sheet);
    });
}

} // namespace trelok
