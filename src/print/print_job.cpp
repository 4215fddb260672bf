#include "print/print_job.h"

#include "data/settings.h"
#include "data/statements.h"
#include "data/store.h"
#include "platform/fonts.h"
#include "platform/numbers.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
constexpr double pointSize = 10.0;
constexpr double twipsPerPoint = 20.0;
} // namespace

DbResult<std::optional<TwipOffsets>> readTwipOffsets(Store &store)
{
    auto offsets = readOffsets(store);
    if (!offsets)
        return DbResult<std::optional<TwipOffsets>>::failure(offsets);
    if (!offsets.value())
        return std::optional<TwipOffsets>();
    return std::optional<TwipOffsets>(TwipOffsets{twipsPerTenthMm * offsets.value()->right,
                                                  twipsPerTenthMm * offsets.value()->down});
}

DbResult<LoadedJob> loadPrintJob(Store &store, const QString &number)
{
    LoadedJob loaded;
    loaded.job.number = number;
    auto offsets = readTwipOffsets(store);
    if (!offsets)
        return DbResult<LoadedJob>::failure(offsets);
    if (!offsets.value()) {
        loaded.status = JobStatus::ConfigMissing;
        return loaded;
    }
    loaded.job.desno = offsets.value()->desno;
    loaded.job.dole = offsets.value()->dole;

    auto order = store.first(sql::trel::byNumber, {number});
    if (!order)
        return DbResult<LoadedJob>::failure(order);
    if (!order.value()) {
        loaded.status = JobStatus::OrderMissing;
        return loaded;
    }
    auto rows = store.select(sql::koor::ordered);
    if (!rows)
        return DbResult<LoadedJob>::failure(rows);
    if (rows.value().isEmpty()) {
        loaded.status = JobStatus::NoCoordinates;
        return loaded;
    }
    const Row &values = *order.value();
    for (const Row &row : rows.value()) {
        PlacedField field;
        field.box = row.text(u"box"_s);
        if (field.box.isEmpty() || !values.has(field.box)) {
            loaded.job.skippedBoxes.append(field.box);
            continue;
        }
        field.z_x = leadingNumber(row.text(u"z_x"_s));
        field.z_y = leadingNumber(row.text(u"z_y"_s));
        field.z_len = leadingNumber(row.text(u"z_len"_s));
        field.jsft = field.box.toUpper() == u"MKD_CEL"_s ? u'R' : u'L';
        field.text = values.isNull(field.box) ? u" "_s : values.text(field.box);
        loaded.job.fields.append(field);
    }
    // The coordinates are stored as text: order them by their numbers.
    std::stable_sort(loaded.job.fields.begin(), loaded.job.fields.end(),
                     [](const PlacedField &a, const PlacedField &b) {
                         return a.z_y != b.z_y ? a.z_y < b.z_y : a.z_x < b.z_x;
                     });
    return loaded;
}

DbResult<QList<LoadedJob>> loadPrintJobs(Store &store, const QStringList &numbers)
{
    QList<LoadedJob> jobs;
    jobs.reserve(numbers.size());
    for (const QString &number : numbers) {
        auto loaded = loadPrintJob(store, number);
        if (!loaded)
            return DbResult<QList<LoadedJob>>::failure(loaded);
        jobs.append(std::move(loaded.value()));
        if (jobs.last().status != JobStatus::Ready)
            break;
    }
    return jobs;
}

QFont pageFont()
{
    QFont font(QString::fromLatin1(formFontFamily));
    font.setBold(true);
    // A pixel size in twips: with the painter scaled to twips, 200 units are
    // exactly 10 pt on the device, whatever its resolution.
    font.setPixelSize(qRound(pointSize * twipsPerPoint));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

void useTwips(QPainter &painter)
{
    const QPaintDevice *device = painter.device();
    painter.scale(device->logicalDpiX() / 1440.0, device->logicalDpiY() / 1440.0);
}

std::optional<double> fieldX(const PlacedField &field, double desno, double textWidth)
{
    if (field.jsft == u'L')
        return desno + field.z_x;
    if (field.jsft == u'R')
        return desno + field.z_x + field.z_len - textWidth;
    return std::nullopt;
}

bool zprnt_d(QPainter &painter, const PlacedField &field, double desno, double dole)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const std::optional<double> x = fieldX(field, desno, metrics.horizontalAdvance(field.text));
    if (!x)
        return true;
    const double y = dole + field.z_y;
    painter.drawText(QPointF(*x, y + metrics.ascent()), field.text);
    return true;
}

void paintJob(QPainter &painter, const PrintJob &job)
{
    painter.save();
    painter.setFont(pageFont());
    painter.setPen(Qt::black);
    for (const PlacedField &field : job.fields)
        zprnt_d(painter, field, job.desno, job.dole);
    painter.restore();
}

} // namespace trelok
