#pragma once

#include <QString>
#include <QStringList>

namespace trelok {

// The installed printers, and the one this program prints on. Choosing a
// printer here never changes the system's default printer.
class PrinterSystem {
public:
    virtual ~PrinterSystem() = default;
    // Device names of the installed printers, in the system's order.
    virtual QStringList installedPrinters() const = 0;
    // Makes the named (installed) printer current for this program.
    virtual void makeCurrent(const QString &name) = 0;
    virtual QString current() const = 0;
};

// Makes the installed printer whose device name equals newPrinter exactly
// (case-sensitive, untrimmed) current; false when there is none.
bool SelectPrinter(PrinterSystem &printers, const QString &NewPrinter);

// A fixed list of printers, for tests and for runs without a print system.
class ListedPrinters : public PrinterSystem {
public:
    explicit ListedPrinters(QStringList list = {}) : names(std::move(list)) {}
    QStringList installedPrinters() const override { return names; }
    void makeCurrent(const QString &name) override { m_current = name; }
    QString current() const override { return m_current; }
    QStringList names;

private:
    QString m_current;
};

} // namespace trelok
