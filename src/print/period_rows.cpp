#include "print/period_rows.h"

#include "data/csv_blocks.h"
#include "data/statements.h"
#include "data/store.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <limits>
#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// The first or the last letter of well-formed UTF-8 text, and its bytes.
std::pair<char32_t, int> firstLetter(QByteArrayView text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    if (p[0] < 0x80)
        return {p[0], 1};
    const int more = p[0] >= 0xF0 ? 3 : p[0] >= 0xE0 ? 2 : 1;
    char32_t c = p[0] & (0x3F >> more);
    for (int k = 1; k <= more; ++k)
        c = (c << 6) | (p[k] & 0x3F);
    return {c, more + 1};
}

std::pair<char32_t, int> lastLetter(QByteArrayView text)
{
    qsizetype start = text.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return firstLetter(text.sliced(start));
}

// Well-formed UTF-8 without the blanks QString::trimmed takes off.
QByteArrayView trimmedUtf8(QByteArrayView text)
{
    while (!text.isEmpty()) {
        const auto [letter, bytes] = firstLetter(text);
        if (!QChar::isSpace(letter))
            break;
        text = text.sliced(bytes);
    }
    while (!text.isEmpty()) {
        const auto [letter, bytes] = lastLetter(text);
        if (!QChar::isSpace(letter))
            break;
        text.chop(bytes);
    }
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The day of a trimmed date DD.MM.YYYY as YYYYMMDD, as periodDate reads
// it; 0 when it is no day.
int dayOf(QByteArrayView date)
{
    if (date.size() != 10 || date[2] != '.' || date[5] != '.')
        return 0;
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 3, 6}, lengths[3] = {2, 2, 4};
    for (int p = 0; p < 3; ++p)
        for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (!isDigit(date[i]))
                return 0;
            parts[p] = parts[p] * 10 + (date[i] - '0');
        }
    return QDate(parts[2], parts[1], parts[0]).isValid()
               ? parts[2] * 10000 + parts[1] * 100 + parts[0]
               : 0;
}

int dayOf(QDate date)
{
    return date.year() * 10000 + date.month() * 100 + date.day();
}

// Where an order goes in the list: by payment day, then by the year and
// the sequence of its number "N/YYYY" (1 to 15 digits; a number of another
// form after those), then by the number's text.
struct Key {
    int day = 0; // YYYYMMDD
    int year = 0;
    qint64 sequence = 0;

    bool operator==(const Key &o) const = default;
    bool operator<(const Key &o) const
    {
        return std::tie(day, year, sequence) < std::tie(o.day, o.year, o.sequence);
    }
};

Key keyOf(int day, QByteArrayView number)
{
    Key key{day, std::numeric_limits<int>::max(), 0};
    const qsizetype slash = number.indexOf('/');
    if (slash < 1 || slash > 15 || number.size() - slash - 1 != 4)
        return key;
    qint64 sequence = 0;
    int year = 0;
    for (qsizetype i = 0; i < number.size(); ++i) {
        if (i == slash)
            continue;
        if (!isDigit(number[i]))
            return key;
        if (i < slash)
            sequence = sequence * 10 + (number[i] - '0');
        else
            year = year * 10 + (number[i] - '0');
    }
    key.year = year;
    key.sequence = sequence;
    return key;
}

// The texts of a row of sql::period (number, date, kind, payer, reference,
// purpose in two, amount in two) as well-formed UTF-8, trimmed; valid while
// the row and this are.
class RowTexts {
public:
    explicit RowTexts(const Store::Utf8Row &row)
    {
        for (int c = 0; c < columns; ++c) {
            QByteArrayView cell = row.cells()[c];
            if (!wellFormedUtf8(cell)) {
                m_read[size_t(c)] = row.asRead(c);
                cell = m_read[size_t(c)];
            }
            m_texts[size_t(c)] = trimmedUtf8(cell);
        }
    }
    QByteArrayView operator[](int column) const { return m_texts[size_t(column)]; }

private:
    static constexpr int columns = 9;
    std::array<QByteArrayView, columns> m_texts;
    std::array<QByteArray, columns> m_read;
};

QString text(QByteArrayView utf8)
{
    return QString::fromUtf8(utf8);
}

