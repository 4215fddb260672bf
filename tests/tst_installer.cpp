#include "test_db.h"

#include "data/schema.h"
#include "platform/fonts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {
qsizetype count(Store &store, const QString &table)
{
    auto rows = store.select(u"SELECT * FROM "_s + table);
    return rows ? rows.value().size() : -1;
}
} // namespace

class TestInstaller : public QObject {
    Q_OBJECT
private slots:
    void installsTablesAndReferenceData()
    {
        TestDb db;
        QCOMPARE(count(db.store, u"tbl_Trel"_s), 0);
        QCOMPARE(count(db.store, u"tbl_Broj"_s), 0);
        QCOMPARE(count(db.store, u"tbl_obvr"_s), 0);
        QCOMPARE(count(db.store, u"tbl_prnt"_s), 1);
        QCOMPARE(count(db.store, u"tbl_vid"_s), 5);
        QVERIFY(count(db.store, u"tbl_opst"_s) > 0);
        QVERIFY(count(db.store, u"tbl_cuo"_s) > 0);
        QCOMPARE(count(db.store, u"tbl_koor"_s), 26);

        auto config = db.store.first("SELECT * FROM tbl_cnf where trelok_br='0000000000'");
        QVERIFY(config.ok() && config.value().has_value());
        const Row &row = *config.value();
        QVERIFY(row.text(u"nalog1"_s).startsWith(u"NAZIV NA"_s));
        QCOMPARE(row.text(u"up_smet3"_s), u"0"_s);
        QCOMPARE(row.text(u"bu_smet1"_s), u"0"_s);
        QCOMPARE(row.text(u"nacin"_s), u"1"_s);
        QCOMPARE(row.text(u"mkd_dec"_s), u"00"_s);

        auto printer = db.store.first("SELECT * FROM tbl_prnt");
        QCOMPARE(printer.value()->text(u"def_print"_s), QString());

        auto kinds = db.store.select("SELECT * FROM tbl_vid");
        QStringList codes;
        for (const Row &kind : kinds.value())
            codes << kind.text(u"vid"_s);
        QCOMPARE(codes, (QStringList{u"108"_s, u"205"_s, u"GAR"_s, u"701"_s, u"900"_s}));
    }

    void everyPrintedColumnHasACoordinateRow()
    {
        TestDb db;
        auto rows = db.store.select("SELECT * FROM tbl_koor order by z_y,z_x");
        QStringList boxes;
        for (const Row &row : rows.value()) {
            boxes << row.text(u"box"_s).toUpper();
            QVERIFY(row.text(u"z_x"_s).toDouble() + row.text(u"z_len"_s).toDouble() <= 8700);
            QVERIFY(row.text(u"z_y"_s).toDouble() < 4800);
        }
        auto columns = db.store.select("SELECT * FROM tbl_trel ");
        QVERIFY(columns.ok());
        QVERIFY(!boxes.contains(u"TRELOK_BR"_s));
        QVERIFY(!boxes.contains(u"VID"_s));
        QCOMPARE(boxes.size(), 26);
        boxes.removeDuplicates();
        QCOMPARE(boxes.size(), 26);
    }

    void copiesTheFonts()
    {
        TestDb db;
        for (const QString &font : fontFileNames())
            QVERIFY2(QFileInfo(QDir(db.dir.path()).filePath(font)).size() > 100000,
                     qPrintable(font));
    }

    void neverTouchesAnExistingDatabase()
    {
        TestDb db;
        db.exec("INSERT INTO tbl_Broj (godina,tip_dokum,tekoven_br) VALUES(?,?,?)",
                {u"2026"_s, u"TRELOK"_s, u"7/2026"_s});
        const QString path = databasePath(db.dir.path());
        const QByteArray before = digest(path);
        auto again = installIfMissing(db.dir.path());
        QVERIFY(again.ok());
        QCOMPARE(again.value(), Installed::AlreadyThere);
        QCOMPARE(digest(path), before);
    }

    void aDamagedDatabaseIsReportedAndLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not a database") << QByteArray("this is not a database file, just text");
        QTest::newRow("empty file") << QByteArray();
    }
    void aDamagedDatabaseIsReportedAndLeftAlone()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = databasePath(dir.path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QVERIFY(installIfMissing(dir.path()).ok());
        Store store;
        auto opened = store.open(path);
        QVERIFY(!opened.ok());
        QVERIFY(!opened.error().isEmpty());
        QFile again(path);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), content);
    }

    void aMissingTableIsReported()
    {
        TestDb db;
        db.exec("DROP TABLE tbl_koor");
        Store other;
        auto opened = other.open(databasePath(db.dir.path()));
        QVERIFY(!opened.ok());
        QVERIFY2(opened.error().contains(u"tbl_koor"_s), qPrintable(opened.error()));
    }

    void opensNoFileThatIsNotThere()
    {
        QTemporaryDir dir;
        Store store;
        QVERIFY(!store.open(databasePath(dir.path())).ok());
        QVERIFY(!QFile::exists(databasePath(dir.path())));
    }

    void storesAnyTextAsTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes") << u"O'Brien \"Kompani\" '; DROP TABLE tbl_Trel; --"_s;
        QTest::newRow("cyrillic") << u"Скопје – Општина Центар"_s;
        QTest::newRow("long") << QString(5000, u'x');
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << u"  two blanks  "_s;
    }
    void storesAnyTextAsTyped()
    {
        QFETCH(QString, text);
        TestDb db;
        db.exec("INSERT INTO tbl_Broj (godina,tip_dokum,tekoven_br) VALUES(?,?,?)",
                {u"2026"_s, text, u"1/2026"_s});
        auto row = db.store.first("SELECT * FROM tbl_Broj WHERE godina = ? AND tip_dokum = ?",
                                  {u"2026"_s, text});
        QVERIFY(row.ok() && row.value().has_value());
        QCOMPARE(mget(row.value()->raw(u"tip_dokum"_s)), text);
        QCOMPARE(count(db.store, u"tbl_Trel"_s), 0);
    }
};

QTEST_GUILESS_MAIN(TestInstaller)
#include "tst_installer.moc"
