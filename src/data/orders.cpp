#include "data/orders.h"

#include "data/counter.h"
#include "data/statements.h"
#include "data/store.h"
#include "platform/numbers.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace trelok {

const QStringList &orderColumns()
{
    static const QStringList columns{
        u"TRELOK_BR"_s, u"NALOG1"_s,   u"NALOG2"_s,   u"BNK_NAL"_s,  u"SM_NAL"_s,   u"DAN_BR"_s,
        u"POVIK"_s,     u"CEL1"_s,     u"CEL2"_s,     u"PRIMAC1"_s,  u"PRIMAC2"_s,  u"BNK_PRIM"_s,
        u"SMET_PRI"_s,  u"MKD_CEL"_s,  u"MKD_DEC"_s,  u"UP_SMET1"_s, u"UP_SMET2"_s, u"UP_SMET3"_s,
        u"BU_SMET1"_s,  u"BU_SMET2"_s, u"BU_SMET3"_s, u"PR_SIF1"_s,  u"PR_SIF2"_s,  u"NACIN"_s,
        u"DATUM"_s,     u"MESTO"_s,    u"VID"_s,      u"VALUTA"_s};
    return columns;
}

DbResult<QString> storeNewOrder(Store &store, const QString &year, const QString &documentType,
                                const QVariantList &values)
{
    QString number;
    auto stored = store.writeTransaction([&]() -> DbStatus {
        auto next = get_brojac(store, year, documentType);
        if (!next)
            return DbStatus::failure(next);
        number = next.value().trimmed();
        QVariantList row{number};
        row.append(values);
        if (auto inserted = store.exec(sql::trel::insert, row); !inserted)
            return inserted;
        QString last = number;
        return put_brojac(store, year, documentType, last);
    });
    if (!stored)
        return DbResult<QString>::failure(stored);
    return number;
}

DbStatus replaceOrder(Store &store, const QString &number, const QVariantList &values)
{
    return store.transaction([&]() -> DbStatus {
        if (auto removed = store.exec(sql::trel::remove, {number}); !removed)
            return removed;
        QVariantList row{number};
        row.append(values);
        return store.exec(sql::trel::insert, row);
    });
}

namespace {

struct NumberKey {
    QString year;
    double sequence;
};

NumberKey numberKey(const QString &number)
{
    const QString n = number.trimmed();
    const qsizetype slash = n.lastIndexOf(u'/');
    return {slash >= 0 ? n.mid(slash + 1) : QString(),
            leadingNumber(QStringView(n).left(slash >= 0 ? slash : n.size()))};
}

bool newer(const NumberKey &a, const QString &na, const NumberKey &b, const QString &nb)
{
    if (a.year != b.year)
        return a.year > b.year;
    if (a.sequence != b.sequence)
        return a.sequence > b.sequence;
    return na > nb;
}

} // namespace

bool newerOrder(const QString &a, const QString &b)
{
    return newer(numberKey(a), a, numberKey(b), b);
}

DbResult<QList<OrderLine>> listOrders(Store &store)
{
    auto rows = store.texts(sql::trel::chooser);
    if (!rows)
        return DbResult<QList<OrderLine>>::failure(rows);
    struct Keyed {
        NumberKey key;
        OrderLine line;
    };
    QList<Keyed> keyed;
    keyed.reserve(rows.value().size());
    for (QStringList &r : rows.value()) {
        OrderLine line{r[0], r[1], r[2], r[3], r[4], r[5], r[6]};
        keyed.append({numberKey(line.trelok_br), std::move(line)});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        return newer(a.key, a.line.trelok_br, b.key, b.line.trelok_br);
    });
    QList<OrderLine> lines;
    lines.reserve(keyed.size());
    for (Keyed &k : keyed)
        lines.append(std::move(k.line));
    return lines;
}

} // namespace trelok
