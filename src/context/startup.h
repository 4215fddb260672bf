#pragma once

#include <QLocale>
#include <QString>

namespace trelok {

class Prompter;
class PrinterSystem;
class Store;
struct SharedState;

struct StartupContext {
    Store &store;
    Prompter &prompter;
    PrinterSystem &printers;
    SharedState &state;
    QLocale locale;
    QString appDir;
};

struct StartupOutcome {
    bool proceed = true; // false: the application ends
    int exitCode = 0;
    QString label1; // what the main window's printer label shows
    int fontsRegistered = 0;
};

// The start-up sequence, run once before the main window is shown: fonts,
// first values of the shared state, the application's printer and the
// decimal-symbol check. Every message goes through the prompter.
StartupOutcome runStartup(StartupContext &context);

// True when numbers written with "." read back unchanged under the locale;
// otherwise shows poraka_ and answers false. prikaz is carried but unused.
bool region_set(Prompter &prompter, const QLocale &locale, const QString &poraka_, bool prikaz);

} // namespace trelok
