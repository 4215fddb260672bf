#include "data/counter.h"

#include "data/statements.h"
#include "data/store.h"
#include "platform/numbers.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace trelok {

std::optional<qint64> counterSequence(const QString &tekoven_br)
{
    // A stored number ends in "/" and the four-digit year.
    if (tekoven_br.size() < 5)
        return 0;
    const LeadingDigits read =
        leadingDigits(QStringView(tekoven_br).left(tekoven_br.size() - 5));
    QStringView whole(read.whole);
    while (whole.startsWith(u'0'))
        whole = whole.mid(1);
    const bool fraction =
        std::any_of(read.fraction.cbegin(), read.fraction.cend(), [](QChar c) { return c != u'0'; });
    if (whole.size() > 18 || fraction || (read.negative && !whole.isEmpty()))
        return std::nullopt;
    const qint64 sequence = whole.isEmpty() ? 0 : whole.toLongLong();
    if (sequence > maxSequence)
        return std::nullopt;
    return sequence;
}

QString uncontinuableCounter(const QString &god, const QString &tip_dok, const QString &text)
{
    return u"Tekovniot broj vo tbl_Broj za %1/%2 ('%3') ne e broj od koj moze da se "
           "prodolzi; noviot broj e prviot po najgolemiot zapisan, i brojacot se popravi"_s.arg(
               tip_dok, god, text);
}

DbResult<StoredCounter> readCounter(Store &store, const QString &god, const QString &tip_dok)
{
    auto row = store.first(sql::broj::byYearAndType, {god, tip_dok});
    if (!row)
        return DbResult<StoredCounter>::failure(row);
    if (!row.value())
        return StoredCounter{};
    // Taken as stored, not trimmed: trailing blanks of a fixed-width column
    // stay behind the year and the reading stops at the "/" anyway.
    const QVariant stored = row.value()->raw(u"tekoven_br"_s);
    if (stored.isNull() || stored.toString().size() < 5)
        return DbResult<StoredCounter>::failure(
            u"Neispraven tekoven broj vo tbl_Broj za %1/%2: '%3'"_s.arg(tip_dok, god,
                                                                        mget(stored)));
    return StoredCounter{true, stored.toString(), counterSequence(stored.toString())};
}

DbResult<QString> get_brojac(Store &store, const QString &god, const QString &tip_dok)
{
    auto counter = readCounter(store, god, tip_dok);
    if (!counter)
        return DbResult<QString>::failure(counter);
    if (!counter.value().present)
        return u"1/"_s + god;
    if (!counter.value().sequence)
        return DbResult<QString>::failure(uncontinuableCounter(god, tip_dok, counter.value().text));
    return QString::number(*counter.value().sequence + 1) + u"/"_s + god;
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
