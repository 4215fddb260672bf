#include "print/period_list.h"

#include "data/csv.h"
#include "data/own_files.h"
#include "data/statements.h"
#include "data/store.h"
#include "entry/kinds.h"
#include "platform/dates.h"
#include "platform/file_writes.h"
#include "refdata/fixed_data.h"

#include <QFileInfo>
#include <QSqlQuery>

#include <algorithm>
#include <limits>
#include <map>
#include <numeric>
#include <tuple>
#include <vector>

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

// The two decimal digits of "5" or "50" (tenths first), or -1.
int decimalDigits(QStringView digits)
{
    if (digits.isEmpty())
        return 0;
    if (digits.size() > 2 || !isDigit(digits[0]) || (digits.size() == 2 && !isDigit(digits[1])))
        return -1;
    return (digits[0].unicode() - u'0') * 10 +
           (digits.size() == 2 ? digits[1].unicode() - u'0' : 0);
}

QString trimmedText(const QSqlQuery &q, int column)
{
    // Taken out of the value, so trimming works on the text in place.
    return qvariant_cast<QString>(q.value(column)).trimmed();
}

// Where an order goes in the list: by payment date, then by the year and
// the sequence of its number "N/YYYY" (a number of another form after
// those, by its text).
struct Place {
    int date = 0; // YYYYMMDD
    int year = 0;
    qint64 sequence = 0;
    QString number;

    bool operator<(const Place &o) const
    {
        return std::tie(date, year, sequence) != std::tie(o.date, o.year, o.sequence)
                   ? std::tie(date, year, sequence) < std::tie(o.date, o.year, o.sequence)
                   : number < o.number;
    }
};

Place placeOf(QDate date, const QString &number)
{
    Place place;
    place.date = date.isValid() ? date.year() * 10000 + date.month() * 100 + date.day() : 0;
    place.number = number;
    place.year = std::numeric_limits<int>::max();
    const qsizetype slash = number.indexOf(u'/');
    if (slash < 1 || slash > 15 || number.size() - slash - 1 != 4)
        return place;
    qint64 sequence = 0;
    int year = 0;
    for (qsizetype i = 0; i < number.size(); ++i) {
        if (i == slash)
            continue;
        if (!isDigit(number[i]))
            return place;
        if (i < slash)
            sequence = sequence * 10 + (number[i].unicode() - u'0');
        else
            year = year * 10 + (number[i].unicode() - u'0');
    }
    place.year = year;
    place.sequence = sequence;
    return place;
}


} // namespace

std::optional<qint64> orderHundredths(const QString &whole, const QString &decimals)
{
    const QString w = whole.trimmed();
    const qsizetype comma = w.indexOf(u',');
    const QStringView denarsPart = comma < 0 ? QStringView(w) : QStringView(w).left(comma);
    qint64 value = 0;
    int digits = 0;
    for (QChar c : denarsPart) {
        if (c == u' ')
            continue;
        if (!isDigit(c) || ++digits > mostWholeDigits)
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    // Blanks only between digits: the text begins and ends with one.
    if (digits == 0 || !isDigit(denarsPart.front()) || !isDigit(denarsPart.back()))
        return std::nullopt;
    const int ofWhole = comma < 0 ? 0 : decimalDigits(QStringView(w).mid(comma + 1));
    const QString d = decimals.trimmed();
    const int ofDecimals = decimalDigits(d);
    if (ofWhole < 0 || ofDecimals < 0 || (comma >= 0 && w.size() == comma + 1))
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

DbResult<PeriodTotals> listPeriod(Store &store, const Period &period,
                                  const std::function<void(const PeriodLine &)> &line)
{
    const auto key = [](QDate d) { return d.toString(u"yyyyMMdd"_s); };
    QVariantList values{key(period.from), key(period.to)};
    const QString kind = period.kind.trimmed();
    if (!kind.isEmpty())
        values.append(kind);
    PeriodTotals totals;
    // The lines as read and where each goes; positions are sorted, not lines.
    std::vector<PeriodLine> lines;
    std::vector<Place> places;
    const auto read = store.each(
        kind.isEmpty() ? sql::period::orders : sql::period::ordersOfKind, values,
        [&](const QSqlQuery &q) {
            PeriodLine l;
            l.number = trimmedText(q, 0);
            l.date = trimmedText(q, 1);
            l.kind = trimmedText(q, 2);
            const QDate date = periodDate(l.date);
            if (!date.isValid()) {
                totals.dateApart.append({l.number, l.kind, l.date});
                return;
            }
            // A date of the form whose key lies in the period but that is no
            // day of the calendar ("31.02.2026") was set apart above.
            if (date < period.from || date > period.to)
                return;
            l.payer = trimmedText(q, 3);
            l.reference = trimmedText(q, 4);
            const QString cel1 = trimmedText(q, 5), cel2 = trimmedText(q, 6);
            l.purpose = cel2.isEmpty() ? cel1 : cel1.isEmpty() ? cel2 : cel1 + u' ' + cel2;
            const QString whole = trimmedText(q, 7), decimals = trimmedText(q, 8);
            const std::optional<qint64> amount = orderHundredths(whole, decimals);
            l.summed = amount.has_value();
            l.hundredths = amount.value_or(0);
            l.amount = amount ? denars(*amount) : storedAmount(whole, decimals);
            places.push_back(placeOf(date, l.number));
            lines.push_back(std::move(l));
        });
    if (!read)
        return DbResult<PeriodTotals>::failure(read);
    std::vector<int> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&places](int a, int b) { return places[size_t(a)] < places[size_t(b)]; });
    std::sort(totals.dateApart.begin(), totals.dateApart.end(),
              [](const SetApart &a, const SetApart &b) {
                  return placeOf({}, a.number) < placeOf({}, b.number);
              });
    std::map<QString, PeriodSum> byKind;
    for (int at : order) {
        const PeriodLine &l = lines[size_t(at)];
        if (l.summed) {
            PeriodSum &sum = byKind[l.kind];
            sum.kind = l.kind;
            ++sum.count;
            sum.hundredths += l.hundredths;
            ++totals.all.count;
            totals.all.hundredths += l.hundredths;
        } else {
            totals.amountApart.append({l.number, l.kind, l.amount});
        }
        line(l);
    }
    for (auto &[code, sum] : byKind)
        totals.kinds.append(sum);
    return totals;
}

