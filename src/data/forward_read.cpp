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

    int read = 0;
    const auto part = [&](const QByteArray &where, QVariantList values, size_t equal,
                          int offset) -> DbStatus {
        QByteArray statement = select + where + orderBy(equal) + " LIMIT ?";
        values.append(count - read);
        if (offset > 0) {
            statement += " OFFSET ?";
            values.append(offset);
        }
        return store.eachUtf8(statement.constData(), values,
                              [&](const QByteArrayView *cells, int) {
                                  follow(place, order, cells);
                                  visit(cells);
                                  ++read;
                              });
    };
    if (place.keys.empty()) {
        if (auto first = part({}, {}, 0, 0); !first)
            return DbResult<int>::failure(first);
        return read;
    }
    const ListPlace from = place;
    // Alike in the first `equal` keys, from all of them down to none.
    for (int equal = int(order.keys.size()); equal >= 0 && read < count; --equal) {
        QByteArray where = " WHERE ";
        QVariantList values;
        for (int i = 0; i < equal; ++i) {
            const ListKey &key = order.keys[size_t(i)];
            where += (i ? " AND " : "") + key.expression;
            if (const auto &value = from.keys[size_t(i)]) {
                where += " = ?";
                values.append(bound(key, *value));
            } else {
                where += " IS NULL";
            }
        }
        if (equal == int(order.keys.size())) {
            if (auto rest = part(where, values, size_t(equal), from.alike); !rest)
                return DbResult<int>::failure(rest);
            continue;
        }
        if (equal > 0)
            where += " AND ";
        const ListKey &next = order.keys[size_t(equal)];
        if (const auto &value = from.keys[size_t(equal)]) {
            values.append(bound(next, *value));
            if (auto beyond = part(where + next.expression + after, values, size_t(equal), 0);
                !beyond)
                return DbResult<int>::failure(beyond);
            values.removeLast();
            if (nullsAfter && read < count)
                if (auto nulls =
                        part(where + next.expression + " IS NULL", values, size_t(equal) + 1, 0);
                    !nulls)
                    return DbResult<int>::failure(nulls);
        } else if (!nullsAfter) {
            if (auto texts = part(where + next.expression + " IS NOT NULL", values, size_t(equal), 0);
                !texts)
                return DbResult<int>::failure(texts);
        }
    }
    return read;
}

} // namespace trelok
