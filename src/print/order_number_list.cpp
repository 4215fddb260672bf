#include "print/order_number_list.h"

#include <QRegularExpression>
#include <QSet>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

struct Number {
    qint64 n = 0;
    QString year;
};

bool readNumber(const QString &text, Number &number)
{
    static const QRegularExpression form(u"^(\\d{1,9})/(\\d{4})$"_s);
    const auto match = form.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    number.n = match.captured(1).toLongLong();
    number.year = match.captured(2);
    return number.n > 0;
}

QString notANumber(const QString &item)
{
    return u"'%1' ne e broj na trelok vo oblik broj/godina (na pr. 3/2026)"_s.arg(item.trimmed());
}

} // namespace

bool isOrderNumberList(const QString &text)
{
    return text.contains(u',') || text.contains(u".."_s);
}

OrderNumberList parseOrderNumberList(const QString &text)
{
    OrderNumberList list;
    QSet<QString> seen;
    const auto add = [&](const Number &number) {
        const QString written = QString::number(number.n) + u"/"_s + number.year;
        if (!seen.contains(written)) {
            seen.insert(written);
            list.numbers.append(written);
        }
    };
    const auto refuse = [&list](const QString &why) {
        list.numbers.clear();
        list.error = why;
        return list;
    };
    for (const QString &item : text.split(u',')) {
        if (item.trimmed().isEmpty())
            return refuse(u"Listata na treloci '%1' ima prazen element"_s.arg(text));
        const int dots = item.indexOf(u".."_s);
        Number first, last;
        if (dots < 0) {
            if (!readNumber(item, first))
                return refuse(notANumber(item));
            add(first);
        } else {
            const QString from = item.left(dots), to = item.mid(dots + 2);
            if (!readNumber(from, first))
                return refuse(notANumber(from));
            if (!readNumber(to, last))
                return refuse(notANumber(to));
            if (first.year != last.year)
                return refuse(u"Opsegot %1 ne e od edna godina"_s.arg(item.trimmed()));
            if (first.n > last.n)
                return refuse(u"Opsegot %1 odi nanazad"_s.arg(item.trimmed()));
            if (last.n - first.n >= maxOrdersAtOnce)
                return refuse(u"Opsegot %1 ima poveke od %2 treloci"_s.arg(item.trimmed())
                                  .arg(maxOrdersAtOnce));
            for (qint64 n = first.n; n <= last.n && list.numbers.size() <= maxOrdersAtOnce; ++n)
                add(Number{n, first.year});
        }
        if (list.numbers.size() > maxOrdersAtOnce)
            return refuse(u"Listata ima poveke od %1 treloci"_s.arg(maxOrdersAtOnce));
    }
    return list;
}

} // namespace trelok
