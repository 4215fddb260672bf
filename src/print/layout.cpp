#include "print/layout.h"

#include "data/csv.h"
#include "data/order_columns.h"
#include "data/orders.h"
#include "data/statements.h"
#include "data/store.h"
#include "platform/makscii.h"
#include "platform/numbers.h"
#include "print/print_job.h"

#include <QFile>
#include <QFontMetricsF>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <tuple>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {


QString columnOf(const QString &box)
{
    for (const QString &column : orderColumns())
        if (column.compare(box, Qt::CaseInsensitive) == 0)
            return column;
    return {};
}

QString layoutRefusal(const QStringList &fields)
{
    if (columnOf(fields[0]).isEmpty())
        return u"\"%1\" ne e kolona na trelokot"_s.arg(fields[0]);
    static const QRegularExpression number(u"^[0-9]+(\\.[0-9]+)?$"_s);
    static const QRegularExpression negative(u"^-[0-9]+(\\.[0-9]+)?$"_s);
    static const QStringList names{u"z_x"_s, u"z_y"_s, u"z_len"_s};
    for (int i = 1; i <= 3; ++i) {
        if (number.match(fields[i]).hasMatch())
            continue;
        if (negative.match(fields[i]).hasMatch())
            return u"%1 \"%2\" e negativen broj"_s.arg(names[i - 1], fields[i]);
        return u"%1 \"%2\" ne e broj"_s.arg(names[i - 1], fields[i]);
    }
    return {};
}

// Rows compared whatever order the table returns them in.
Layout sorted(Layout layout)
{
    std::sort(layout.begin(), layout.end(), [](const LayoutRow &a, const LayoutRow &b) {
        return std::tie(a.box, a.z_y, a.z_x, a.z_len) < std::tie(b.box, b.z_y, b.z_x, b.z_len);
    });
    return layout;
}

Layout layoutOfTexts(const QList<QStringList> &rows)
{
    Layout layout;
    for (const QStringList &row : rows)
        layout.append({row.value(0).trimmed(), leadingNumber(row.value(1).trimmed()),
                       leadingNumber(row.value(2).trimmed()),
                       leadingNumber(row.value(3).trimmed())});
    return layout;
}

const QHash<QString, QString> &sampleTexts()
{
    static const QHash<QString, QString> samples{
        {u"NALOG1"_s, u"Primer DOOEL"_s},     {u"NALOG2"_s, u"ul. Partizanska 12"_s},
        {u"BNK_NAL"_s, u"Komercijalna banka"_s}, {u"SM_NAL"_s, u"300000000123456"_s},
        {u"DAN_BR"_s, u"4030999123456"_s},    {u"POVIK"_s, u"108-2026-1010-12345"_s},
        {u"CEL1"_s, u"Carinski dolg"_s},      {u"CEL2"_s, u"po deklaracija"_s},
        {u"PRIMAC1"_s, u"Carinska Uprava na RM"_s}, {u"PRIMAC2"_s, u"Skopje"_s},
        {u"BNK_PRIM"_s, u"Narodna banka"_s},  {u"SMET_PRI"_s, u"100000000063095"_s},
        {u"MKD_CEL"_s, u"12.345,00"_s},       {u"MKD_DEC"_s, u"00"_s},
        {u"UP_SMET1"_s, u"840"_s},            {u"UP_SMET2"_s, u"004"_s},
        {u"UP_SMET3"_s, u"0123456789"_s},     {u"BU_SMET1"_s, u"840"_s},
        {u"BU_SMET2"_s, u"004"_s},            {u"BU_SMET3"_s, u"01"_s},
        {u"PR_SIF1"_s, u"723111"_s},          {u"PR_SIF2"_s, u"10"_s},
        {u"NACIN"_s, u"1"_s},                 {u"DATUM"_s, u"08.12.2026"_s},
        {u"MESTO"_s, u"Skopje"_s},            {u"VALUTA"_s, u"08.12.2026"_s}};
    return samples;
}

} // namespace

const TableFile &layoutFile()
{
    static const TableFile file{{u"box"_s, u"z_x"_s, u"z_y"_s, u"z_len"_s},
                                sql::koor::list,
                                sql::koor::removeAll,
                                sql::koor::insert,
                                layoutRefusal,
                                true,
                                u"polinja"_s};
    return file;
}

DbResult<Layout> readLayout(Store &store)
{
    auto rows = store.texts(sql::koor::list);
    if (!rows)
        return DbResult<Layout>::failure(rows);
    return layoutOfTexts(rows.value());
}

