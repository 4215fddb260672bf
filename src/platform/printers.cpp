#include "platform/printers.h"

namespace trelok {

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
