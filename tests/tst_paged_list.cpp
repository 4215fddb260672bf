#include "test_db.h"

#include "data/statements.h"
#include "entry/order_list_model.h"
#include "refdata/taxpayer_pages.h"

#include <QSignalSpy>

#include <memory>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

// Rows from to to of the chooser's table (the order n/2026) or of the
// register (the tax number 4030999000000 + n), with text in a column the
// search looks at.
void insertRows(TestDb &db, bool orders, int from, int to, const QString &text)
{
    QList<QVariantList> rows;
    for (int n = from; n <= to; ++n) {
        if (orders) {
            rows.append(QVariantList(28, QString()));
            rows.last()[0] = u"%1/2026"_s.arg(n);
            rows.last()[7] = text;
        } else {
            rows.append({QString::number(4030999000000LL + n), text});
        }
    }
    const char *insert = orders ? sql::trel::insert
                                : "INSERT INTO tbl_obvr (dec_cod, dec_nam, dec_ad3, dec_tlx) "
                                  "VALUES (?, ?, '', '')";
    QVERIFY(db.store.transaction([&] { return db.store.execEach(insert, rows); }).ok());
}

// The first column of a line when the table holds rows rows: the chooser
// lists the newest order first, the register by tax number.
QString firstColumn(bool orders, int rows, int line)
{
    return orders ? u"%1/2026"_s.arg(rows - line) : QString::number(4030999000000LL + line + 1);
}

std::unique_ptr<PagedListModel> filledList(TestDb &db, bool orders, int rows)
{
    insertRows(db, orders, 1, rows, u"Ime"_s);
    if (orders)
        return std::make_unique<OrderListModel>(db.store);
    return std::make_unique<TaxpayerPages>(db.store);
}

// Every cell of every line shown, a line a text.
QStringList linesOf(const QAbstractItemModel &model)
{
    QStringList lines;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells << model.index(r, c).data().toString();
        lines << cells.join(u'|');
    }
    return lines;
}

// Rows whose keys are alike in all but the last or in all: numbers alike
// once trimmed or without their zeros, without a year, Null; taxpayers
// of one name or city in other cases, without a tax number, the same row
// twice (a register from before the unique index).
void insertAlikeRows(TestDb &db, bool orders, int rows)
{
    QList<QVariantList> values;
    for (int n = 1; n <= rows; ++n) {
        const QString text = n % 3 ? u"Ime %1"_s.arg(n % 10) : u"Prezime"_s;
        if (orders) {
            const int seq = n / 4;
            const QString number[] = {u"%1/2026"_s.arg(seq), u" %1/2026"_s.arg(seq),
                                      u"0%1/2026"_s.arg(seq), u"%1"_s.arg(seq)};
            values.append(QVariantList(28, QString()));
            // Orders without a number are alike in every key: the server
            // lists them in any order, so they show the same.
            values.last()[0] = n % 97 == 0 ? QVariant() : QVariant(number[n % 4]);
            values.last()[7] = n % 97 == 0 ? u"Prezime"_s : text;
        } else {
            const QVariant code = n % 89 == 0 ? QVariant() : QVariant(QString::number(n / 2));
            const QString names[] = {u"Alfa"_s, u"alfa"_s, u"Beta"_s};
            const QVariant cities[] = {u"Skopje"_s, u"skopje"_s, QVariant(), u"Bitola"_s};
            values.append({code, names[n % 3], text, cities[n % 4]});
        }
    }
    if (!orders)
        db.execDirect(sql::obvr::dropIndex);
    const char *insert = orders ? sql::trel::insert
                                : "INSERT INTO tbl_obvr (dec_cod, dec_nam, dec_ad3, dec_tlx) "
                                  "VALUES (?, ?, ?, ?)";
    QVERIFY(db.store.transaction([&] { return db.store.execEach(insert, values); }).ok());
}

} // namespace

class TestPagedList : public QObject {
    Q_OBJECT
private slots:
    // Every case runs on the SQLite file and on the PostgreSQL server.
    void initTestCase_data() { engineRows(); }
    void init() { USE_ENGINE_OF_ROW(); }

    void bothLists_data()
    {
        QTest::addColumn<bool>("orders");
        QTest::addColumn<QByteArray>("table");
        QTest::newRow("order chooser") << true << QByteArray("tbl_trel");
        QTest::newRow("taxpayer register") << false << QByteArray("tbl_obvr");
    }

