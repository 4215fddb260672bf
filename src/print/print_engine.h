#pragma once

#include "print/print_mode.h"

#include <QString>
#include <QStringList>

namespace trelok {

struct AppContext;
struct PrintJob;

// Where the engine draws: the preview window, and the application's printer.
class PrintSurfaces {
public:
    virtual ~PrintSurfaces() = default;
    // Shows the preview window (reusing an open one) and draws the page on it.
    virtual void showPreview(const PrintJob &job) = 0;
    // Prints the page as one document on the current printer.
    virtual void printPage(const PrintJob &job) = 0;
};

// The print engine: draws order l_tre_br on the preview, or on the preview
// and the application's printer. All outcomes are drawn output or messages.
void tre_pct(AppContext &context, PrintSurfaces &surfaces, const QString &l_tre_br,
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
