#include "platform/printers.h"

using namespace Qt::StringLiterals;

namespace trelok {

QString printingFailed(const QString &printer)
{
    return u"Pecatenjeto na pecatarot %1 ne uspea !"_s.arg(printer);
}

bool SelectPrinter(PrinterSystem &printers, const QString &NewPrinter)
{
    const QStringList names = printers.installedPrinters();
    for (const QString &name : names) {
        if (name == NewPrinter) {
            printers.makeCurrent(name);
            return true;
        }
    }
    return false;
}

} // namespace trelok
