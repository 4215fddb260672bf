#include "refdata/taxpayers.h"

#include "data/statements.h"
#include "data/store.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>

#include <sqlite3.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace trelok {

DbResult<QList<Taxpayer>> loadTaxpayers(Store &store)
{
    QList<Taxpayer> list;
    const auto read = store.each(sql::obvr::listing, {}, [&list](const QSqlQuery &row) {
        const QVariant city = row.value(3);
        list.append(Taxpayer{row.value(0).toString(), row.value(1).toString(),
                             row.value(2).toString(), city.isNull() ? u"0"_s : city.toString()});
    });
    if (!read)
        return DbResult<QList<Taxpayer>>::failure(read);
    return list;
}

void TaxpayerOrder::sortBy(int clicked)
{
    column = clicked;
}

namespace {

// More lines than a view shows at once.
constexpr int longPart = 4096;

// Texts compared as QString::toCaseFolded gives them, code unit by code unit.
int foldedCompare(void *, int aBytes, const void *a, int bBytes, const void *b)
{
    const auto folded = [](int bytes, const void *text) {
        return QStringView(static_cast<const QChar *>(text), bytes / qsizetype(sizeof(QChar)))
            .toString()
            .toCaseFolded();
    };
    return QString::compare(folded(aBytes, a), folded(bBytes, b), Qt::CaseSensitive);
}

// The file's own handle gains the collation of texts beyond ASCII; while
// another statement runs it keeps the one it has.
void registerExactCollation(Store &store)
{
    const QVariant handle =
        QSqlDatabase::database(store.connectionName(), false).driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    if (auto *db = *static_cast<sqlite3 *const *>(handle.data()))
        sqlite3_create_collation_v2(db, sql::obvr::file::exactCollation, SQLITE_UTF16_ALIGNED,
                                    nullptr, foldedCompare, nullptr);
}

// A column's key in the order, as the engine compares it.
QByteArray orderKey(Store &store, const TaxpayerOrder &order, int column)
{
    const QByteArray shown(sql::obvr::shown[column]);
    if (store.engine() == Engine::Server)
        return sql::obvr::server::lower + shown + sql::obvr::server::caseless;
    return shown + (order.exact[column] ? sql::obvr::file::exact : sql::obvr::file::caseless);
}

// The key of the column sorted by; on the file, a column holding letters
// beyond ASCII needs the collation registered first.
QByteArray sortKey(Store &store, const TaxpayerOrder &order)
{
    if (store.engine() == Engine::File && order.exact[order.column])
        registerExactCollation(store);
    return orderKey(store, order, order.column);
}

// The keys of the order: the sorted column's, then the ties (the tax
// number and, on the file, the order of storing; on the server every
// column).
std::vector<ListKey> orderKeys(Store &store, const TaxpayerOrder &order)
{
    std::vector<ListKey> keys = store.engine() == Engine::Server
                                    ? listKeys(sql::obvr::server::ties)
                                    : listKeys(sql::obvr::file::ties, sql::obvr::file::numberTie);
    if (order.column >= 0)
        keys.insert(keys.begin(), ListKey{sortKey(store, order)});
    return keys;
}

} // namespace

DbResult<int> taxpayerCount(Store &store)
{
    auto rows = store.texts(sql::obvr::count);
    if (!rows)
        return DbResult<int>::failure(rows);
    return rows.value().isEmpty() ? 0 : rows.value().first().value(0).toInt();
}

DbStatus eachTaxpayerLine(Store &store, const TaxpayerOrder &order, int first, int count,
                          const std::function<void(const QByteArrayView *cells)> &visit)
{
    QByteArray statement = sql::obvr::pageColumns;
    for (const ListKey &key : orderKeys(store, order))
        statement += key.expression + ',';
    statement.chop(1);
    statement += sql::obvr::page;
    // The parts of a whole read go through SQLite's own small page cache
    // (eachUtf8): through the memory map, every page of the register they
    // touch would stay in the program's memory.
    if (count > longPart)
        return store.eachUtf8(statement.constData(), {count, first},
                              [&visit](const QByteArrayView *cells, int) { visit(cells); });
    // A page of the view through the memory map: in most orders it reads
    // the whole register, a system call a page of the file without the map.
    auto rows = store.texts(statement.constData(), {count, first});
    if (!rows)
        return DbStatus::failure(rows);
    for (const QStringList &row : std::as_const(rows.value())) {
        const QByteArray texts[] = {row.value(0).toUtf8(), row.value(1).toUtf8(),
                                    row.value(2).toUtf8(), row.value(3).toUtf8()};
        const QByteArrayView cells[] = {texts[0], texts[1], texts[2], texts[3]};
        visit(cells);
    }
    return succeeded();
}

