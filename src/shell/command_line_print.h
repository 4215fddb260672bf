#pragma once

#include <QString>

class QTextStream;

namespace trelok {

class PrinterSystem;
class Store;

// Prints an order without a window, for automation and archiving: on the
// application's printer, or into an A4 PDF file when pdfFile is given (then
// no printer is needed). Messages go to err. Returns the exit status: 0 on
// success, 1 when nothing was printed, printedIncomplete when the page was
// printed without coordinate rows that name no column (they are named),
// printedNotArchived when a page printed on paper could not be written to
// the archive of trelok.conf. Texts wider than their boxes are named on err
// as a warning and change no status.
inline constexpr int printedIncomplete = 3;
inline constexpr int printedNotArchived = 4;

// A list or range of orders (isOrderNumberList) goes to
// printOrdersFromCommandLine; one number is printed as above.
int printFromCommandLine(Store &store, PrinterSystem &printers, const QString &appDir,
                         const QString &number, const QString &pdfFile, QTextStream &err);

// Prints several orders as one job, one page each, on the application's
// printer, or into one PDF file when pdfFile is given. A list that cannot be
// read, or an order of it that cannot be printed, refuses the whole command
// before anything is printed (status 1). The statuses and notices are those
// of one order; each notice names the order it belongs to, and a printed
// page the archive could not keep makes printedNotArchived.
int printOrdersFromCommandLine(Store &store, PrinterSystem &printers, const QString &appDir,
                               const QString &list, const QString &pdfFile, QTextStream &err);

// Prints the calibration sheet on the application's printer, or writes it
// into an A4 PDF file when pdfFile is given. Returns 0 on success, else 1.
int calibrationSheetFromCommandLine(Store &store, PrinterSystem &printers, const QString &pdfFile,
                                    QTextStream &err);

} // namespace trelok