    // A page the view cannot read shows empty cells and is told once; no
    // page is read again until the failure is taken, then it is.
    void aPageNotReadIsToldOnce_data() { bothLists_data(); }
    void aPageNotReadIsToldOnce()
    {
        QFETCH(bool, orders);
        QFETCH(QByteArray, table);
        TestDb db;
        const auto list = filledList(db, orders, 600);
        QVERIFY(list->load().ok());
        QSignalSpy told(list.get(), &PagedListModel::readFailed);
        QCOMPARE(list->index(0, 0).data().toString(), firstColumn(orders, 600, 0));
        db.execDirect(QByteArray("ALTER TABLE " + table + " RENAME TO away").constData());
        QCOMPARE(list->index(300, 0).data().toString(), QString());
        QCOMPARE(list->index(550, 0).data().toString(), QString());
        QCOMPARE(told.count(), 1);
        QCOMPARE(list->index(1, 0).data().toString(), firstColumn(orders, 600, 1));
        db.execDirect(QByteArray("ALTER TABLE away RENAME TO " + table).constData());
        QCOMPARE(list->index(300, 0).data().toString(), QString());
        const auto failure = list->takeFailure();
        QVERIFY(failure && failure->error().contains(QString::fromLatin1(table)));
        QVERIFY(!list->takeFailure());
        QCOMPARE(list->index(300, 0).data().toString(), firstColumn(orders, 600, 300));
        QCOMPARE(told.count(), 1);
    }

    // The lines read on from where the last part stopped are those the
    // pages give by position, in the same order, keys alike or Null
    // included; a search typed before they are read shows what it finds in
    // them as they come, the same as searching them all.
    void readingOnAsByPosition_data()
    {
        QTest::addColumn<bool>("orders");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("search");
        QTest::newRow("order chooser") << true << QList<int>{} << QString();
        QTest::newRow("order chooser, searched") << true << QList<int>{} << u"ime 3"_s;
        QTest::newRow("register") << false << QList<int>{} << QString();
        QTest::newRow("register by city, then name") << false << QList<int>{1, 3} << QString();
        QTest::newRow("register by name, searched") << false << QList<int>{1} << u"BETA"_s;
    }
    void readingOnAsByPosition()
    {
        QFETCH(bool, orders);
        QFETCH(QList<int>, clicks);
        QFETCH(QString, search);
        TestDb db;
        insertAlikeRows(db, orders, 5000);
        std::unique_ptr<PagedListModel> lists[2];
        for (auto &list : lists) {
            list = filledList(db, orders, 0);
            QVERIFY(list->load().ok());
            for (int column : clicks)
                QVERIFY(static_cast<TaxpayerPages &>(*list).sortByColumn(column).ok());
        }
        const auto &byPosition = lists[0];
        const auto &readOn = lists[1];
        QStringList expected = linesOf(*byPosition);
        QCOMPARE(expected.size(), 5000);
        if (!search.isEmpty())
            expected = expected.filter(search, Qt::CaseInsensitive);

        QSignalSpy added(readOn.get(), &QAbstractItemModel::rowsInserted);
        QVERIFY(readOn->search(search).ok());
        const int first = readOn->rowCount();
        while (!readOn->allRead())
            if (auto part = readOn->readMore(97); !part)
                QFAIL(qPrintable(part.error()));
        QCOMPARE(linesOf(*readOn), expected);
        if (!search.isEmpty()) {
            QVERIFY(first < expected.size());
            QVERIFY(added.count() > 1);
        }
    }

    // Loading again (after another clerk stored a row) keeps the search and
    // shows the rows it finds now.
    void loadingAgainKeepsTheSearch_data() { bothLists_data(); }
    void loadingAgainKeepsTheSearch()
    {
        QFETCH(bool, orders);
        TestDb db;
        const auto list = filledList(db, orders, 300);
        QVERIFY(list->load().ok());
        QVERIFY(list->search(u"NOV"_s).ok());
        QCOMPARE(list->rowCount(), 0);
        insertRows(db, orders, 301, 301, u"Nov red"_s);
        QVERIFY(list->load().ok());
        QCOMPARE(list->rowCount(), 1);
        QCOMPARE(list->index(0, 0).data().toString(), firstColumn(orders, 301, orders ? 0 : 300));
        QVERIFY(list->search(QString()).ok());
        QCOMPARE(list->rowCount(), 301);
    }
};

QTEST_GUILESS_MAIN(TestPagedList)
#include "tst_paged_list.moc"
