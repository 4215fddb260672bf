#include "platform/qt_printers.h"

#include <QPrinterInfo>

namespace trelok {

QStringList QtPrinterSystem::installedPrinters() const
{
    return QPrinterInfo::availablePrinterNames();
}

} // namespace trelok
