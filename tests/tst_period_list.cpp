#include "app_fixture.h"

#include "data/installer.h"
#include "platform/fonts.h"
#include "platform/line_view.h"
#include "print/lista_period.h"
#include "print/period_csv.h"
#include "print/period_list.h"
#include "print/period_list_page.h"
#include "print/period_rows.h"
#include "shell/command_line.h"
#include "shell/headless_commands.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QSqlQuery>
#include <QTextBlock>
#include <QTextStream>

#include <tuple>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

// number, date, kind, whole denars, decimals
const char16_t *const orders[][5] = {
    {u"1/2026", u"28.02.2026", u"108", u"1 000", u"00"}, // the day before the period
    {u"2/2026", u"01.03.2026", u"108", u"1 234", u"50"}, // its first day
    {u"10/2026", u"15.03.2026", u"108", u"12abc", u"00"},
    {u"3/2026", u"15.03.2026", u"205", u"0,50", u""},
    {u"7/2026", u" 20.03.2026 ", u"108", u"2 000", u" 50 "},
    {u"4/2026", u"31.03.2026", u"205", u"", u"00"},  // its last day
    {u"5/2026", u"01.04.2026", u"108", u"7", u"00"}, // the day after
    {u"6/2026", u"1.3.2026", u"108", u"9", u"00"},   // no date of the form
};

void storeOrders(TestDb &db)
{
    for (const auto &o : orders) {
        QVariantList values;
        for (int i = 0; i < 28; ++i)
            values.append(QString());
        values[0] = QString::fromUtf16(o[0]);
        values[1] = u"Firma "_s + QString::fromUtf16(o[0]);
        values[6] = u"108-2026-1010"_s;
        values[7] = u"4030999123456"_s;
        values[8] = u"Carina"_s;
        values[13] = QString::fromUtf16(o[3]);
        values[14] = QString::fromUtf16(o[4]);
        values[24] = QString::fromUtf16(o[1]);
        values[26] = QString::fromUtf16(o[2]);
        db.exec(sql::trel::insert, values);
    }
    db.exec("UPDATE tbl_cnf SET nalog1='Primer DOOEL' WHERE trelok_br='0000000000'");
}

const Period march{QDate(2026, 3, 1), QDate(2026, 3, 31), {}};

QStringList numbers(const QList<PeriodLine> &lines)
{
    QStringList n;
    for (const PeriodLine &l : lines)
        n.append(l.number);
    return n;
}

QList<PeriodLine> listed(Store &store, const Period &period, PeriodTotals *totals = nullptr)
{
    QList<PeriodLine> lines;
    auto read = listPeriod(store, period, [&lines](const PeriodLine &l) { lines.append(l); });
    if (!read)
        qFatal("listPeriod: %s", qPrintable(read.error()));
    if (totals)
        *totals = read.value();
    return lines;
}

// The list as it was read before the database gave its order: the rows of
// one statement, put in order in memory by payment date, the year and
// sequence of a number "N/YYYY" (others after them), then the number's
// text; the order the list keeps.
using OldPlace = std::tuple<int, int, qint64>;

OldPlace oldPlace(const QString &date, const QString &number)
{
    const QDate d = periodDate(date);
    const int day = d.isValid() ? d.year() * 10000 + d.month() * 100 + d.day() : 0;
    const QRegularExpression plain(u"^([0-9]{1,15})/([0-9]{4})$"_s);
    const auto m = plain.match(number);
    if (!m.hasMatch())
        return {day, std::numeric_limits<int>::max(), 0};
    return {day, m.captured(2).toInt(), m.captured(1).toLongLong()};
}

bool oldBefore(const PeriodLine &a, const PeriodLine &b)
{
    const OldPlace pa = oldPlace(a.date, a.number), pb = oldPlace(b.date, b.number);
    return pa != pb ? pa < pb : a.number < b.number;
}

