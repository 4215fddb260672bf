#pragma once

#include "platform/printers.h"

namespace trelok {

// The printers the system has installed (CUPS on Linux), as Qt lists them,
// printed on through QPrinter.
class QtPrinterSystem : public PrinterSystem {
public:
    QStringList installedPrinters() const override;
    void makeCurrent(const QString &name) override { m_current = name; }
    QString current() const override { return m_current; }
    QString printPages(const QString &printer, const QString &docName, int count,
                       const PagePainter &paint, PageOrigin origin) override;

private:
    QString m_current;
};

} // namespace trelok