DbResult<PeriodList> readPeriodList(Store &store, const Period &period)
{
    using Out = DbResult<PeriodList>;
    PeriodList list;
    list.period = period;
    auto company = readFixedData(store);
    if (!company)
        return Out::failure(company);
    if (company.value())
        list.company = company.value()->nal1;
    if (!period.kind.trimmed().isEmpty()) {
        auto description = kindDescription(store, period.kind);
        if (!description)
            return Out::failure(description);
        list.kindDescription = description.value().value_or(QString());
    }
    auto totals = listPeriod(store, period,
                             [&list](const PeriodLine &line) { list.lines.append(line); });
    if (!totals)
        return Out::failure(totals);
    list.totals = std::move(totals.value());
    return list;
}

QStringList periodColumnCaptions()
{
    return {u"Broj"_s,          u"Datum"_s,          u"Vid"_s,  u"Nalogodava~"_s,
            u"Povikuvawe na broj"_s, u"Cel na doznaka"_s, u"Iznos"_s};
}

QString periodTitle(const PeriodList &list)
{
    QString title = u"Lista na Treloci za Period %1 - %2"_s.arg(formatDate(list.period.from),
                                                                formatDate(list.period.to));
    const QString kind = list.period.kind.trimmed();
    if (!kind.isEmpty())
        title += u", Vid %1 %2"_s.arg(kind, list.kindDescription).trimmed();
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

QByteArray periodCsv(const PeriodList &list)
{
    QByteArray bytes = csvRecord({u"Broj"_s, u"Datum"_s, u"Vid"_s, u"Nalogodavac"_s,
                                  u"Povikuvanje na broj"_s, u"Cel na doznaka"_s, u"Iznos"_s})
                           .toUtf8();
    const auto plain = [](qint64 hundredths) {
        return QString::number(hundredths / 100) + u'.' +
               QString::number(hundredths % 100).rightJustified(2, u'0');
    };
    for (const PeriodLine &l : list.lines)
        bytes += csvRecord({l.number, l.date, l.kind, l.payer, l.reference, l.purpose,
                            l.summed ? plain(l.hundredths) : amountShown(l)})
                     .toUtf8();
    const PeriodTotals &t = list.totals;
    for (const PeriodSum &sum : t.kinds)
        bytes += csvRecord({u"Vkupno"_s, QString(), sum.kind, QString::number(sum.count), QString(),
                            QString(), plain(sum.hundredths)})
                     .toUtf8();
    bytes += csvRecord({u"Vkupno"_s, QString(), QString(), QString::number(t.all.count), QString(),
                        QString(), plain(t.all.hundredths)})
                 .toUtf8();
    // The counts of the totals' first line, in the column of the counts above.
    const auto count = [](const QString &words, qsizetype orders) {
        return csvRecord({words, QString(), QString(), QString::number(orders), QString(),
                          QString(), QString()})
            .toUtf8();
    };
    bytes += count(u"Ne se sobrani"_s, t.amountApart.size());
    bytes += count(u"Ne se vo listata"_s, t.dateApart.size());
    for (const SetApart &order : t.amountApart)
        bytes += csvRecord({u"Ne e sobran"_s, QString(), order.kind, order.number, QString(),
                            QString(), order.stored})
                     .toUtf8();
    for (const SetApart &order : t.dateApart)
        bytes += csvRecord({u"Datumot ne se cita"_s, order.stored, order.kind, order.number,
                            QString(), QString(), QString()})
                     .toUtf8();
    return bytes;
}

QString writePeriodCsv(const PeriodList &list, const QString &file, const QString &appDir)
{
    const QFileInfo info(file);
    if (file.isEmpty())
        return u"Ne e dadena datoteka za CSV"_s;
    if (info.isDir())
        return u"%1 e direktorium, ne datoteka za CSV"_s.arg(file);
    // A device or a pipe would be replaced by the file, not written to.
    if (info.exists() && !info.isFile())
        return u"%1 ne e obicna datoteka (ured ili cevka); listata ne e zapisana"_s.arg(file);
    if (const QString own = ownFileRefusal(file, appDir); !own.isEmpty())
        return own;
    const QString real = info.isSymLink() ? info.canonicalFilePath() : file;
    return replaceFile(real, periodCsv(list));
}

} // namespace trelok