DbResult<int> readTaxpayerLines(Store &store, const TaxpayerOrder &order, ListPlace &place,
                                int count,
                                const std::function<void(const QByteArrayView *cells)> &visit)
{
    const ListOrder list{sql::obvr::lineColumns, int(std::size(sql::obvr::shown)), sql::obvr::table,
                         orderKeys(store, order)};
    return readForward(store, list, place, count, visit);
}

DbResult<int> taxpayersBefore(Store &store, const TaxpayerOrder &order, const Taxpayer &t)
{
    const QString cells[] = {t.code, t.name, t.address, t.city};
    const QByteArray code(store.engine() == Engine::Server ? sql::obvr::server::code
                                                           : sql::obvr::file::code);
    QByteArray statement = sql::obvr::before;
    QVariantList values;
    if (order.column < 0) {
        statement += code + " < ?)+0";
    } else {
        const QByteArray first = sortKey(store, order);
        statement += first + sql::obvr::beforeAlike + first + " = ? AND " + code + " < ?)";
        values << cells[order.column] << cells[order.column];
    }
    values.append(t.code);
    auto rows = store.texts(statement.constData(), values);
    if (!rows)
        return DbResult<int>::failure(rows);
    return rows.value().isEmpty() ? 0 : rows.value().first().value(0).toInt();
}

DbResult<bool> taxpayerTextsBeyondAscii(Store &store, int column)
{
    auto rows = store.texts(sql::obvr::file::beyondAscii[column]);
    if (!rows)
        return DbResult<bool>::failure(rows);
    return !rows.value().isEmpty();
}

Taxpayer trimmedTaxpayer(const Taxpayer &typed)
{
    return {typed.code.trimmed(), typed.name.trimmed(), typed.address.trimmed(),
            typed.city.trimmed()};
}

bool isTaxNumber(const QString &code)
{
    if (code.size() != 13)
        return false;
    for (const QChar c : code)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

std::optional<TaxpayerRefusal> checkTaxpayer(const Taxpayer &t, TaxpayerMode mode)
{
    const auto refuse = [](const char *message, TaxpayerBox box) {
        return std::optional<TaxpayerRefusal>(TaxpayerRefusal{QString::fromLatin1(message), box});
    };
    if (t.code.size() != 13)
        return refuse(taxpayerMsg::wrongLength, TaxpayerBox::Text1);
    // The message promises digits only: a sign, a decimal point or an
    // exponent would make a "number" of 13 characters, but no tax number.
    if (!isTaxNumber(t.code))
        return refuse(taxpayerMsg::notDigits, TaxpayerBox::Text1);
    if (t.name.isEmpty())
        return refuse(taxpayerMsg::noName, TaxpayerBox::Text2);
    if (t.address.isEmpty())
        return refuse(taxpayerMsg::noAddress, TaxpayerBox::Text3);
    if (mode == TaxpayerMode::Change && t.city.isEmpty())
        return refuse(taxpayerMsg::noCity, TaxpayerBox::Text4);
    return std::nullopt;
}

DbResult<bool> taxpayerExists(Store &store, const QString &code)
{
    auto row = store.first(sql::obvr::lookup, {code});
    if (!row)
        return DbResult<bool>::failure(row);
    return row.value().has_value();
}

DbStatus addTaxpayer(Store &store, const Taxpayer &t)
{
    return store.exec(sql::obvr::insert, {t.code, t.name, t.address, t.city});
}

DbStatus changeTaxpayer(Store &store, const Taxpayer &t)
{
    return store.exec(sql::obvr::update, {t.name, t.address, t.city, t.code});
}

} // namespace trelok
