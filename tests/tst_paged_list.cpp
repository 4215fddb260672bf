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
