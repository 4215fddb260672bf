#include "print/printer_output.h"

#include "print/print_job.h"

#include <QPainter>
#include <QPrinter>

using namespace Qt::StringLiterals;

namespace trelok {

QString printOnPrinter(const QString &printerName, const PrintJob &job)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!printerName.isEmpty())
        printer.setPrinterName(printerName);
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(false);
    printer.setDocName(u"Trelok "_s + job.number);
    printer.setCreator(u"trelok"_s);
    QPainter painter;
    if (!printer.isValid() || !painter.begin(&printer))
        return u"Pecatenjeto na pecatarot %1 ne uspea !"_s.arg(printerName);
    useTwips(painter);
    paintJob(painter, job);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return u"Pecatenjeto na pecatarot %1 ne uspea !"_s.arg(printerName);
    return {};
}

} // namespace trelok
