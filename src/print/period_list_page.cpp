#include "print/period_list_page.h"

#include "platform/fonts.h"
#include "print/pdf_output.h"
#include "print/period_rows.h"
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
qint64 rowCount(const PeriodPages &pages)
{
    return pages.lineCount() + 1 + pages.totalsLines().size();
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

void paintHeader(QPainter &painter, const PeriodHeading &heading)
{
    painter.setFont(listFont(12, true));
    const QFontMetricsF big(painter.font(), painter.device());
    painter.drawText(QPointF(margin, margin + big.ascent()), heading.company);
    painter.setFont(listFont(10, true));
    const QFontMetricsF title(painter.font(), painter.device());
    painter.drawText(QPointF(margin, margin + 420 + title.ascent()), periodTitle(heading));
    painter.setFont(listFont(9, true));
    drawRow(painter, margin + 860, periodColumnCaptions());
    painter.drawLine(QPointF(margin, bodyTop - 50), QPointF(pageWidth - margin, bodyTop - 50));
}

void paintPage(QPainter &painter, PeriodPages &pages, int page, int count)
{
    paintHeader(painter, pages.heading());
    const qint64 lines = pages.lineCount();
    const qint64 first = qint64(page) * rowsPerPage;
    const qint64 last = std::min(rowCount(pages), first + rowsPerPage);
    const std::vector<QStringList> shown = pages.lines(first, std::min(last, lines) - first);
    for (qint64 row = first; row < last; ++row) {
        const double top = bodyTop + double(row - first) * lineHeight;
        if (row < lines) {
            painter.setFont(listFont(9));
            if (size_t(row - first) < shown.size())
                drawRow(painter, top, shown[size_t(row - first)]);
        } else if (row > lines) {
            painter.setFont(listFont(9, true));
            const QFontMetricsF metrics(painter.font(), painter.device());
            painter.drawText(QPointF(margin, top + metrics.ascent()),
                             pages.totalsLines()[row - lines - 1]);
        }
    }
    painter.setFont(listFont(9));
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QString number = u"Strana %1 / %2"_s.arg(page + 1).arg(count);
    painter.drawText(QPointF(pageWidth - margin - metrics.horizontalAdvance(number),
                             footTop + metrics.ascent()),
                     number);
}

} // namespace

void PeriodPages::add(const PeriodLine &l)
{
    m_lines.add({l.number, l.date, l.kind, l.payer, l.reference, l.purpose, amountShown(l)});
}

void PeriodPages::finish(PeriodTotals totals)
{
    m_totals = std::move(totals);
    m_totalsText = totalsText(m_totals);
}

DbResult<std::unique_ptr<PeriodPages>> readPeriodPages(Store &store, const Period &period)
{
    using Out = DbResult<std::unique_ptr<PeriodPages>>;
    auto heading = readPeriodHeading(store, period);
    if (!heading)
        return Out::failure(heading);
    auto pages = std::make_unique<PeriodPages>(std::move(heading.value()));
    auto totals = listPeriod(store, period, [&pages](const PeriodLine &l) { pages->add(l); });
    if (!totals)
        return Out::failure(totals);
    pages->finish(std::move(totals.value()));
    return Out(std::move(pages));
}

int periodPageCount(const PeriodPages &pages)
{
    return int(std::max<qint64>(1, (rowCount(pages) + rowsPerPage - 1) / rowsPerPage));
}

void paintPeriodPage(QPainter &painter, PeriodPages &pages, int page)
{
    painter.save();
    painter.setPen(Qt::black);
    paintPage(painter, pages, page, periodPageCount(pages));
    painter.restore();
}

QString writePeriodPdf(PeriodPages &pages, const QString &file, const QString &appDir)
{
    if (const QString refused = refusedPdfTarget(file, appDir); !refused.isEmpty())
        return refused;
    if (!pages.error().isEmpty())
        return pages.error();
    const QString error = writePdfPages(
        file, periodTitle(pages.heading()), periodPageCount(pages),
        [&pages](QPainter &painter, int page) {
            paintPeriodPage(painter, pages, page);
            // Lines the file could not give back leave the page incomplete.
            return pages.error().isEmpty();
        },
        u"Listata ne moze da se izgotvi kako PDF"_s);
    return error.isEmpty() || pages.error().isEmpty() ? error : pages.error();
}

DbResult<QString> writePeriodPdf(Store &store, const Period &period, const QString &file,
                                 const QString &appDir)
{
    if (const QString refused = refusedPdfTarget(file, appDir); !refused.isEmpty())
        return refused;
    auto pages = readPeriodPages(store, period);
    if (!pages)
        return DbResult<QString>::failure(pages);
    return writePeriodPdf(*pages.value(), file, appDir);
}

} // namespace trelok
