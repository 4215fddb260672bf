#include "data/orders.h"

#include "data/counter.h"
#include "data/order_columns.h"
#include "data/statements.h"
#include "data/store.h"
#include "platform/numbers.h"

#include <algorithm>
#include <numeric>
#include <string_view>
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

namespace {

// The highest sequence number stored for a year, 0 when there is none. The
// numbers are texts "N/YYYY"; each is read the way the counter reads its
// own, so a text no program wrote cannot stop the reading on either engine
// (one the counter could not continue is passed over).
DbResult<qint64> highestStoredSequence(Store &store, const QString &year)
{
    auto numbers = store.texts(sql::trel::numbersOfYear, {u"%/"_s + year});
    if (!numbers)
        return DbResult<qint64>::failure(numbers);
    qint64 highest = 0;
    for (const QStringList &row : numbers.value())
        highest = std::max(highest, counterSequence(row[0].trimmed()).value_or(0));
    return highest;
}

} // namespace

DbResult<QString> storeNewOrder(Store &store, const QString &year, const QString &documentType,
                                const QVariantList &values, QString *notice)
{
    QString number, said;
    auto stored = store.writeTransaction([&]() -> DbStatus {
        said.clear();
        auto counter = readCounter(store, year, documentType);
        if (!counter)
            return DbStatus::failure(counter);
        const StoredCounter &c = counter.value();
        // A counter that cannot be continued (a damaged source, a hand edit)
        // is said once and repaired as a counter behind the orders is.
        if (c.present && !c.sequence)
            said = uncontinuableCounter(year, documentType, c.text);
        const auto reached = [&year] {
            return DbStatus::failure(
                u"Brojot na nalozi za %1 go dostigna najgolemiot broj %2"_s.arg(year).arg(
                    maxSequence));
        };
        if (c.sequence.value_or(0) >= maxSequence)
            return reached();
        qint64 next = c.present ? c.sequence.value_or(0) + 1 : 1;
        number = QString::number(next) + u"/"_s + year;
        // A counter behind the stored orders (a database from before the
        // counter moved with its order, a counter edited by hand) gives a
        // number that is taken: the order takes the one after the highest
        // of the year instead, and the counter moves there below.
        auto taken = store.first(sql::trel::numberTaken, {number});
        if (!taken)
            return DbStatus::failure(taken);
        if (taken.value() || !said.isEmpty()) {
            auto highest = highestStoredSequence(store, year);
            if (!highest)
                return DbStatus::failure(highest);
            if (highest.value() >= maxSequence)
                return reached();
            next = highest.value() + 1;
            number = QString::number(next) + u"/"_s + year;
        }
        QVariantList row{number};
        row.append(values);
        if (auto inserted = store.exec(sql::trel::insert, row); !inserted)
            return inserted;
        QString last = number;
        return put_brojac(store, year, documentType, last);
    });
    if (!stored)
        return DbResult<QString>::failure(stored);
    if (notice)
        *notice = said;
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

namespace {

// The chooser's columns are columns of the order (case aside), as many as
// the line has cells.
constexpr char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

constexpr bool isOrderColumn(std::string_view name)
{
    for (const ColumnDescriptor &column : orderColumnTable) {
        const std::string_view known(column.name);
        if (known.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size(); ++i)
            same = same && lower(known[i]) == lower(name[i]);
        if (same)
            return true;
    }
    return false;
}

constexpr bool lineColumnsAreOrderColumns()
{
    const std::string_view list(sql::trel::lineColumns);
    int count = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = list.find(',', from);
        if (!isOrderColumn(list.substr(from, comma - from)))
            return false;
        ++count;
        if (comma == std::string_view::npos)
            break;
        from = comma + 1;
    }
    return count == orderLineColumnCount;
}
static_assert(lineColumnsAreOrderColumns(),
              "the chooser's columns are the order's, one for each cell of OrderLine");

OrderLine lineOf(const QStringList &row)
{
    OrderLine line;
    for (int column = 0; column < orderLineColumnCount; ++column)
        line.*orderLineCells[column] = row[column];
    return line;
}

} // namespace

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
    for (int i : order)
        lines.append(lineOf(r[i]));
    return lines;
}

DbResult<int> orderCount(Store &store)
{
    // Counting reads a whole index or table: outside the memory map.
    int count = 0;
    auto read = store.eachUtf8(sql::trel::count, {}, [&count](const QByteArrayView *cells, int) {
        count = cells[0].toInt();
    });
    if (!read)
        return DbResult<int>::failure(read);
    return count;
}

namespace {

const char *pageStatement(const Store &store)
{
    return store.engine() == Engine::Server ? sql::newest::server::page
                                            : sql::newest::file::page;
}

} // namespace

DbResult<QList<OrderLine>> orderPage(Store &store, int first, int count)
{
    auto rows = store.texts(pageStatement(store), {count, first});
    if (!rows)
        return DbResult<QList<OrderLine>>::failure(rows);
    QList<OrderLine> lines;
    lines.reserve(rows.value().size());
    for (const QStringList &row : std::as_const(rows.value()))
        lines.append(lineOf(row));
    return lines;
}

DbStatus eachOrderLine(Store &store, int first, int count,
                       const std::function<void(const QByteArrayView *cells)> &visit)
{
    return store.eachUtf8(pageStatement(store), {count, first},
                          [&visit](const QByteArrayView *cells, int) { visit(cells); });
}

DbResult<int> readOrderLines(Store &store, ListPlace &place, int count,
                             const std::function<void(const QByteArrayView *cells)> &visit)
{
    const bool server = store.engine() == Engine::Server;
    const ListOrder list{sql::trel::lineColumns, orderLineColumnCount, sql::newest::table,
                         listKeys(server ? sql::newest::server::keys : sql::newest::file::keys,
                                  sql::newest::numberKey),
                         true};
    return readForward(store, list, place, count, visit);
}

} // namespace trelok
