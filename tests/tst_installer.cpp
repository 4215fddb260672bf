#include "test_db.h"

#include "data/schema.h"
#include "platform/fonts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlRecord>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

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

    void anEmptyDatabaseFileIsInstalledOver()
    {
        QTemporaryDir dir;
        QFile file(databasePath(dir.path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        auto installed = installIfMissing(dir.path());
        QVERIFY2(installed.ok(), qPrintable(installed.error()));
        QCOMPARE(installed.value(), Installed::Now);
        Store store;
        QVERIFY(store.open(databasePath(dir.path())).ok());
        QCOMPARE(count(store, u"tbl_vid"_s), 5);
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

    // The columns read from the schema's text are those SQLite makes of it.
    void schemaColumnsAreThoseOfTheBuiltSchema()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"schema-built"_s);
        db.setDatabaseName(u":memory:"_s);
        QVERIFY(db.open());
        QVERIFY(applySchema(db).ok());
        QCOMPARE(schemaColumns().keys().size(), tableNames().size());
        for (const QString &table : tableNames()) {
            const QSqlRecord record = db.record(table);
            QStringList built;
            for (int i = 0; i < record.count(); ++i)
                built.append(record.fieldName(i).toLower());
            QCOMPARE(schemaColumns().value(table), built);
        }
        QCOMPARE(schemaColumns().value(u"tbl_koor"_s),
                 (QStringList{u"box"_s, u"z_x"_s, u"z_y"_s, u"z_len"_s}));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"schema-built"_s);
    }

    void aMissingColumnIsReported_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::newRow("amount of an order") << u"tbl_Trel"_s << u"MKD_CEL"_s;
        QTest::newRow("vertical offset") << u"tbl_cnf"_s << u"bu_smet1"_s;
        QTest::newRow("coordinate width") << u"tbl_koor"_s << u"z_len"_s;
        QTest::newRow("counter number") << u"tbl_Broj"_s << u"tekoven_br"_s;
    }
    void aMissingColumnIsReported()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        TestDb db;
        QVERIFY(db.store.exec(u"ALTER TABLE %1 DROP COLUMN %2"_s.arg(table, column)).ok());
        const QString path = databasePath(db.dir.path());
        const QByteArray before = digest(path);
        Store other;
        auto opened = other.open(path);
        QVERIFY(!opened.ok());
        QCOMPARE(opened.error(),
                 u"Vo tabelata "_s + table + u" nedostasuva kolonata "_s + column.toUpper());
        QVERIFY(!other.isOpen());
        QCOMPARE(digest(path), before);
    }

    void aMissingOrDamagedFontIsWrittenAgain_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("damage");
        QTest::newRow("missing") << u"MCTIMEB.TTF"_s << u"remove"_s;
        QTest::newRow("cut short") << u"MCTIME.TTF"_s << u"cut"_s;
        QTest::newRow("one byte changed") << u"MCTIMEI.TTF"_s << u"flip"_s;
        QTest::newRow("empty") << u"MCTIMEBI.TTF"_s << u"empty"_s;
        QTest::newRow("licence missing") << u"OFL.txt"_s << u"remove"_s;
    }
    void aMissingOrDamagedFontIsWrittenAgain()
    {
        QFETCH(QString, file);
        QFETCH(QString, damage);
        TestDb db;
        const QString path = QDir(db.dir.path()).filePath(file);
        const QString resource =
            file == u"OFL.txt"_s ? u":/assets/fonts/OFL.txt"_s : u":/fonts/"_s + file;
        QFile builtIn(resource);
        QVERIFY(builtIn.open(QIODevice::ReadOnly));
        const QByteArray original = builtIn.readAll();
        QByteArray damaged = original;
        if (damage == u"cut"_s)
            damaged.truncate(143360);
        else if (damage == u"flip"_s)
            damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x55);
        else
            damaged.clear();
        QFile::remove(path);
        if (damage != u"remove"_s) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            QCOMPARE(out.write(damaged), damaged.size());
        }
        const QString database = databasePath(db.dir.path());
        const QByteArray before = digest(database);
        auto again = installIfMissing(db.dir.path());
        QVERIFY2(again.ok(), qPrintable(again.error()));
        QCOMPARE(again.value(), Installed::AlreadyThere);
        QFile repaired(path);
        QVERIFY(repaired.open(QIODevice::ReadOnly));
        QVERIFY(repaired.readAll() == original);
        QCOMPARE(digest(database), before);
        // Nothing but the installation is left in the directory.
        QStringList expected = fontFileNames();
        expected << u"OFL.txt"_s << u"trelok.db"_s;
        expected.sort();
        QCOMPARE(QDir(db.dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    }

    void sideFilesOfAnInterruptedStartAreCleared()
    {
        QTemporaryDir dir;
        const QDir app(dir.path());
        for (const QString &name : {u"trelok.db.install"_s, u".MCTIME.TTF.a1B2c3"_s}) {
            QFile side(app.filePath(name));
            QVERIFY(side.open(QIODevice::WriteOnly));
            side.write("half written");
        }
        auto installed = installIfMissing(dir.path());
        QVERIFY2(installed.ok(), qPrintable(installed.error()));
        QCOMPARE(installed.value(), Installed::Now);
        QStringList expected = fontFileNames();
        expected << u"OFL.txt"_s << u"trelok.db"_s;
        expected.sort();
        QCOMPARE(app.entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
        Store store;
        QVERIFY(store.open(databasePath(dir.path())).ok());
    }

    void aDirectoryThatCannotBeWrittenFailsWithoutADatabase()
    {
#ifdef Q_OS_WIN
        QSKIP("a read-only folder on Windows still takes new files");
#else
        if (::geteuid() == 0)
            QSKIP("root writes into read-only directories");
#endif
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        auto installed = installIfMissing(dir.path());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!installed.ok());
        QVERIFY(!QFile::exists(databasePath(dir.path())));
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