QList<PeriodLine> oldListing(Store &store, const Period &period, PeriodTotals &totals)
{
    QByteArray statement =
        "SELECT trelok_br,datum,vid,nalog1,povik,cel1,cel2,mkd_cel,mkd_dec FROM tbl_trel WHERE "
        "(substr(trim(datum),7,4)||substr(trim(datum),4,2)||substr(trim(datum),1,2) BETWEEN ? "
        "AND ? OR datum IS NULL OR length(trim(datum)) <> 10 OR substr(trim(datum),3,1) <> '.' "
        "OR substr(trim(datum),6,1) <> '.')";
    QVariantList values{period.from.toString(u"yyyyMMdd"_s), period.to.toString(u"yyyyMMdd"_s)};
    if (!period.kind.isEmpty()) {
        statement += " AND trim(vid) = ?";
        values.append(period.kind);
    }
    auto rows = store.texts(statement.constData(), values);
    if (!rows)
        qFatal("old statement: %s", qPrintable(rows.error()));
    QList<PeriodLine> lines;
    for (QStringList row : rows.value()) {
        for (QString &text : row)
            text = text.trimmed();
        const QDate date = periodDate(row[1]);
        if (!date.isValid())
            totals.dateApart.append({row[0], row[2], row[1]});
        if (!date.isValid() || date < period.from || date > period.to)
            continue;
        const auto amount = orderHundredths(row[7], row[8]);
        const QString purpose = row[6].isEmpty()   ? row[5]
                                : row[5].isEmpty() ? row[6]
                                                   : row[5] + u' ' + row[6];
        lines.append({row[0], row[1], row[2], row[3], row[4], purpose,
                      amount ? denars(*amount) : storedAmount(row[7], row[8]), amount.has_value(),
                      amount.value_or(0)});
    }
    std::stable_sort(lines.begin(), lines.end(), oldBefore);
    std::stable_sort(totals.dateApart.begin(), totals.dateApart.end(),
                     [](const SetApart &a, const SetApart &b) {
                         return std::tuple(oldPlace({}, a.number), a.number) <
                                std::tuple(oldPlace({}, b.number), b.number);
                     });
    std::map<QString, PeriodSum> kinds;
    for (const PeriodLine &l : lines) {
        if (!l.summed) {
            totals.amountApart.append({l.number, l.kind, l.amount});
            continue;
        }
        for (PeriodSum *sum : {&kinds[l.kind], &totals.all}) {
            ++sum->count;
            sum->hundredths += l.hundredths;
        }
        kinds[l.kind].kind = l.kind;
    }
    for (const auto &[code, sum] : kinds)
        totals.kinds.append(sum);
    return lines;
}

