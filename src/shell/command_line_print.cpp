#include "shell/command_line_print.h"

#include "context/messages.h"
#include "data/settings.h"
#include "platform/fonts.h"
#include "platform/printers.h"
#include "print/calibration_sheet.h"
#include "print/order_number_list.h"
#include "print/overflow.h"
#include "print/pdf_archive.h"
#include "print/pdf_output.h"
#include "print/print_engine.h"
#include "print/print_job.h"
#include "print/printer_output.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

int failWith(QTextStream &err, const QString &message)
{
    err << "trelok: " << message << Qt::endl;
    return 1;
}

// Printed in a substitute face, a payment form would be wrong on paper.
QString fontsMissing(const QString &appDir)
{
    if (registerApplicationFonts(appDir) < fontFileNames().size())
        return u"Fontovite \"%1\" ne mozat da se vcitaat od %2"_s.arg(
            QString::fromLatin1(formFontFamily), appDir);
    return {};
}

// Makes the application's printer current; the error text when there is
// none or it is not installed.
QString selectApplicationPrinter(Store &store, PrinterSystem &printers)
{
    auto printer = readApplicationPrinter(store);
    if (!printer)
        return printer.error();
    if (!printer.value())
        return QString::fromLatin1(msg::configMissing);
    const QString name = *printer.value();
    if (name.isEmpty())
        return noPrinterMessage();
    if (!SelectPrinter(printers, name))
        return msg::printerMissing(name);
    return {};
}

} // namespace

int printFromCommandLine(Store &store, PrinterSystem &printers, const QString &appDir,
                         const QString &number, const QString &pdfFile, QTextStream &err)
{
    if (isOrderNumberList(number))
        return printOrdersFromCommandLine(store, printers, appDir, number, pdfFile, err);
    if (const QString error = fontsMissing(appDir); !error.isEmpty())
        return failWith(err, error);
    // The page is printed without coordinate rows that name no column, and
    // they are named; the status tells that the page is not complete. Texts
    // wider than their boxes are printed whole and named as a warning.
    const auto finished = [&err](const PrintJob &job, int status) {
        if (const QStringList wide = overflowingBoxes(job); !wide.isEmpty())
            err << "trelok: " << overflowMessage(wide) << Qt::endl;
        if (job.skippedBoxes.isEmpty())
            return status;
        err << "trelok: " << skippedBoxesMessage(job.skippedBoxes) << Qt::endl;
        return status == 0 ? printedIncomplete : status;
    };
    if (!pdfFile.isEmpty()) {
        PrintJob written;
        if (const QString error = writeOrderPdf(store, number, pdfFile, &written);
            !error.isEmpty())
            return failWith(err, error);
        return finished(written, 0);
    }
    if (const QString error = selectApplicationPrinter(store, printers); !error.isEmpty())
        return failWith(err, error);
    auto loaded = loadPrintJob(store, number);
    if (!loaded)
        return failWith(err, loaded.error());
    if (const QString reason = unprintableReason(loaded.value()); !reason.isEmpty())
        return failWith(err, reason);
    const PrintJob &job = loaded.value().job;
    if (const QString error = printOnPrinter(printers, printers.current(), job); !error.isEmpty())
        return failWith(err, error);
    int status = 0;
    if (const QString error = archivePrintedPage(appDir, job); !error.isEmpty()) {
        err << "trelok: " << error << Qt::endl;
        status = printedNotArchived;
    }
    return finished(job, status);
}

int printOrdersFromCommandLine(Store &store, PrinterSystem &printers, const QString &appDir,
                               const QString &list, const QString &pdfFile, QTextStream &err)
{
    const OrderNumberList numbers = parseOrderNumberList(list);
    if (!numbers.error.isEmpty())
        return failWith(err, numbers.error);
    if (const QString error = fontsMissing(appDir); !error.isEmpty())
        return failWith(err, error);
    if (!pdfFile.isEmpty()) {
        if (const QString refused = refusedPdfTarget(pdfFile, appDir); !refused.isEmpty())
            return failWith(err, refused);
    } else if (const QString error = selectApplicationPrinter(store, printers); !error.isEmpty()) {
        return failWith(err, error);
    }
    // Every order is read and checked before the first page is drawn.
    auto loaded = loadPrintJobs(store, numbers.numbers);
    if (!loaded)
        return failWith(err, loaded.error());
    QList<PrintJob> jobs;
    jobs.reserve(loaded.value().size());
    for (const LoadedJob &one : loaded.value()) {
        if (const QString reason = unprintableReason(one); !reason.isEmpty())
            return failWith(err, reason);
        jobs.append(one.job);
    }
    int status = 0;
    if (!pdfFile.isEmpty()) {
        if (const QString error = writeJobsPdf(jobs, pdfFile, appDir); !error.isEmpty())
            return failWith(err, error);
    } else {
        if (const QString error = printOnPrinter(printers, printers.current(), jobs); !error.isEmpty())
            return failWith(err, error);
        for (const PrintJob &job : jobs)
            if (const QString error = archivePrintedPage(appDir, job); !error.isEmpty()) {
                err << "trelok: " << error << Qt::endl;
                status = printedNotArchived;
            }
    }
    for (const PrintJob &job : jobs) {
        if (const QStringList wide = overflowingBoxes(job); !wide.isEmpty())
            err << "trelok: " << noticeOfOrder(job.number, overflowMessage(wide)) << Qt::endl;
        if (!job.skippedBoxes.isEmpty()) {
            err << "trelok: " << noticeOfOrder(job.number, skippedBoxesMessage(job.skippedBoxes))
                << Qt::endl;
            if (status == 0)
                status = printedIncomplete;
        }
    }
    return status;
}

int calibrationSheetFromCommandLine(Store &store, PrinterSystem &printers, const QString &pdfFile,
                                    QTextStream &err)
{
    if (!pdfFile.isEmpty()) {
        const QString error = writeCalibrationPdf(store, pdfFile);
        return error.isEmpty() ? 0 : failWith(err, error);
    }
    if (const QString error = selectApplicationPrinter(store, printers); !error.isEmpty())
        return failWith(err, error);
    auto loaded = loadCalibrationSheet(store);
    if (!loaded)
        return failWith(err, loaded.error());
    if (const QString reason = unprintableSheetReason(loaded.value()); !reason.isEmpty())
        return failWith(err, reason);
    if (const QString error = printCalibrationSheet(printers, printers.current(), loaded.value().sheet);
        !error.isEmpty())
        return failWith(err, error);
    return 0;
}

} // namespace trelok
