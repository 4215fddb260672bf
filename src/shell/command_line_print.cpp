#include "shell/command_line_print.h"

#include "context/messages.h"
#include "data/settings.h"
#include "platform/fonts.h"
#include "platform/printers.h"
#include "print/pdf_output.h"
#include "print/print_engine.h"
#include "print/print_job.h"
#include "print/printer_output.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
int fail(const QString &message)
{
    std::fprintf(stderr, "trelok: %s\n", message.toLocal8Bit().constData());
    return 1;
}
} // namespace

int printFromCommandLine(Store &store, PrinterSystem &printers, const QString &appDir,
                         const QString &number, const QString &pdfFile)
{
    registerApplicationFonts(appDir);
    if (!pdfFile.isEmpty()) {
        const QString error = writeOrderPdf(store, number, pdfFile);
        return error.isEmpty() ? 0 : fail(error);
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
    const QString error = printOnPrinter(printers.current(), loaded.value().job);
    return error.isEmpty() ? 0 : fail(error);
}

} // namespace trelok
