#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QPainter;

namespace trelok {

// Where a page's drawing has its origin: the form is placed from the
// corner of the printable area, plain pages from the paper's corner.
enum class PageOrigin { PrintableArea, PaperCorner };

// Draws page index of a document on a painter in the printer's own units.
using PagePainter = std::function<void(QPainter &, int page)>;

// The installed printers, the one this program prints on, and printing on
// them. Choosing a printer here never changes the system's default printer.
class PrinterSystem {
public:
    virtual ~PrinterSystem() = default;
    // Device names of the installed printers, in the system's order.
    virtual QStringList installedPrinters() const = 0;
    // Makes the named (installed) printer current for this program.
    virtual void makeCurrent(const QString &name) = 0;
    virtual QString current() const = 0;
    // Prints count A4 portrait pages as one document named docName on the
    // named printer (the system's default when the name is empty); each
    // page is drawn by paint on a painter saved before and restored after
    // it. Returns the error text, empty on success.
    virtual QString printPages(const QString &printer, const QString &docName, int count,
                               const PagePainter &paint, PageOrigin origin) = 0;
};

// The error text when a printer did not print a document.
QString printingFailed(const QString &printer);

// Makes the installed printer whose device name equals newPrinter exactly
// (case-sensitive, untrimmed) current; false when there is none.
bool SelectPrinter(PrinterSystem &printers, const QString &NewPrinter);

// A fixed list of printers, for tests and for runs without a print system:
// nothing printed on them reaches paper, so each print fails.
class ListedPrinters : public PrinterSystem {
public:
    explicit ListedPrinters(QStringList list = {}) : names(std::move(list)) {}
    QStringList installedPrinters() const override { return names; }
    void makeCurrent(const QString &name) override { m_current = name; }
    QString current() const override { return m_current; }
    QString printPages(const QString &printer, const QString &, int, const PagePainter &,
                       PageOrigin) override
    {
        return printingFailed(printer);
    }
    QStringList names;

private:
    QString m_current;
};

} // namespace trelok
