#include "data/forward_read.h"

#include "data/store.h"

#include <QVariant>

namespace trelok {

namespace {

QVariant bound(const ListKey &key, const std::string &value)
{
    if (key.number)
        return QByteArray::fromStdString(value).toLongLong();
    return QString::fromUtf8(value.data(), qsizetype(value.size()));
}

// The row's keys become the place's; alike counts the rows with the same.
void follow(ListPlace &place, const ListOrder &order, const QByteArrayView *cells)
{
    const size_t keys = order.keys.size();
    bool same = place.keys.size() == keys;
    place.keys.resize(keys);
    for (size_t i = 0; i < keys; ++i) {
        const QByteArrayView cell = cells[size_t(order.columnCount) + i];
        auto &held = place.keys[i];
        const bool equal = cell.isNull() ? !held : held && QByteArrayView(*held) == cell;
        if (equal)
            continue;
        same = false;
        if (cell.isNull())
            held.reset();
        else if (held)
            held->assign(cell.data(), size_t(cell.size()));
        else
            held.emplace(cell.data(), size_t(cell.size()));
    }
    place.alike = same ? place.alike + 1 : 1;
}

} // namespace

std::vector<ListKey> listKeys(std::span<const char *const> expressions, int number)
{
    std::vector<ListKey> keys;
    for (size_t i = 0; i < expressions.size(); ++i)
        keys.push_back({expressions[i], int(i) == number});
    return keys;
}

DbResult<int> readForward(Store &store, const ListOrder &order, ListPlace &place, int count,
                          const std::function<void(const QByteArrayView *cells)> &visit)
{
    QByteArray select = "SELECT " + order.columns;
    for (const ListKey &key : order.keys)
        select += ',' + key.expression;
    select += " FROM " + order.table;
    // The order by the keys from the first-th on: the keys before it are
    // held equal, and an engine does not always see that the index then
    // gives the rest in order.
    const auto orderBy = [&order](size_t first) {
        QByteArray by;
        for (size_t i = first; i < order.keys.size(); ++i)
            by += (by.isEmpty() ? " ORDER BY " : ",") + order.keys[i].expression +
                  (order.descending ? " DESC" : "");
        return by;
    };
    // Where each engine orders a Null: the file before every value, the
    // server after every value.
    const bool nullsAfter = (store.engine() == Engine::File) == order.descending;
    const char *after = order.descending ? " < ?" : " > ?";

    // Each part: the rows of a condition in the order of the keys from
    // `from` on, at most the rows still wanted, after `skip` of them.
    struct Part {
        QByteArray where;
        QVariantList values;
        size_t from = 0;
        int skip = 0;
    };
    std::vector<Part> parts;
    if (place.keys.empty())
        parts.push_back({});
    // Alike in the first `equal` keys, from all of them down to none.
    for (int equal = int(order.keys.size()); !place.keys.empty() && equal >= 0; --equal) {
        QByteArray where = " WHERE ";
        QVariantList values;
        for (int i = 0; i < equal; ++i) {
            const ListKey &key = order.keys[size_t(i)];
            where += (i ? " AND " : "") + key.expression;
            if (const auto &value = place.keys[size_t(i)]) {
                where += " = ?";
                values.append(bound(key, *value));
            } else {
                where += " IS NULL";
            }
        }
        if (equal == int(order.keys.size())) {
            parts.push_back({where, values, size_t(equal), place.alike});
            continue;
        }
        if (equal > 0)
            where += " AND ";
        const ListKey &next = order.keys[size_t(equal)];
        if (const auto &value = place.keys[size_t(equal)]) {
            parts.push_back({where + next.expression + after, values, size_t(equal), 0});
            parts.back().values.append(bound(next, *value));
            if (nullsAfter)
                parts.push_back({where + next.expression + " IS NULL", values, size_t(equal) + 1});
        } else if (!nullsAfter) {
            parts.push_back({where + next.expression + " IS NOT NULL", values, size_t(equal)});
        }
    }

    int read = 0;
    const auto each = [&](const QByteArray &statement, const QVariantList &values) {
        return store.eachUtf8(statement.constData(), values, [&](const QByteArrayView *cells, int) {
            follow(place, order, cells);
            visit(cells);
            ++read;
        });
    };
    const auto statement = [&](const Part &part, QVariantList &values) {
        values += part.values;
        values.append(count);
        values.append(part.skip);
        return select + part.where + orderBy(part.from) + " LIMIT ? OFFSET ?";
    };
    // The server is asked once, the parts one after another (a round trip
    // costs more than the parts); the file part by part, until enough.
    if (store.engine() == Engine::Server && parts.size() > 1) {
        QByteArray all;
        QVariantList values;
        for (const Part &part : parts)
            all += (all.isEmpty() ? "(" : " UNION ALL (") + statement(part, values) + ')';
        all += " LIMIT ?";
        values.append(count);
        if (auto done = each(all, values); !done)
            return DbResult<int>::failure(done);
        return read;
    }
    for (const Part &part : parts) {
        QVariantList values;
        QByteArray one = statement(part, values);
        values[values.size() - 2] = count - read;
        if (auto done = each(one, values); !done)
            return DbResult<int>::failure(done);
        if (read >= count)
            break;
    }
    return read;
}

} // namespace trelok
