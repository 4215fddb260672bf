#include "platform/qt_printers.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

using namespace Qt::StringLiterals;

namespace trelok {

QStringList QtPrinterSystem::installedPrinters() const
{
    return QPrinterInfo::availablePrinterNames();
}

QString QtPrinterSystem::printPages(const QString &printerName, const QString &docName, int count,
                                    const PagePainter &paint, PageOrigin origin)
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
        return printingFailed(printerName);
    for (int page = 0; page < count; ++page) {
        if (page > 0 && !printer.newPage()) {
            painter.end();
            return printingFailed(printerName);
        }
        // Every page starts from the same untransformed painter.
        painter.save();
        paint(painter, page);
        painter.restore();
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return printingFailed(printerName);
    return {};
}

} // namespace trelok
