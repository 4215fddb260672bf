#include "print/period_list.h"

#include "entry/kinds.h"
#include "platform/dates.h"
#include "refdata/fixed_data.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// More digits than any payment: such a text is set apart, and the sums of
// a period can never overflow.
constexpr int mostWholeDigits = 12;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The two decimal digits of "5" or "50" (tenths first), or -1.
int decimalDigits(QByteArrayView digits)
{
    if (digits.isEmpty())
        return 0;
    if (digits.size() > 2 || !isDigit(digits[0]) || (digits.size() == 2 && !isDigit(digits[1])))
        return -1;
    return (digits[0] - '0') * 10 + (digits.size() == 2 ? digits[1] - '0' : 0);
}

} // namespace

std::optional<qint64> orderHundredths(const QString &whole, const QString &decimals)
{
    // Everything that counts is ASCII: any other letter is no digit either way.
    const QByteArray w = whole.trimmed().toUtf8(), d = decimals.trimmed().toUtf8();
    return orderHundredthsUtf8(w, d);
}

std::optional<qint64> orderHundredthsUtf8(QByteArrayView whole, QByteArrayView decimals)
{
    const qsizetype comma = whole.indexOf(',');
    const QByteArrayView denarsPart = comma < 0 ? whole : whole.first(comma);
    qint64 value = 0;
    int digits = 0;
    for (char c : denarsPart) {
        if (c == ' ')
            continue;
        if (!isDigit(c) || ++digits > mostWholeDigits)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    // Blanks only between digits: the text begins and ends with one.
    if (digits == 0 || !isDigit(denarsPart.front()) || !isDigit(denarsPart.back()))
        return std::nullopt;
    const int ofWhole = comma < 0 ? 0 : decimalDigits(whole.sliced(comma + 1));
    const int ofDecimals = decimalDigits(decimals);
    if (ofWhole < 0 || ofDecimals < 0 || (comma >= 0 && whole.size() == comma + 1))
        return std::nullopt;
    // A comma in the whole denars and decimals beside them are two decimal parts.
    if (comma >= 0 && ofDecimals != 0)
        return std::nullopt;
    return value * 100 + ofWhole + ofDecimals;
}

QString denars(qint64 hundredths)
{
    // Written from the right into one buffer: one text per order.
    char16_t text[40];
    int at = 40;
    text[--at] = char16_t(u'0' + hundredths % 10);
    text[--at] = char16_t(u'0' + hundredths / 10 % 10);
    text[--at] = u',';
    qint64 whole = hundredths / 100;
    for (int digits = 0; digits == 0 || whole > 0; ++digits, whole /= 10) {
        if (digits > 0 && digits % 3 == 0)
            text[--at] = u' ';
        text[--at] = char16_t(u'0' + whole % 10);
    }
    return QString(reinterpret_cast<const QChar *>(text + at), 40 - at);
}

QString storedAmount(const QString &whole, const QString &decimals)
{
    const bool zero =
        std::all_of(decimals.begin(), decimals.end(), [](QChar c) { return c == u'0'; });
    return zero ? whole : whole + u',' + decimals;
}

QString amountShown(const PeriodLine &line)
{
    if (line.summed)
        return line.amount;
    return line.amount.isEmpty() ? u"(prazen, ne e sobran)"_s : line.amount + u" (ne e sobran)"_s;
}

QDate periodDate(const QString &text)
{
    const QString t = text.trimmed();
    // Read by hand: a list of a whole year reads this for every order.
    if (t.size() != 10 || t[2] != u'.' || t[5] != u'.')
        return {};
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 3, 6}, lengths[3] = {2, 2, 4};
    for (int p = 0; p < 3; ++p)
        for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (!isDigit(t[i]))
                return {};
            parts[p] = parts[p] * 10 + (t[i].unicode() - u'0');
        }
    return QDate(parts[2], parts[1], parts[0]); // invalid when no such day
}

DbResult<PeriodHeading> readPeriodHeading(Store &store, const Period &period)
{
    using Out = DbResult<PeriodHeading>;
    PeriodHeading heading;
    heading.period = period;
    auto company = readFixedData(store);
    if (!company)
        return Out::failure(company);
    if (company.value())
        heading.company = company.value()->nal1;
    if (!period.kind.trimmed().isEmpty()) {
        auto description = kindDescription(store, period.kind);
        if (!description)
            return Out::failure(description);
        heading.kindDescription = description.value().value_or(QString());
    }
    return heading;
}

QStringList periodColumnCaptions()
{
    return {u"Broj"_s,          u"Datum"_s,          u"Vid"_s,  u"Nalogodava~"_s,
            u"Povikuvawe na broj"_s, u"Cel na doznaka"_s, u"Iznos"_s};
}

QString periodTitle(const PeriodHeading &heading)
{
    QString title = u"Lista na Treloci za Period %1 - %2"_s.arg(formatDate(heading.period.from),
                                                                formatDate(heading.period.to));
    const QString kind = heading.period.kind.trimmed();
    if (!kind.isEmpty())
        title += u", Vid %1 %2"_s.arg(kind, heading.kindDescription).trimmed();
    return title;
}

QStringList totalsText(const PeriodTotals &totals)
{
    const auto sumLine = [](const QString &what, const PeriodSum &sum) {
        return u"%1: %2 treloci, %3 den."_s.arg(what).arg(sum.count).arg(denars(sum.hundredths));
    };
    // The count first: the window shows it without scrolling.
    QStringList text{u"Izdvoeni treloci: %1 ne se sobrani, %2 ne se vo listata"_s
                         .arg(totals.amountApart.size())
                         .arg(totals.dateApart.size())};
    for (const PeriodSum &sum : totals.kinds)
        text.append(sumLine(u"Vkupno za vid "_s + sum.kind, sum));
    text.append(sumLine(u"VKUPNO"_s, totals.all));
    const auto apart = [&text](const QString &heading, const QList<SetApart> &orders) {
        if (orders.isEmpty())
            return;
        text.append(heading.arg(orders.size()));
        for (const SetApart &order : orders)
            text.append(u"    %1 (vid %2): \"%3\""_s.arg(order.number, order.kind, order.stored));
    };
    apart(u"Ne se sobrani, iznosot ne e samo cifri (%1):"_s, totals.amountApart);
    apart(u"Ne se vo listata, datumot ne e DD.MM.GGGG (%1):"_s, totals.dateApart);
    return text;
}

} // namespace trelok
