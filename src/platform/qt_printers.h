#pragma once

#include "platform/printers.h"

namespace trelok {

// The printers the system has installed (CUPS on Linux), as Qt lists them.
class QtPrinterSystem : public PrinterSystem {
public:
    QStringList installedPrinters() const override;
    void makeCurrent(const QString &name) override { m_current = name; }
    QString current() const override { return m_current; }

private:
    QString m_current;
};

} // namespace trelok
