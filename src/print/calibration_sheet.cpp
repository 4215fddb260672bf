#include "print/calibration_sheet.h"

#include "context/messages.h"
#include "data/statements.h"
#include "data/store.h"
#include "platform/numbers.h"
#include "print/pdf_output.h"
#include "print/print_engine.h"
#include "print/print_job.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
constexpr double twipsPerMm = 1440 / 25.4;
constexpr int pageWidthMm = 210, pageHeightMm = 297;

// The names on the sheet are column names, shown in Latin letters.
QFont sheetFont(double points)
{
    QFont font(u"Liberation Sans"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qRound(points * 20)); // twips
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QString plain(double tenths)
{
    return QString::number(tenths, 'g', 10);
}

// Millimetre ticks from the origin along one edge: 1 mm short, 5 mm longer,
// 10 mm longest and numbered.
void paintRuler(QPainter &painter, bool horizontal, int lengthMm)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double end = lengthMm * twipsPerMm;
    painter.drawLine(QPointF(0, 0), horizontal ? QPointF(end, 0) : QPointF(0, end));
    for (int mm = 1; mm <= lengthMm; ++mm) {
        const double at = mm * twipsPerMm;
        const double tick = mm % 10 == 0 ? 160 : mm % 5 == 0 ? 110 : 60;
        if (horizontal)
            painter.drawLine(QPointF(at, 0), QPointF(at, tick));
        else
            painter.drawLine(QPointF(0, at), QPointF(tick, at));
        if (mm % 10 != 0)
            continue;
        const QString number = QString::number(mm);
        if (horizontal)
            painter.drawText(
                QPointF(at - metrics.horizontalAdvance(number) / 2, tick + 20 + metrics.ascent()),
                number);
        else
            painter.drawText(QPointF(tick + 30, at + metrics.ascent() / 2 - 10), number);
    }
}
} // namespace

DbResult<LoadedSheet> loadCalibrationSheet(Store &store)
{
    LoadedSheet loaded;
    auto offsets = readTwipOffsets(store);
    if (!offsets)
        return DbResult<LoadedSheet>::failure(offsets);
    if (!offsets.value()) {
        loaded.status = SheetStatus::ConfigMissing;
        return loaded;
    }
    loaded.sheet.desno = offsets.value()->desno;
    loaded.sheet.dole = offsets.value()->dole;
    auto rows = store.select(sql::koor::ordered);
    if (!rows)
        return DbResult<LoadedSheet>::failure(rows);
    for (const Row &row : rows.value())
        loaded.sheet.marks.append({row.text(u"box"_s), leadingNumber(row.text(u"z_x"_s)),
                                   leadingNumber(row.text(u"z_y"_s))});
    if (loaded.sheet.marks.isEmpty())
        loaded.status = SheetStatus::NoCoordinates;
    return loaded;
}

QString unprintableSheetReason(const LoadedSheet &loaded)
{
    switch (loaded.status) {
    case SheetStatus::ConfigMissing:
        return QString::fromLatin1(msg::configMissing);
    case SheetStatus::NoCoordinates:
        return u"Tabelata tbl_koor nema nitu eden red, kalibraciskiot list ne moze da se "
               "pecati !"_s;
    case SheetStatus::Ready:
        break;
    }
    return {};
}

double offsetTwips(const QString &tenthsOfMm)
{
    return twipsPerTenthMm * leadingNumber(tenthsOfMm.trimmed());
}

void paintCalibrationSheet(QPainter &painter, const CalibrationSheet &sheet)
{
    painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(8);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setFont(sheetFont(6));
    paintRuler(painter, true, pageWidthMm);
    paintRuler(painter, false, pageHeightMm);

    painter.setFont(sheetFont(7));
    const QFontMetricsF title(painter.font(), painter.device());
    painter.drawText(
        QPointF(600, 420 + title.ascent()),
        u"Kalibraciski list: ofset desno %1, dole %2 (0,1 mm)"_s.arg(
            plain(sheet.desno / twipsPerTenthMm), plain(sheet.dole / twipsPerTenthMm)));

    painter.setFont(sheetFont(6));
    for (const CalibrationMark &mark : sheet.marks) {
        const double x = sheet.desno + mark.z_x;
        const double y = sheet.dole + mark.z_y;
        painter.drawLine(QPointF(x - crossArm, y), QPointF(x + crossArm, y));
        painter.drawLine(QPointF(x, y - crossArm), QPointF(x, y + crossArm));
        // Above and right of the cross, clear of its arms.
        painter.drawText(QPointF(x + 40, y - 30), mark.box.isEmpty() ? u"(prazno)"_s : mark.box);
    }
    painter.restore();
}

QString writeCalibrationPdf(Store &store, const QString &file)
{
    const QString appDir = QFileInfo(store.path()).absolutePath();
    if (const QString refused = refusedPdfTarget(file, appDir); !refused.isEmpty())
        return refused;
    auto loaded = loadCalibrationSheet(store);
    if (!loaded)
        return loaded.error();
    if (const QString reason = unprintableSheetReason(loaded.value()); !reason.isEmpty())
        return reason;
    const CalibrationSheet &sheet = loaded.value().sheet;
    const QByteArray pdf = renderPdfPage(u"Kalibraciski list"_s, [&sheet](QPainter &painter) {
        paintCalibrationSheet(painter, sheet);
    });
    if (pdf.isEmpty())
        return u"Kalibraciskiot list ne moze da se izgotvi kako PDF"_s;
    return writePdfFile(pdf, file, appDir);
}

} // namespace trelok