Layout deliveredLayout()
{
    QFile file(u":/assets/data/tbl_koor.csv"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> rows = parseCsv(QString::fromUtf8(file.readAll()));
    if (!rows.isEmpty())
        rows.removeFirst();
    return layoutOfTexts(rows);
}

QString coordinateText(double twips)
{
    return QString::number(twips, 'g', 12);
}

DbResult<LayoutSaved> saveLayout(Store &store, const Layout &shown, const Layout &opened)
{
    bool changed = false;
    const DbStatus stored = store.writeTransaction([&]() -> DbStatus {
        if (store.engine() == Engine::Server)
            if (auto locked = store.execUnprepared(sql::server::layoutLock); !locked)
                return locked;
        auto now = readLayout(store);
        if (!now)
            return DbStatus::failure(now);
        if (sorted(now.value()) != sorted(opened)) {
            changed = true;
            return DbStatus::failure(u"changed"_s);
        }
        QList<QStringList> rows;
        for (const LayoutRow &row : shown)
            rows.append({row.box, coordinateText(row.z_x), coordinateText(row.z_y),
                         coordinateText(row.z_len)});
        return replaceRows(store, layoutFile(), rows);
    });
    if (changed)
        return LayoutSaved::ChangedMeanwhile;
    if (!stored)
        return DbResult<LayoutSaved>::failure(stored);
    return LayoutSaved::Saved;
}

DbResult<QHash<QString, QString>> layoutTexts(Store &store)
{
    auto orders = orderPage(store, 0, 1); // the newest order
    if (!orders)
        return DbResult<QHash<QString, QString>>::failure(orders);
    if (orders.value().isEmpty())
        return sampleTexts();
    auto order = store.first(sql::trel::byNumber, {orders.value().first().trelok_br});
    if (!order)
        return DbResult<QHash<QString, QString>>::failure(order);
    if (!order.value())
        return sampleTexts();
    QHash<QString, QString> texts;
    for (const QString &column : orderColumns())
        texts.insert(column, order.value()->text(column));
    return texts;
}

PrintJob layoutPage(const Layout &layout, const QHash<QString, QString> &texts)
{
    PrintJob job;
    for (const LayoutRow &row : layout) {
        const QString column = columnOf(row.box);
        if (column.isEmpty()) {
            job.skippedBoxes.append(row.box);
            continue;
        }
        const QString text = texts.value(column);
        job.fields.append({row.box, row.z_x, row.z_y, row.z_len,
                           text.isEmpty() ? u" "_s : text,
                           column == u"MKD_CEL"_s ? u'R' : u'L'});
    }
    return job;
}

QRectF formOnPage()
{
    // The picture (9210 x 5940 twips on the screen) is the form drawn 1.064
    // times wider and 1.244 times higher than it is printed.
    return {0, 24, 8657, 4776};
}

QRectF fieldFrame(const LayoutRow &row)
{
    // As high as the text printed from z_y (the page font's ascent and descent).
    const QFontMetricsF metrics(pageFont());
    return {row.z_x, row.z_y, std::max(row.z_len, 60.0),
            std::ceil(metrics.ascent() + metrics.descent())};
}

QString fieldTitle(const QString &box)
{
    for (const ColumnDescriptor &column : orderColumnTable)
        if (box.compare(QLatin1StringView(column.name), Qt::CaseInsensitive) == 0 &&
            column.place.caption)
            return box + u" \u2013 "_s + makscii(QString::fromLatin1(column.place.caption));
    return box;
}

int fieldAt(const Layout &layout, QPointF twips)
{
    for (qsizetype i = layout.size() - 1; i >= 0; --i)
        if (fieldFrame(layout[i]).contains(twips))
            return int(i);
    return -1;
}

void moveFields(Layout &layout, const QList<int> &rows, double dx, double dy)
{
    for (int i : rows) {
        if (i < 0 || i >= layout.size())
            continue;
        layout[i].z_x = std::max(0.0, layout[i].z_x + dx);
        layout[i].z_y = std::max(0.0, layout[i].z_y + dy);
    }
}

namespace {
constexpr double twipsPerTenth = 1440.0 / 254.0;
}

double tenthsToTwips(double tenths)
{
    return std::round(tenths * twipsPerTenth);
}

double twipsToTenths(double twips)
{
    return twips / twipsPerTenth;
}

double steppedTwips(double twips, int tenths)
{
    const double at = twipsToTenths(twips);
    double from = std::round(at);
    if (std::abs(tenthsToTwips(from) - twips) > 0.5) // between two tenths
        from = tenths > 0 ? std::floor(at) : std::ceil(at);
    return std::max(0.0, tenthsToTwips(from + tenths));
}

void stepFields(Layout &layout, const QList<int> &rows, int tenthsX, int tenthsY)
{
    for (int i : rows) {
        if (i < 0 || i >= layout.size())
            continue;
        if (tenthsX)
            layout[i].z_x = steppedTwips(layout[i].z_x, tenthsX);
        if (tenthsY)
            layout[i].z_y = steppedTwips(layout[i].z_y, tenthsY);
    }
}

} // namespace trelok
