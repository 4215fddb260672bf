#pragma once

#include "data/result.h"
#include "print/print_mode.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace trelok {

struct AppContext;
struct PrintJob;
class PrinterSystem;
class Prompter;
class Store;

// Where the engine draws: the preview window, and the application's printer.
class PrintSurfaces {
public:
    virtual ~PrintSurfaces() = default;
    // Shows the preview window (reusing an open one) and draws the page on it.
    virtual void showPreview(const PrintJob &job) = 0;
    // Prints the page as one document on the current printer.
    virtual void printPage(const PrintJob &job) = 0;
    // Several orders: the preview shows them one after the other, and the
    // printer receives them as one document, one page each. A surface that
    // knows only single pages shows the first and prints them one by one.
    virtual void showPreviewPages(const QList<PrintJob> &jobs);
    virtual void printPages(const QList<PrintJob> &jobs);
};

// The print engine: draws order l_tre_br on the preview, or on the preview
// and the application's printer. All outcomes are drawn output or messages.
void tre_pct(AppContext &context, PrintSurfaces &surfaces, const QString &l_tre_br,
             PrintMode ek_pr);

// What printing several orders at once needs of the running program: the
// database, the printers, the way to tell the user, and the application's
// printer (cleared when it is no longer installed, as tre_pct does).
struct BatchPrint {
    Store &store;
    PrinterSystem &printers;
    Prompter &prompter;
    QString &def_prn;
};

// The engine for several orders, in the modes of tre_pct. Every order is
// checked as tre_pct checks one before anything is drawn: the first that
// cannot be printed is told and nothing is shown or printed. A failed data
// operation, or a missing configuration row, is returned to the caller.
DbStatus tre_pct_batch(BatchPrint needs, PrintSurfaces &surfaces, const QStringList &numbers,
                       PrintMode ek_pr);

// Messages of the engine.
QString noPrinterMessage();
QString orderMissingMessage(const QString &number);
QString noCoordinatesMessage();
// The boxes of the coordinate table that the page was printed without.
QString skippedBoxesMessage(const QStringList &boxes);

struct LoadedJob;
// Why a loaded job cannot be printed (missing configuration row, order or
// coordinate rows),
// or the empty text when it can.
QString unprintableReason(const LoadedJob &loaded);

} // namespace trelok
