#include "test_db.h"

#include "data/counter.h"
#include "data/installer.h"
#include "data/statements.h"
#include "data/store.h"

using namespace Qt::StringLiterals;
using namespace trelok;

class TestCounter : public QObject {
    Q_OBJECT
private slots:
    // Every case runs on the SQLite file and on the PostgreSQL server.
    void initTestCase_data() { engineRows(); }
    void init() { USE_ENGINE_OF_ROW(); }

    void nextNumber_data()
    {
        QTest::addColumn<QString>("stored"); // empty: no row for the year
        QTest::addColumn<QString>("next");
        QTest::newRow("no row yet") << QString() << u"1/2026"_s;
        QTest::newRow("one") << u"1/2026"_s << u"2/2026"_s;
        QTest::newRow("9 gives 10") << u"9/2026"_s << u"10/2026"_s;
        QTest::newRow("99 gives 100") << u"99/2026"_s << u"100/2026"_s;
        QTest::newRow("trailing blanks") << u"41/2026     "_s << u"42/2026"_s;
        QTest::newRow("leading blanks") << u"  5/2026"_s << u"6/2026"_s;
        QTest::newRow("edited by hand") << u"abc/2026"_s << u"1/2026"_s;
        QTest::newRow("year in text not compared") << u"12/2025"_s << u"13/2026"_s;
    }
    void nextNumber()
    {
        QFETCH(QString, stored);
        QFETCH(QString, next);
        TestDb db;
        if (!stored.isEmpty())
            db.exec(sql::broj::insert, {u"2026"_s, u"TRELOK"_s, stored});
        auto number = get_brojac(db.store, u"2026"_s, u"TRELOK"_s);
        QVERIFY2(number.ok(), qPrintable(number.error()));
        QCOMPARE(number.value(), next);
        // Asking again without storing gives the same number.
        QCOMPARE(get_brojac(db.store, u"2026"_s, u"TRELOK"_s).value(), next);
    }

    void aDamagedCounterIsAnErrorNotARestart_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("null") << QVariant(QMetaType::fromType<QString>());
        QTest::newRow("too short") << QVariant(u"7/26"_s);
    }
    void aDamagedCounterIsAnErrorNotARestart()
    {
        QFETCH(QVariant, stored);
        TestDb db;
        db.exec("INSERT INTO tbl_Broj (godina,tip_dokum,tekoven_br) VALUES(?,?,NULL)",
                {u"2026"_s, u"TRELOK"_s});
        if (!stored.isNull())
            db.exec(sql::broj::update, {stored, u"2026"_s, u"TRELOK"_s});
        QVERIFY(!get_brojac(db.store, u"2026"_s, u"TRELOK"_s).ok());
    }

    void storingInsertsThenUpdates()
    {
        TestDb db;
        QString first = u"  1/2026"_s;
        QVERIFY(put_brojac(db.store, u"2026"_s, u"TRELOK"_s, first).ok());
        QCOMPARE(first, u"1/2026"_s); // leading blanks removed for the caller
        QCOMPARE(get_brojac(db.store, u"2026"_s, u"TRELOK"_s).value(), u"2/2026"_s);
        QString second = u"2/2026"_s;
        QVERIFY(put_brojac(db.store, u"2026"_s, u"TRELOK"_s, second).ok());
        auto rows = db.store.select(sql::broj::byYearAndType, {u"2026"_s, u"TRELOK"_s});
        QCOMPARE(rows.value().size(), 1);
        QCOMPARE(rows.value().first().text(u"tekoven_br"_s), u"2/2026"_s);
    }

    void aNewYearStartsAgainAndLeavesTheOldOne()
    {
        TestDb db;
        db.exec(sql::broj::insert, {u"2026"_s, u"TRELOK"_s, u"57/2026"_s});
        QCOMPARE(get_brojac(db.store, u"2027"_s, u"TRELOK"_s).value(), u"1/2027"_s);
        QString number = u"1/2027"_s;
        QVERIFY(put_brojac(db.store, u"2027"_s, u"TRELOK"_s, number).ok());
        QCOMPARE(get_brojac(db.store, u"2026"_s, u"TRELOK"_s).value(), u"58/2026"_s);
        QCOMPARE(get_brojac(db.store, u"2027"_s, u"TRELOK"_s).value(), u"2/2027"_s);
    }

    void storingTouchesOnlyItsOwnYearAndType()
    {
        TestDb db;
        // Rows that share the year or the type, and one that shares neither:
        // a clause that matched on either would overwrite them.
        db.exec(sql::broj::insert, {u"2026"_s, u"TRELOK"_s, u"4/2026"_s});
        db.exec(sql::broj::insert, {u"2026"_s, u"OTHER"_s, u"30/2026"_s});
        db.exec(sql::broj::insert, {u"2025"_s, u"TRELOK"_s, u"91/2025"_s});
        db.exec(sql::broj::insert, {u"2024"_s, u"OTHER"_s, u"12/2024"_s});
        QString number = u"5/2026"_s;
        QVERIFY(put_brojac(db.store, u"2026"_s, u"TRELOK"_s, number).ok());
        const auto rows = db.store.select("SELECT * FROM tbl_Broj order by godina, tip_dokum");
        QStringList stored;
        for (const Row &row : rows.value())
            stored << row.text(u"godina"_s) + u" "_s + row.text(u"tip_dokum"_s) + u" "_s +
                          row.text(u"tekoven_br"_s);
        QCOMPARE(stored, (QStringList{u"2024 OTHER 12/2024"_s, u"2025 TRELOK 91/2025"_s,
                                      u"2026 OTHER 30/2026"_s, u"2026 TRELOK 5/2026"_s}));
        QCOMPARE(get_brojac(db.store, u"2025"_s, u"TRELOK"_s).value(), u"92/2025"_s);
        QCOMPARE(get_brojac(db.store, u"2026"_s, u"OTHER"_s).value(), u"31/2026"_s);
    }

    void documentTypesCountSeparately()
    {
        TestDb db;
        db.exec(sql::broj::insert, {u"2026"_s, u"OTHER"_s, u"30/2026"_s});
        QCOMPARE(get_brojac(db.store, u"2026"_s, u"TRELOK"_s).value(), u"1/2026"_s);
    }

    // The statements kept prepared between their runs hold nothing: right
    // after this program read its counter, another stores a number (a read
    // left open would keep it waiting and then refuse it as busy), and the
    // next read gives that number.
    void aKeptStatementHoldsNoLock()
    {
        if (testEngine() == Engine::Server)
            QSKIP("the file's own locks");
        TestDb db;
        db.exec(sql::broj::insert, {u"2026"_s, u"TRELOK"_s, u"1/2026"_s});
        QCOMPARE(get_brojac(db.store, u"2026"_s, u"TRELOK"_s).value(), u"2/2026"_s);
        Store other;
        QVERIFY(other.open(databasePath(db.dir.path())).ok());
        const DbStatus stored = other.exec(sql::broj::update, {u"7/2026"_s, u"2026"_s, u"TRELOK"_s});
        QVERIFY2(stored.ok(), qPrintable(stored.error()));
        QCOMPARE(get_brojac(db.store, u"2026"_s, u"TRELOK"_s).value(), u"8/2026"_s);
    }
};

QTEST_GUILESS_MAIN(TestCounter)
#include "tst_counter.moc"
