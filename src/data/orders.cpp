#include "data/orders.h"

#include "data/counter.h"
#include "data/order_columns.h"
#include "data/statements.h"
#include "data/store.h"
#include "platform/numbers.h"

#include <algorithm>
#include <numeric>
#include <vector>

using namespace Qt::StringLiterals;

namespace trelok {

const QStringList &orderColumns()
{
    static const QStringList columns = [] {
        QStringList names;
        for (const ColumnDescriptor &column : orderColumnTable)
            names.append(QString::fromLatin1(column.name));
        return names;
    }();
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

// What orders are sorted by: the year after the "/", then the sequence
// number before it; the text itself breaks ties.
struct NumberKey {
    QStringView year;
    double sequence;
};

NumberKey numberKey(const QString &number)
{
    const QStringView n = QStringView(number).trimmed();
    const qsizetype slash = n.lastIndexOf(u'/');
    if (slash < 0)
        return {QStringView(), leadingNumber(n)};
    return {n.mid(slash + 1), leadingNumber(n.left(slash))};
}

bool newer(const NumberKey &a, const QString &na, const NumberKey &b, const QString &nb)
{
    if (const int byYear = a.year.compare(b.year); byYear != 0)
        return byYear > 0;
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
    const QList<QStringList> &r = rows.value();
    // Sorts positions, not rows: a key per row, then the lines in order.
    std::vector<NumberKey> keys;
    keys.reserve(size_t(r.size()));
    for (const QStringList &row : r)
        keys.push_back(numberKey(row[0]));
    std::vector<int> order(size_t(r.size()));
    std::iota(order.begin(), order.end(), 0);
    const auto newerFirst = [&](int a, int b) {
        return newer(keys[size_t(a)], r[a][0], keys[size_t(b)], r[b][0]);
    };
    // Orders usually come back as they were stored, oldest first: then
    // turning the list round is the whole sort.
    std::reverse(order.begin(), order.end());
    if (!std::is_sorted(order.begin(), order.end(), newerFirst))
        std::stable_sort(order.begin(), order.end(), newerFirst);
    QList<OrderLine> lines;
    lines.reserve(r.size());
    for (int i : order) {
        const QStringList &row = r[i];
        lines.append({row[0], row[1], row[2], row[3], row[4], row[5], row[6]});
    }
    return lines;
}

} // namespace trelok