// The order of a row, the purpose's two parts joined in buffer when both
// are there.
PeriodRow rowFrom(const RowTexts &texts, QByteArray &buffer)
{
    QByteArrayView purpose = texts[5].isEmpty() ? texts[6] : texts[5];
    if (!texts[5].isEmpty() && !texts[6].isEmpty()) {
        buffer.resize(0);
        buffer.append(texts[5]);
        buffer.append(' ');
        buffer.append(texts[6]);
        purpose = buffer;
    }
    return {texts[0], texts[1], texts[2],  texts[3],
            texts[4], purpose,  texts[7], texts[8],
            orderHundredthsUtf8(texts[7], texts[8])};
}

// The rows of one day and number key, copied as they come (the database
// gives them in the order of their bytes), then put in the order of their
// numbers' texts (UTF-16: a letter past U+FFFF and one from U+E000 compare
// otherwise), summed and handed on.
class RowsInOrder {
public:
    RowsInOrder(PeriodTotals &totals, std::function<void(const PeriodRow &)> visit)
        : m_totals(totals), m_visit(std::move(visit))
    {}

    void add(const PeriodRow &row, const Key &key)
    {
        if (!m_held.empty() && !(key == m_key))
            finish();
        m_key = key;
        Held held{m_bytes.size(), {}, row.hundredths};
        const QByteArrayView texts[] = {row.number,    row.date,    row.kind,
                                        row.payer,     row.reference, row.purpose,
                                        row.whole,     row.decimals};
        for (size_t t = 0; t < held.ends.size(); ++t) {
            m_bytes.append(texts[t]);
            held.ends[t] = m_bytes.size();
        }
        m_held.push_back(held);
    }

    void finish()
    {
        std::vector<PeriodRow> &rows = m_rows;
        rows.clear();
        for (const Held &held : m_held)
            rows.push_back(rowOf(held));
        if (rows.size() > 1)
            std::stable_sort(rows.begin(), rows.end(), [](const PeriodRow &a, const PeriodRow &b) {
                return text(a.number) < text(b.number);
            });
        for (const PeriodRow &row : rows) {
            if (row.hundredths) {
                PeriodSum &sum = sumOf(row.kind);
                ++sum.count;
                sum.hundredths += *row.hundredths;
                ++m_totals.all.count;
                m_totals.all.hundredths += *row.hundredths;
            } else {
                m_totals.amountApart.append({text(row.number), text(row.kind),
                                             storedAmount(text(row.whole), text(row.decimals))});
            }
            m_visit(row);
        }
        m_held.clear();
        m_bytes.resize(0); // keeps its room from row to row
    }

    // The sums by kind code, after finish.
    QList<PeriodSum> kinds() const
    {
        QList<PeriodSum> sums;
        for (const auto &[utf8, sum] : m_kinds)
            sums.append(sum);
        std::sort(sums.begin(), sums.end(),
                  [](const PeriodSum &a, const PeriodSum &b) { return a.kind < b.kind; });
        return sums;
    }

private:
    // A row's eight texts one after the other in m_bytes from start, each
    // ending at its end.
    struct Held {
        qsizetype start;
        std::array<qsizetype, 8> ends;
        std::optional<qint64> hundredths;
    };

    PeriodRow rowOf(const Held &held) const
    {
        QByteArrayView texts[8];
        for (size_t t = 0; t < 8; ++t) {
            const qsizetype begin = t > 0 ? held.ends[t - 1] : held.start;
            texts[t] = QByteArrayView(m_bytes).sliced(begin, held.ends[t] - begin);
        }
        return {texts[0], texts[1], texts[2], texts[3], texts[4],
                texts[5], texts[6], texts[7], held.hundredths};
    }

    // The sum of a kind (few kinds, each looked up by its bytes).
    PeriodSum &sumOf(QByteArrayView kind)
    {
        for (auto &[utf8, sum] : m_kinds)
            if (utf8 == kind)
                return sum;
        m_kinds.emplace_back(kind.toByteArray(), PeriodSum{text(kind), 0, 0});
        return m_kinds.back().second;
    }

    PeriodTotals &m_totals;
    std::function<void(const PeriodRow &)> m_visit;
    QByteArray m_bytes;
    std::vector<Held> m_held;
    std::vector<PeriodRow> m_rows;
    Key m_key;
    std::vector<std::pair<QByteArray, PeriodSum>> m_kinds;
};

