#include "shell/command_line_print.h"

#include "context/messages.h"
#include "data/settings.h"
#include "platform/fonts.h"
#include "platform/printers.h"
#include "print/pdf_output.h"
#include "print/print_engine.h"
#include "print/print_job.h"
#include "print/printer_output.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace trelok {

int printFromCommandLine(Store &store, PrinterSystem &printers, const QString &appDir,
                         const QString &number, const QString &pdfFile, QTextStream &err)
{
    const auto fail = [&err](const QString &message) {
        err << "trelok: " << message << Qt::endl;
        return 1;
    };
    // Printed in a substitute face, a payment form would be wrong on paper.
    if (const int faces = registerApplicationFonts(appDir); faces < fontFileNames().size())
        return fail(u"Fontovite \"%1\" ne mozat da se vcitaat od %2"_s.arg(
            QString::fromLatin1(formFontFamily), appDir));
    // The page is printed without coordinate rows that name no column, and
    // they are named; the status tells that the page is not complete.
    const auto finished = [&err](const QStringList &skipped) {
        if (skipped.isEmpty())
            return 0;
        err << "trelok: " << skippedBoxesMessage(skipped) << Qt::endl;
        return printedIncomplete;
    };
    if (!pdfFile.isEmpty()) {
        const QString error = writeOrderPdf(store, number, pdfFile);
        if (!error.isEmpty())
            return fail(error);
        auto loaded = loadPrintJob(store, number);
        return finished(loaded ? loaded.value().job.skippedBoxes : QStringList());
    }
    auto printer = readApplicationPrinter(store);
    if (!printer)
        return fail(printer.error());
    if (!printer.value())
        return fail(QString::fromLatin1(msg::configMissing));
    const QString name = *printer.value();
    if (name.isEmpty())
        return fail(noPrinterMessage());
    if (!SelectPrinter(printers, name))
        return fail(msg::printerMissing(name));
    auto loaded = loadPrintJob(store, number);
    if (!loaded)
        return fail(loaded.error());
    if (const QString reason = unprintableReason(loaded.value()); !reason.isEmpty())
        return fail(reason);
    if (const QString error = printOnPrinter(printers.current(), loaded.value().job);
        !error.isEmpty())
        return fail(error);
    return finished(loaded.value().job.skippedBoxes);
}

} // namespace trelok