// A few hundred orders of odd numbers, dates and amounts, in no order.
void storeOddOrders(TestDb &db)
{
    const QStringList dates{u"01.03.2026"_s,   u"15.03.2026"_s,
                            u"31.03.2026"_s,   u" 15.03.2026 "_s,
                            u"15.03.2026\t"_s, u"\u00a015.03.2026"_s,
                            u"29.02.2026"_s,   u"29.02.2024"_s,
                            u"31.04.2026"_s,   u"00.03.2026"_s,
                            u"15.13.2026"_s,   u"15.03.0000"_s,   u"15.03.0000\t"_s,
                            u"1.3.2026"_s,     u""_s,
                            u"   "_s,          u"15-03-2026"_s,
                            u"3a.03.2026"_s,   u"15.03.2026x"_s,
                            u"28.02.2026"_s,   u"01.04.2026"_s,
                            u"31.12.2025"_s,   u"29.02.2000"_s,
                            u"29.02.1900"_s,   u"15.03.2026\u3000"_s};
    const QStringList wholes{u"1 234"_s, u"7"_s,  u"0,5"_s,  u"12abc"_s, u""_s,
                             u" 99 "_s,  u"-5"_s, u"1,50"_s, u"15.7"_s,  u"1234567890123"_s};
    const QStringList kinds{u"108"_s, u"205"_s, u" 205 "_s, u"GAR"_s};
    QStringList numbers{u"x"_s,
                        u""_s,
                        u"1 2/2026"_s,
                        u"12a/2026"_s,
                        u"7/26"_s,
                        u"3/2026/1"_s,
                        u"\u00a05/2026"_s,
                        u"0000000000000001/2026"_s,
                        u"\U0001D7D8/2026"_s,
                        u"\uE000/2026"_s,
                        u"Ж1/2026"_s,
                        u" 9/2025 "_s,
                        u"0000000000000009/2024"_s,
                        u"10/2024"_s,
                        u"8/2025"_s};
    QRandomGenerator random(20260315);
    QSet<QString> trimmed;
    for (const QString &number : numbers)
        trimmed.insert(number.trimmed());
    while (numbers.size() < 300) {
        const QString number = u"%1%2/%3"_s.arg(random.bounded(4) ? u""_s : u"0"_s)
                                   .arg(1 + random.bounded(random.bounded(2) ? 99 : 99999))
                                   .arg(2024 + random.bounded(3));
        if (!trimmed.contains(number))
            trimmed.insert(number), numbers.append(number);
    }
    QList<QVariantList> rows;
    for (int i = 0; i < numbers.size(); ++i) {
        QVariantList values(28, QString());
        values[0] = numbers[i];
        values[3] = u"Firma %1"_s.arg(i);
        values[6] = u" 108-2026-%1 "_s.arg(i);
        values[7] = i % 3 ? u"Carina"_s : QString();
        values[8] = i % 5 ? u"za uvoz"_s : QString();
        values[13] = wholes[random.bounded(wholes.size())];
        values[14] = i % 4 ? u"50"_s : u"00"_s;
        // The unusual numbers on one day, three more on no day, the others on any.
        values[24] = i < 12   ? u"15.03.2026"_s
                     : i < 15 ? u"1.3.2026"_s
                              : dates[random.bounded(dates.size())];
        values[26] = kinds[random.bounded(kinds.size())];
        rows.append(values);
    }
    QVERIFY(db.store.transaction([&] { return db.store.execEach(sql::trel::insert, rows); }));
    db.execDirect("UPDATE tbl_trel SET datum=NULL WHERE trelok_br='1 2/2026'");
    // Bytes that are not UTF-8, in a file written by another program.
    if (testEngine() == Engine::File)
        db.execDirect("UPDATE tbl_trel SET nalog1=CAST(x'41c080eda080' AS TEXT),cel2=CAST(x'ff20' AS "
                      "TEXT),mkd_cel=CAST(x'3132ff' AS TEXT) WHERE rowid % 7 = 0");
}

// With TRELOK_SHOT_DIR set, a window is also kept there as a picture to
// look at.
void keepPicture(QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("TRELOK_SHOT_DIR");
    if (!dir.isEmpty())
        window->grab().save(dir + u"/"_s + name + u".png"_s);
}

QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

} // namespace

