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

namespace {

// What every order's page takes from the database: the offsets, and the
// fields placed from the coordinate table, ordered by their numbers (the
// coordinates are stored as text). Read once for any number of orders.
struct PageFrame {
    std::optional<TwipOffsets> offsets;
    QList<PlacedField> fields;
};

DbResult<PageFrame> readPageFrame(Store &store)
{
    PageFrame frame;
    auto offsets = readTwipOffsets(store);
    if (!offsets)
        return DbResult<PageFrame>::failure(offsets);
    frame.offsets = offsets.value();
    if (!frame.offsets)
        return frame;
    auto rows = store.select(sql::koor::ordered);
    if (!rows)
        return DbResult<PageFrame>::failure(rows);
    for (const Row &row : rows.value()) {
        PlacedField field;
        field.box = row.text(u"box"_s);
        field.z_x = leadingNumber(row.text(u"z_x"_s));
        field.z_y = leadingNumber(row.text(u"z_y"_s));
        field.z_len = leadingNumber(row.text(u"z_len"_s));
        field.jsft = field.box.toUpper() == u"MKD_CEL"_s ? u'R' : u'L';
        frame.fields.append(field);
    }
    std::stable_sort(frame.fields.begin(), frame.fields.end(),
                     [](const PlacedField &a, const PlacedField &b) {
                         return a.z_y != b.z_y ? a.z_y < b.z_y : a.z_x < b.z_x;
                     });
    return frame;
}

DbResult<LoadedJob> loadInFrame(Store &store, const PageFrame &frame, const QString &number)
{
    LoadedJob loaded;
    loaded.job.number = number;
    if (!frame.offsets) {
        loaded.status = JobStatus::ConfigMissing;
        return loaded;
    }
    loaded.job.desno = frame.offsets->desno;
    loaded.job.dole = frame.offsets->dole;

    auto order = store.first(sql::trel::byNumber, {number});
    if (!order)
        return DbResult<LoadedJob>::failure(order);
    if (!order.value()) {
        loaded.status = JobStatus::OrderMissing;
        return loaded;
    }
    if (frame.fields.isEmpty()) {
        loaded.status = JobStatus::NoCoordinates;
        return loaded;
    }
    const Row &values = *order.value();
    for (PlacedField field : frame.fields) {
        if (field.box.isEmpty() || !values.has(field.box)) {
            loaded.job.skippedBoxes.append(field.box);
            continue;
        }
        field.text = values.isNull(field.box) ? u" "_s : values.text(field.box);
        loaded.job.fields.append(field);
    }
    return loaded;
}

} // namespace

DbResult<LoadedJob> loadPrintJob(Store &store, const QString &number)
{
    auto frame = readPageFrame(store);
    if (!frame)
        return DbResult<LoadedJob>::failure(frame);
    return loadInFrame(store, frame.value(), number);
}

DbResult<QList<LoadedJob>> loadPrintJobs(Store &store, const QStringList &numbers)
{
    auto frame = readPageFrame(store);
    if (!frame)
        return DbResult<QList<LoadedJob>>::failure(frame);
    QList<LoadedJob> jobs;
    jobs.reserve(numbers.size());
    for (const QString &number : numbers) {
        auto loaded = loadInFrame(store, frame.value(), number);
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