const char *chosen(const Store &store, const char *file, const char *server)
{
    return store.engine() == Engine::Server ? server : file;
}

bool ofKind(const Period &period)
{
    return !period.kind.trimmed().isEmpty();
}

// The first and last keys YYYYMMDD of the period, and its kind when one is chosen.
QVariantList periodValues(const Period &period)
{
    const auto key = [](QDate d) { return d.toString(u"yyyyMMdd"_s); };
    QVariantList values{key(period.from), key(period.to)};
    if (ofKind(period))
        values.append(period.kind.trimmed());
    return values;
}

} // namespace

PeriodLine PeriodRow::line() const
{
    PeriodLine l{text(number),  text(date),    text(kind), text(payer),
                 text(reference), text(purpose), QString(),  hundredths.has_value(),
                 hundredths.value_or(0)};
    l.amount = hundredths ? denars(*hundredths) : storedAmount(text(whole), text(decimals));
    return l;
}

DbResult<PeriodTotals> streamPeriod(Store &store, const Period &period,
                                    const std::function<void(const PeriodRow &)> &row)
{
    const QVariantList values = periodValues(period);
    const int from = dayOf(period.from), to = dayOf(period.to);
    PeriodTotals totals;
    RowsInOrder rows(totals, row);
    QByteArray purpose;
    auto read = store.readTogether([&]() -> DbStatus {
        auto apart = store.eachUtf8(
            ofKind(period)
                ? chosen(store, sql::period::file::apartOfKind, sql::period::server::apartOfKind)
                : chosen(store, sql::period::file::apart, sql::period::server::apart),
            values, [&totals](const Store::Utf8Row &stored) {
                const RowTexts texts(stored);
                if (dayOf(texts[1]) == 0)
                    totals.dateApart.append({text(texts[0]), text(texts[2]), text(texts[1])});
                return true;
            });
        if (!apart)
            return apart;
        return store.eachUtf8(
            ofKind(period)
                ? chosen(store, sql::period::file::linesOfKind, sql::period::server::linesOfKind)
                : chosen(store, sql::period::file::lines, sql::period::server::lines),
            values, [&](const Store::Utf8Row &stored) {
                const RowTexts texts(stored);
                // The statement gives the days of the period, as periodDate reads them.
                const int day = dayOf(texts[1]);
                if (day != 0 && day >= from && day <= to)
                    rows.add(rowFrom(texts, purpose), keyOf(day, texts[0]));
                return true;
            });
    });
    if (!read)
        return DbResult<PeriodTotals>::failure(read);
    rows.finish();
    totals.kinds = rows.kinds();
    std::stable_sort(totals.dateApart.begin(), totals.dateApart.end(),
                     [](const SetApart &a, const SetApart &b) {
                         const QByteArray na = a.number.toUtf8(), nb = b.number.toUtf8();
                         const Key ka = keyOf(0, na), kb = keyOf(0, nb);
                         return ka == kb ? a.number < b.number : ka < kb;
                     });
    return totals;
}

DbResult<PeriodTotals> listPeriod(Store &store, const Period &period,
                                  const std::function<void(const PeriodLine &)> &line)
{
    return streamPeriod(store, period, [&line](const PeriodRow &row) { line(row.line()); });
}

DbResult<int> periodLineCount(Store &store, const Period &period)
{
    int count = 0;
    auto read = store.eachUtf8(
        ofKind(period)
            ? chosen(store, sql::period::file::countOfKind, sql::period::server::countOfKind)
            : chosen(store, sql::period::file::count, sql::period::server::count),
        periodValues(period),
        [&count](const QByteArrayView *cells, int) { count = cells[0].toInt(); });
    if (!read)
        return DbResult<int>::failure(read);
    return count;
}

DbStatus eachPeriodLine(Store &store, const Period &period, int first, int count,
                        const std::function<void(const PeriodLine &)> &line)
{
    QVariantList values = periodValues(period);
    values << count << first;
    QByteArray purpose;
    return store.eachUtf8(
        ofKind(period)
            ? chosen(store, sql::period::file::pageOfKind, sql::period::server::pageOfKind)
            : chosen(store, sql::period::file::page, sql::period::server::page),
        values, [&](const Store::Utf8Row &stored) {
            line(rowFrom(RowTexts(stored), purpose).line());
            return true;
        });
}

} // namespace trelok