class TestPeriodList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { engineRows(); }
    void init() { USE_ENGINE_OF_ROW(); }

    void amounts_data()
    {
        QTest::addColumn<QString>("whole");
        QTest::addColumn<QString>("decimals");
        QTest::addColumn<qint64>("hundredths"); // -1: set apart
        QTest::addColumn<QString>("stored");    // as a set-apart order shows it
        QTest::newRow("grouped") << u"1 234"_s << u"50"_s << qint64(123450) << QString();
        QTest::newRow("blanks around") << u" 7 "_s << u" 50 "_s << qint64(750) << QString();
        QTest::newRow("decimal comma") << u"0,50"_s << u""_s << qint64(50) << QString();
        QTest::newRow("one decimal digit") << u"0,5"_s << u"00"_s << qint64(50) << QString();
        QTest::newRow("no decimals") << u"99"_s << u""_s << qint64(9900) << QString();
        QTest::newRow("letters") << u"12abc"_s << u"00"_s << qint64(-1) << u"12abc"_s;
        QTest::newRow("empty") << u""_s << u"00"_s << qint64(-1) << u""_s;
        QTest::newRow("two decimal parts") << u"1,50"_s << u"50"_s << qint64(-1) << u"1,50,50"_s;
        QTest::newRow("point") << u"15.7"_s << u"00"_s << qint64(-1) << u"15.7"_s;
        QTest::newRow("sign") << u"-5"_s << u"00"_s << qint64(-1) << QString();
        QTest::newRow("three decimals") << u"5"_s << u"500"_s << qint64(-1) << u"5,500"_s;
        QTest::newRow("too many digits") << u"1234567890123"_s << u""_s << qint64(-1) << QString();
    }
    void amounts()
    {
        QFETCH(QString, whole);
        QFETCH(QString, decimals);
        QFETCH(qint64, hundredths);
        QFETCH(QString, stored);
        QCOMPARE(orderHundredths(whole, decimals).value_or(-1), hundredths);
        if (!stored.isNull())
            QCOMPARE(storedAmount(whole, decimals), stored);
    }

    void denarsAreWritten()
    {
        QCOMPARE(denars(0), u"0,00"_s);
        QCOMPARE(denars(50), u"0,50"_s);
        QCOMPARE(denars(123456789), u"1 234 567,89"_s);
    }

    void listAndTotals_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("totals");
        QTest::newRow("every kind")
            << QString() << QStringList{u"2/2026"_s, u"3/2026"_s, u"10/2026"_s, u"7/2026"_s, u"4/2026"_s}
            << QStringList{u"Izdvoeni treloci: 2 ne se sobrani, 1 ne se vo listata"_s,
                           u"Vkupno za vid 108: 2 treloci, 3 235,00 den."_s,
                           u"Vkupno za vid 205: 1 treloci, 0,50 den."_s,
                           u"VKUPNO: 3 treloci, 3 235,50 den."_s,
                           u"Ne se sobrani, iznosot ne e samo cifri (2):"_s,
                           u"    10/2026 (vid 108): \"12abc\""_s,
                           u"    4/2026 (vid 205): \"\""_s,
                           u"Ne se vo listata, datumot ne e DD.MM.GGGG (1):"_s,
                           u"    6/2026 (vid 108): \"1.3.2026\""_s};
        QTest::newRow("one kind")
            << u" 205"_s << QStringList{u"3/2026"_s, u"4/2026"_s}
            << QStringList{u"Izdvoeni treloci: 1 ne se sobrani, 0 ne se vo listata"_s,
                           u"Vkupno za vid 205: 1 treloci, 0,50 den."_s,
                           u"VKUPNO: 1 treloci, 0,50 den."_s,
                           u"Ne se sobrani, iznosot ne e samo cifri (1):"_s,
                           u"    4/2026 (vid 205): \"\""_s};
    }
    void listAndTotals()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, totals);
        TestDb db;
        storeOrders(db);
        Period period = march;
        period.kind = kind;
        PeriodTotals read;
        QCOMPARE(numbers(::listed(db.store, period, &read)), listed);
        QCOMPARE(totalsText(read), totals);
        QCOMPARE(readPeriodHeading(db.store, period).value().company, u"Primer DOOEL"_s);
    }

    // The list read in the database's order is the list sorted in memory,
    // line for line, with the same totals and orders set apart; the
    // window's pages give the same lines.
    void streamedAsSortedInMemory_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("kind");
        QTest::newRow("a month") << QDate(2026, 3, 1) << QDate(2026, 3, 31) << QString();
        QTest::newRow("one day") << QDate(2026, 3, 15) << QDate(2026, 3, 15) << QString();
        QTest::newRow("a month of one kind") << QDate(2026, 3, 1) << QDate(2026, 3, 31) << u"205"_s;
        QTest::newRow("years") << QDate(2024, 1, 1) << QDate(2026, 12, 31) << QString();
        QTest::newRow("two centuries") << QDate(1900, 1, 1) << QDate(2099, 12, 31) << QString();
    }
    void streamedAsSortedInMemory()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, kind);
        TestDb db;
        storeOddOrders(db);
        const Period period{from, to, kind};
        PeriodTotals expectedTotals, totals;
        const QList<PeriodLine> expected = oldListing(db.store, period, expectedTotals);
        const QList<PeriodLine> lines = listed(db.store, period, &totals);
        QVERIFY(expected.size() >= 12);
        const auto fields = [](const QList<PeriodLine> &all) {
            QList<QStringList> f;
            for (const PeriodLine &l : all)
                f.append({l.number, l.date, l.kind, l.payer, l.reference, l.purpose, l.amount,
                          QString::number(l.summed), QString::number(l.hundredths)});
            return f;
        };
        QCOMPARE(fields(lines), fields(expected));
        QCOMPARE(totalsText(totals), totalsText(expectedTotals));
        // The pages give a text past U+FFFF after one from U+E000, by code point.
        QList<PeriodLine> byCodePoint = expected;
        std::stable_sort(byCodePoint.begin(), byCodePoint.end(),
                         [](const PeriodLine &a, const PeriodLine &b) {
                             return std::tuple(oldPlace(a.date, a.number), a.number.toUcs4()) <
                                    std::tuple(oldPlace(b.date, b.number), b.number.toUcs4());
                         });
        QCOMPARE(periodLineCount(db.store, period).value(), expected.size());
        QList<PeriodLine> paged;
        for (int first = 0; first < expected.size() + 7; first += 7)
            QVERIFY(eachPeriodLine(db.store, period, first, 7,
                                   [&paged](const PeriodLine &l) { paged.append(l); }));
        QCOMPARE(fields(paged), fields(byCodePoint));
    }

    // The database reads the lines in their order through its index: no
    // sort of whole rows.
    void listReadThroughItsIndex()
    {
        TestDb db;
        if (testEngine() == Engine::File) {
            for (const char *statement :
                 {sql::period::file::lines, sql::period::file::linesOfKind, sql::period::file::page,
                  sql::period::file::apart, sql::period::file::count}) {
                const QByteArray explain = QByteArray("EXPLAIN QUERY PLAN ") + statement;
                const auto plan = db.store.texts(explain.constData());
                QVERIFY(plan && plan.value().size() == 1);
                QVERIFY2(plan.value().first().last().startsWith(
                             u"SEARCH tbl_trel USING INDEX idx_trel_period ("_s),
                         qPrintable(plan.value().first().last()));
            }
            return;
        }
        db.execDirect("SET enable_sort = off");
        for (const char *statement : {sql::period::server::lines, sql::period::server::page}) {
            QString explained = u"EXPLAIN "_s + QString::fromLatin1(statement);
            for (const QString &value : {u"'20260101'"_s, u"'20261231'"_s, u"10"_s, u"0"_s})
                explained.replace(explained.indexOf(u'?'), 1, value);
            QSqlQuery plan(QSqlDatabase::database(db.store.connectionName(), false));
            QVERIFY(plan.exec(explained));
            QString text;
            while (plan.next())
                text += plan.value(0).toString() + u'\n';
            QVERIFY2(text.contains(u"Index Scan using idx_trel_period on tbl_trel"_s) &&
                         !text.contains(u"Sort"_s),
                     qPrintable(text));
        }
    }

    // A database installed before the lists' indexes gets them when the
    // program opens it.
    void existingDatabaseGetsTheIndex()
    {
        TestDb db;
        QStringList names{u"idx_trel_period"_s, u"idx_trel_newest"_s, u"idx_trel_export"_s,
                          u"idx_obvr_by_cod"_s, u"idx_obvr_by_tlx"_s};
        if (db.server)
            names.append(u"idx_obvr_ties"_s);
        for (const QString &name : names)
            db.execDirect(("DROP INDEX " + name.toLatin1()).constData());
        const auto indexed = [&names](Store &store) {
            const char *has = store.engine() == Engine::Server ? sql::period::server::hasIndex
                                                               : sql::period::file::hasIndex;
            return std::all_of(names.cbegin(), names.cend(), [&](const QString &name) {
                return store.first(has, {name}).value().has_value();
            });
        };
        QVERIFY(!indexed(db.store));
        Store opened;
        QVERIFY(
            openApplicationDatabase(opened, db.dir.path(), db.server ? db.server->url : QString()));
        QVERIFY(indexed(opened));
    }

    // Reads done together see the database as of one moment: an order
    // another program stores meanwhile is not seen (on the file it waits
    // until they end).
    void readsTogetherSeeOneMoment()
    {
        TestDb db;
        storeOrders(db);
        Store other;
        QVERIFY(db.server ? other.openServer(db.server->url, databasePath(db.dir.path()))
                          : other.open(databasePath(db.dir.path())));
        if (!db.server)
            QVERIFY(other.exec("PRAGMA busy_timeout=50"));
        QVariantList order(28, QString());
        order[0] = u"99/2026"_s;
        order[24] = u"10.03.2026"_s;
        QList<int> counts;
        QVERIFY(db.store.readTogether([&]() -> DbStatus {
            counts.append(periodLineCount(db.store, march).value());
            (void)other.exec(sql::trel::insert, order);
            counts.append(periodLineCount(db.store, march).value());
            return succeeded();
        }));
        QCOMPARE(counts[0], counts[1]);
    }

    void csvBytes()
    {
        TestDb db;
        storeOrders(db);
        Period period = march;
        period.from = QDate(2026, 3, 15);
        const QString file = db.dir.filePath(u"lista.csv"_s);
        QCOMPARE(writePeriodCsv(db.store, period, file, db.dir.path()).value(), QString());
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(),
                 QByteArray("Broj,Datum,Vid,Nalogodavac,Povikuvanje na broj,Cel na doznaka,Iznos\r\n"
                            "3/2026,15.03.2026,205,Firma 3/2026,108-2026-1010,4030999123456 Carina,0.50\r\n"
                            "10/2026,15.03.2026,108,Firma 10/2026,108-2026-1010,4030999123456 Carina,12abc (ne e sobran)\r\n"
                            "7/2026,20.03.2026,108,Firma 7/2026,108-2026-1010,4030999123456 Carina,2000.50\r\n"
                            "4/2026,31.03.2026,205,Firma 4/2026,108-2026-1010,4030999123456 Carina,"
                            "\"(prazen, ne e sobran)\"\r\n"
                            "Vkupno,,108,1,,,2000.50\r\n"
                            "Vkupno,,205,1,,,0.50\r\n"
                            "Vkupno,,,2,,,2001.00\r\n"
                            "Ne se sobrani,,,2,,,\r\n"
                            "Ne se vo listata,,,1,,,\r\n"
                            "Ne e sobran,,108,10/2026,,,12abc\r\n"
                            "Ne e sobran,,205,4/2026,,,\r\n"
                            "Datumot ne se cita,1.3.2026,108,6/2026,,,\r\n"));
    }

    void pdfPagesCarryHeaderNumbersAndTotals()
    {
        REQUIRE_PDF_TOOLS();
        TestDb db;
        QVERIFY(registerApplicationFonts(db.dir.path()) == 4);
        PeriodPages list({march, u"Primer DOOEL"_s, QString()});
        for (int i = 1; i <= 70; ++i)
            list.add({u"%1/2026"_s.arg(i), u"02.03.2026"_s, u"108"_s, u"Firma"_s, u"108-2026"_s,
                      u"Carina"_s, u"1,00"_s, true, 100});
        list.add({u"71/2026"_s, u"02.03.2026"_s, u"108"_s, u"Firma"_s, u"108-2026"_s, u"Carina"_s,
                  u"1234567890123"_s});
        PeriodTotals totals;
        totals.all = {QString(), 70, 7000};
        totals.amountApart = {{u"71/2026"_s, u"108"_s, u"1234567890123"_s}};
        list.finish(totals);
        QCOMPARE(periodPageCount(list), 2);
        const QString file = db.dir.filePath(u"lista.pdf"_s);
        QCOMPARE(writePeriodPdf(list, file, db.dir.path()), QString());
        const QString text = pdfText(file);
        QCOMPARE(text.count(u"Primer DOOEL"_s), 2);
        QCOMPARE(text.count(u"Lista na Treloci za Period 01.03.2026 - 31.03.2026"_s), 2);
        QVERIFY2(text.contains(u"Strana 1 / 2"_s) && text.contains(u"Strana 2 / 2"_s),
                 qPrintable(text));
        QVERIFY(text.indexOf(u"VKUPNO: 70 treloci, 70,00 den."_s) > text.indexOf(u"Strana 1 / 2"_s));
        // Every line, the last of the full first page among them.
        QSet<QString> drawn;
        for (const auto &number : QRegularExpression(u"\\b(\\d+)/2026\\b"_s).globalMatch(text))
            drawn.insert(number.captured(1));
        QCOMPARE(drawn.size(), 71);
        // A stored amount too long for its column keeps its end and its mark.
        QVERIFY2(text.contains(u"90123 (ne e sobran)"_s), qPrintable(text));
        QVERIFY(text.contains(u"Izdvoeni treloci: 1 ne se sobrani, 0 ne se vo listata"_s));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        const QString from = u"01.03.2026"_s, to = u"31.03.2026"_s;
        QTest::newRow("csv") << QStringList{u"--list"_s, from, to, u"--csv"_s, u"DIR/l.csv"_s}
                             << 0 << QString();
        QTest::newRow("pdf of a kind")
            << QStringList{u"--list"_s, from, to, u"--kind"_s, u"205"_s, u"--pdf"_s, u"DIR/l.pdf"_s}
            << 0 << QString();
        QTest::newRow("no date")
            << QStringList{u"--list"_s, u"32.03.2026"_s, to, u"--csv"_s, u"DIR/l.csv"_s} << 2
            << u"trelok: Pogresen datum: 32.03.2026 (datumot se pisuva DD.MM.GGGG)\n"_s;
        QTest::newRow("dates the wrong way")
            << QStringList{u"--list"_s, to, from, u"--csv"_s, u"DIR/l.csv"_s} << 2
            << u"trelok: Pocetniot datum 31.03.2026 e posle krajniot 01.03.2026\n"_s;
        QTest::newRow("no file") << QStringList{u"--list"_s, from, to} << 2
                                 << u"trelok: So --list odi tocno edna od opciite --pdf FILE i "
                                    "--csv FILE\n"_s;
        QTest::newRow("two files")
            << QStringList{u"--list"_s, from, to, u"--csv"_s, u"DIR/l.csv"_s, u"--pdf"_s,
                           u"DIR/l.pdf"_s}
            << 2 << u"trelok: So --list odi tocno edna od opciite --pdf FILE i --csv FILE\n"_s;
        QTest::newRow("unknown kind")
            << QStringList{u"--list"_s, from, to, u"--kind"_s, u"XYZ"_s, u"--csv"_s, u"DIR/l.csv"_s}
            << 2 << u"trelok: Nepoznat vid na uplata: XYZ\n"_s;
        QTest::newRow("into a directory")
            << QStringList{u"--list"_s, from, to, u"--csv"_s, u"DIR"_s} << 1
            << u"trelok: DIR e direktorium, ne datoteka za CSV\n"_s;
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, err);
        TestDb db;
        storeOrders(db);
        const QString dir = db.dir.path();
        arguments.replaceInStrings(u"DIR"_s, dir);
        const CommandLine line =
            parseCommandLine(QStringList{u"trelok"_s, u"--dir"_s, dir} + arguments);
        QCOMPARE(line.use, CommandLine::Use::Headless);
        QString out, errors;
        QTextStream outStream(&out), errStream(&errors);
        ListedPrinters printers;
        HeadlessRun run{db.store, line, dir, outStream, errStream, printers};
        QCOMPARE(line.command->run(run), status);
        QCOMPARE(errors, QString(err).replace(u"DIR"_s, dir));
        const QString written = arguments.last();
        QCOMPARE(QFileInfo(written).isFile(), status == 0);
    }

    void windowListsPrintsAndSaves()
    {
        AppFixture app;
        storeOrders(app.db);
        app.context.state.def_prn = u"Laser"_s;
        app.printers.names = {u"Laser"_s};
        lista_period window(app.context);
        QVERIFY(window.Form_Load());
        // Every control has a name to speak and a place in the tab order.
        for (QWidget *control : window.findChildren<QWidget *>())
            if (control->focusPolicy() & Qt::TabFocus && control->parent() == &window)
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        auto *from = window.findChild<QLineEdit *>(u"dat_od"_s);
        QCOMPARE(from->text(), u"01.12.2026"_s); // the current month
        QStringList tabOrder;
        for (QWidget *w = from; tabOrder.size() < 10; w = w->nextInFocusChain())
            if (w->parent() == &window && w->focusPolicy() & Qt::TabFocus)
                tabOrder.append(w->objectName());
        QCOMPARE(tabOrder, (QStringList{u"dat_od"_s, u"dat_do"_s, u"vid"_s, u"Command1"_s,
                                        u"ListView1"_s, u"vkupno"_s, u"Command2"_s, u"Command3"_s,
                                        u"Command4"_s, u"Command5"_s}));
        from->setText(u"01.03.2026"_s);
        window.findChild<QLineEdit *>(u"dat_do"_s)->setText(u"31.03.2026"_s);
        // Shown as the user has it: a shown view lays itself out over the
        // lines up to the window's end.
        registerApplicationFonts(app.db.dir.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Command1_Click();
        // Amounts not summed are marked, in a column wide enough for them
        // (with room for the item's margins).
        auto *view = window.findChild<LineView *>(u"ListView1"_s);
        QCOMPARE(view->model()->index(2, 6).data().toString(), u"12abc (ne e sobran)"_s);
        QCOMPARE(view->model()->index(4, 6).data().toString(), u"(prazen, ne e sobran)"_s);
        QVERIFY(view->fontMetrics().horizontalAdvance(u"(prazen, ne e sobran)"_s) + 10 <=
                view->columnWidth(6));
        // Of every kind the totals run below the box's fold; the count of the
        // orders set apart is its top line.
        auto *totals = window.findChild<QPlainTextEdit *>(u"vkupno"_s);
        QVERIFY(totals->verticalScrollBar()->maximum() > 0);
        QCOMPARE(totals->cursorForPosition(QPoint(2, 2)).block().text(),
                 u"Izdvoeni treloci: 2 ne se sobrani, 1 ne se vo listata"_s);
        keepPicture(&window, u"lista_period"_s);
        auto *kind = window.findChild<QComboBox *>(u"vid"_s);
        kind->setCurrentIndex(kind->findData(u"205"_s));
        window.Command1_Click();
        QCOMPARE(view->model()->rowCount(), 2);
        QVERIFY(window.findChild<QPlainTextEdit *>(u"vkupno"_s)->toPlainText().contains(
            u"VKUPNO: 1 treloci, 0,50 den."_s));
        QStringList printed;
        window.setListPrinter([&printed](const QString &printer, PeriodPages &pages) {
            QStringList numbers;
            for (const QStringList &line : pages.lines(0, pages.lineCount()))
                numbers.append(line.first());
            printed << printer + u": "_s + numbers.join(u' ');
            return QString();
        });
        window.Command2_Click();
        QCOMPARE(printed, QStringList{u"Laser: 3/2026 4/2026"_s});
        const QString csv = app.db.dir.filePath(u"w.csv"_s);
        window.setFileChooser([&csv](QWidget *, const QString &, const QString &suggested,
                                     const QString &) {
            return suggested == u"lista-20260301-20260331.csv"_s ? csv : QString();
        });
        window.Command4_Click();
        const QString command = app.db.dir.filePath(u"c.csv"_s);
        QCOMPARE(writePeriodCsv(app.db.store, window.shown(), command, app.db.dir.path()).value(),
                 QString());
        QCOMPARE(digest(csv), digest(command));
        // "Snimi CSV" onto the database is refused, the database as it was.
        const QString db = app.db.store.path();
        const QByteArray before = digest(db);
        window.setFileChooser([&db](QWidget *, const QString &, const QString &, const QString &) {
            return db;
        });
        window.Command4_Click();
        QVERIFY(app.prompter.shown.last().contains(u"e datoteka na programata"_s));
        QCOMPARE(digest(db), before);
        from->setText(u"1.3.2026"_s);
        window.Command1_Click();
        QCOMPARE(app.prompter.shown.last(), u"Vnesi go datumot vo oblik DD.MM.GGGG !"_s);
        from->setText(u"31.03.2026"_s);
        window.findChild<QLineEdit *>(u"dat_do"_s)->setText(u"01.03.2026"_s);
        window.Command1_Click();
        QCOMPARE(app.prompter.shown.last(), u"Datumot DO e pred datumot OD !"_s);
    }
};

QTEST_MAIN(TestPeriodList)
#include "tst_period_list.moc"
