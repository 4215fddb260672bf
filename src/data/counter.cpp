#include "data/counter.h"

#include "data/statements.h"
#include "data/store.h"
#include "platform/numbers.h"

using namespace Qt::StringLiterals;

namespace trelok {

double counterSequence(const QString &tekoven_br)
{
    // A stored number ends in "/" and the four-digit year.
    if (tekoven_br.size() < 5)
        return 0.0;
    return leadingNumber(QStringView(tekoven_br).left(tekoven_br.size() - 5));
}

DbResult<QString> get_brojac(Store &store, const QString &god, const QString &tip_dok)
{
    auto row = store.first(sql::broj::byYearAndType, {god, tip_dok});
    if (!row)
        return DbResult<QString>::failure(row);
    if (!row.value())
        return u"1/"_s + god;
    // Taken as stored, not trimmed: trailing blanks of a fixed-width column
    // stay behind the year and the reading stops at the "/" anyway.
    const QVariant stored = row.value()->raw(u"tekoven_br"_s);
    if (stored.isNull() || stored.toString().size() < 5)
        return DbResult<QString>::failure(
            u"Neispraven tekoven broj vo tbl_Broj za %1/%2: '%3'"_s.arg(tip_dok, god,
                                                                        mget(stored)));
    const double next = counterSequence(stored.toString()) + 1;
    return plainNumber(next) + u"/"_s + god;
}

DbStatus put_brojac(Store &store, const QString &god, const QString &tip_dok, QString &br_dok)
{
    qsizetype blanks = 0;
    while (blanks < br_dok.size() && br_dok[blanks] == u' ')
        ++blanks;
    br_dok.remove(0, blanks);
    auto row = store.first(sql::broj::byYearAndType, {god, tip_dok});
    if (!row)
        return DbStatus::failure(row);
    if (!row.value())
        return store.exec(sql::broj::insert, {god, tip_dok, br_dok});
    return store.exec(sql::broj::update, {br_dok, god, tip_dok});
}

} // namespace trelok
