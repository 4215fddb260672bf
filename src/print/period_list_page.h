#pragma once

#include <QByteArray>
#include <QString>

class QPainter;

namespace trelok {

struct PeriodList;

// The list of a period on plain A4 portrait pages: on each page a header
// with the company's name, the period and the columns' captions, the
// orders, and its number ("Strana 2 / 5") at the foot; the totals and the
// orders set apart follow the last order. Drawn in "MAC C Times".

// How many pages the list takes.
int periodPageCount(const PeriodList &list);

// Draws page (0 to periodPageCount - 1), the painter in twips (useTwips)
// with the origin at the paper's corner. The one routine of the printer and
// of PDF files.
void paintPeriodPage(QPainter &painter, const PeriodList &list, int page);

// The list as a complete, checked PDF document; empty when rendering failed.
QByteArray renderPeriodPdf(const PeriodList &list);

// Writes the list to an A4 PDF file, checked and all or nothing, refusing
// what writePdfFile refuses. Returns the error text, empty on success.
QString writePeriodPdf(const PeriodList &list, const QString &file, const QString &appDir);

} // namespace trelok
