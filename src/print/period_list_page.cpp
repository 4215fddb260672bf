#include "print/period_list_page.h"

#include "platform/fonts.h"
#include "print/pdf_output.h"
#include "print/period_list.h"
#include "print/print_job.h"

#include <QFontMetricsF>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// A4 portrait in twips, and the margin kept on every side (1.5 cm), far
// inside what any printer leaves unprinted.
constexpr double pageWidth = 11906, pageHeight = 16838, margin = 850;
constexpr double lineHeight = 240;
constexpr double bodyTop = margin + 1200;
constexpr double footTop = pageHeight - margin - lineHeight;
constexpr int rowsPerPage = int((footTop - lineHeight - bodyTop) / lineHeight);

// Each column's share of the width between the margins, twips. The amount's
// holds the largest sum, "999 999 999 999,99", and "12abc (ne e sobran)".
constexpr double columnWidths[] = {1000, 1000, 560, 2100, 2000, 1746, 1800};
constexpr double columnGap = 80;

// The form's font at a size in points, as pixels in twips.
QFont listFont(double points, bool bold = false)
{
    QFont font(QString::fromLatin1(formFontFamily));
    font.setPixelSize(qRound(points * 20));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The rows after the orders: one blank row, then the totals.
qsizetype rowCount(const PeriodList &list, const QStringList &totals)
{
    return list.lines.size() + 1 + totals.size();
}

int pageCount(qsizetype rows)
{
    return int(std::max<qsizetype>(1, (rows + rowsPerPage - 1) / rowsPerPage));
}

void drawCell(QPainter &painter, double x, double width, double baseline, const QString &text,
              bool right = false)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    // An amount too long keeps its end: the mark of one not summed.
    const QString shown =
        metrics.elidedText(text, right ? Qt::ElideLeft : Qt::ElideRight, width - columnGap);
    const double at = right ? x + width - columnGap - metrics.horizontalAdvance(shown) : x;
    painter.drawText(QPointF(at, baseline), shown);
}

void drawRow(QPainter &painter, double top, const QStringList &cells)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    double x = margin;
    for (int c = 0; c < cells.size(); ++c) {
        drawCell(painter, x, columnWidths[c], top + metrics.ascent(), cells[c], c == 6);
        x += columnWidths[c];
    }
}

void paintHeader(QPainter &painter, const PeriodList &list)
{
    painter.setFont(listFont(12, true));
    const QFontMetricsF big(painter.font(), painter.device());
    painter.drawText(QPointF(margin, margin + big.ascent()), list.company);
    painter.setFont(listFont(10, true));
    const QFontMetricsF title(painter.font(), painter.device());
    painter.drawText(QPointF(margin, margin + 420 + title.ascent()), periodTitle(list));
    painter.setFont(listFont(9, true));
    drawRow(painter, margin + 860, periodColumnCaptions());
    painter.drawLine(QPointF(margin, bodyTop - 50), QPointF(pageWidth - margin, bodyTop - 50));
}

void paintPage(QPainter &painter, const PeriodList &list, const QStringList &totals, int page,
               int pages)
{
    paintHeader(painter, list);
    const qsizetype rows = rowCount(list, totals);
    const qsizetype first = qsizetype(page) * rowsPerPage;
    const qsizetype last = std::min(rows, first + rowsPerPage);
    for (qsizetype row = first; row < last; ++row) {
        const double top = bodyTop + double(row - first) * lineHeight;
        if (row < list.lines.size()) {
            painter.setFont(listFont(9));
            const PeriodLine &l = list.lines[row];
            drawRow(painter, top, {l.number, l.date, l.kind, l.payer, l.reference, l.purpose,
                                   amountShown(l)});
        } else if (row > list.lines.size()) {
            painter.setFont(listFont(9, true));
            const QFontMetricsF metrics(painter.font(), painter.device());
            painter.drawText(QPointF(margin, top + metrics.ascent()),
                             totals[row - list.lines.size() - 1]);
        }
    }
    painter.setFont(listFont(9));
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QString number = u"Strana %1 / %2"_s.arg(page + 1).arg(pages);
    painter.drawText(QPointF(pageWidth - margin - metrics.horizontalAdvance(number),
                             footTop + metrics.ascent()),
                     number);
}

} // namespace

int periodPageCount(const PeriodList &list)
{
    return pageCount(rowCount(list, totalsText(list.totals)));
}

void paintPeriodPage(QPainter &painter, const PeriodList &list, int page)
{
    const QStringList totals = totalsText(list.totals);
    painter.save();
    painter.setPen(Qt::black);
    paintPage(painter, list, totals, page, pageCount(rowCount(list, totals)));
    painter.restore();
}

QByteArray renderPeriodPdf(const PeriodList &list)
{
    return renderPdfPages(periodTitle(list), periodPageCount(list),
                          [&list](QPainter &painter, int page) {
                              paintPeriodPage(painter, list, page);
                          });
}

QString writePeriodPdf(const PeriodList &list, const QString &file, const QString &appDir)
{
    if (const QString refused = refusedPdfTarget(file, appDir); !refused.isEmpty())
        return refused;
    const QByteArray pdf = renderPeriodPdf(list);
    if (pdf.isEmpty())
        return u"Listata ne moze da se izgotvi kako PDF"_s;
    return writePdfFile(pdf, file, appDir);
}

} // namespace trelok
