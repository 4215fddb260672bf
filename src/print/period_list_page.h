#pragma once

#include "data/result.h"
#include "print/period_lines_file.h"
#include "print/period_list.h"

#include <QString>

#include <memory>

class QPainter;

namespace trelok {

class Store;

// The list of a period on plain A4 portrait pages: on each page a header
// with the company's name, the period and the columns' captions, the
// orders, and its number ("Strana 2 / 5") at the foot; the totals and the
// orders set apart follow the last order. Drawn in "MAC C Times".

// The list as its pages draw it: the heading, the lines kept in a
// temporary file (a million of them hold no memory) and the totals.
class PeriodPages {
public:
    explicit PeriodPages(PeriodHeading heading) : m_heading(std::move(heading)) {}

    // Adds a line after those added; then the totals, once.
    void add(const PeriodLine &line);
    void finish(PeriodTotals totals);

    const PeriodHeading &heading() const { return m_heading; }
    const PeriodTotals &totals() const { return m_totals; }
    const QStringList &totalsLines() const { return m_totalsText; }
    // The lines from the first-th (counted from 0), at most count of them,
    // each as its seven texts shown.
    std::vector<QStringList> lines(qint64 first, qint64 count)
    {
        return m_lines.read(first, count);
    }
    qint64 lineCount() const { return m_lines.count(); }
    // Why the lines could not be kept (the temporary file), or the empty text.
    QString error() const { return m_lines.error(); }

private:
    PeriodHeading m_heading;
    PeriodLinesFile m_lines;
    PeriodTotals m_totals;
    QStringList m_totalsText;
};

// Reads the heading, every line of the list into the pages' file and the
// totals.
DbResult<std::unique_ptr<PeriodPages>> readPeriodPages(Store &store, const Period &period);

// How many pages the list takes.
int periodPageCount(const PeriodPages &pages);

// Draws page (0 to periodPageCount - 1), the painter in twips (useTwips)
// with the origin at the paper's corner. The one routine of the printer and
// of PDF files.
void paintPeriodPage(QPainter &painter, PeriodPages &pages, int page);

// Writes the pages to an A4 PDF file as they are drawn, checked and all or
// nothing, refusing what refusedPdfTarget refuses. Returns the error text,
// empty on success.
QString writePeriodPdf(PeriodPages &pages, const QString &file, const QString &appDir);

// Reads the list and writes it so. A failed read is the result's failure;
// its value is the file's error text, empty when the file was written.
DbResult<QString> writePeriodPdf(Store &store, const Period &period, const QString &file,
                                 const QString &appDir);

} // namespace trelok
