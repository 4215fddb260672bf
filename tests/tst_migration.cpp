#include "test_db.h"

#include "data/counter.h"
#include "data/csv.h"
#include "data/orders.h"
#include "entry/kinds.h"
#include "platform/fonts.h"
#include "refdata/code_picker.h"
#include "shell/command_line.h"
#include "platform/printers.h"
#include "shell/headless_commands.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QFile>
#include <QTextStream>

using namespace Qt::StringLiterals;
using namespace trelok;

// Filling a new installation from tables in the form mdb-export writes.
namespace {

const QStringList trelCols{
    u"TRELOK_BR"_s, u"NALOG1"_s,   u"NALOG2"_s,   u"BNK_NAL"_s,  u"SM_NAL"_s,   u"DAN_BR"_s,
    u"POVIK"_s,     u"CEL1"_s,     u"CEL2"_s,     u"PRIMAC1"_s,  u"PRIMAC2"_s,  u"BNK_PRIM"_s,
    u"SMET_PRI"_s,  u"MKD_CEL"_s,  u"MKD_DEC"_s,  u"UP_SMET1"_s, u"UP_SMET2"_s, u"UP_SMET3"_s,
    u"BU_SMET1"_s,  u"BU_SMET2"_s, u"BU_SMET3"_s, u"PR_SIF1"_s,  u"PR_SIF2"_s,  u"NACIN"_s,
    u"DATUM"_s,     u"MESTO"_s,    u"VID"_s,      u"VALUTA"_s};

// An order: its number (as the cell holds it) and a few of its texts; the
// other cells are Null.
QStringList order(const QString &number, const QString &nalog1, const QString &cel1)
{
    QStringList row(trelCols.size());
    row[0] = number;
    row[1] = nalog1;
    row[7] = cel1;
    row[13] = u"1500"_s;
    return row;
}

// A table as mdb-export writes it: header bare, texts quoted with inner
// quotes doubled, Null (a null QString) as an empty cell, LF line ends.
QByteArray mdbCsv(const QStringList &header, const QList<QStringList> &rows)
{
    QString text = header.join(u',') + u"\n"_s;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (const QString &cell : row)
            cells.append(cell.isNull() ? QString()
                                       : u"\""_s + QString(cell).replace(u"\""_s, u"\"\""_s) +
                                             u"\""_s);
        text += cells.join(u',') + u"\n"_s;
    }
    return text.toUtf8();
}

const QString cel1 = u"Plakjanje \"carina\", na eden red"_s;
const QList<QStringList> sourceOrders{
    order(u"1/2019"_s, u"IZVOZNIK"_s, cel1),
    order(u"  2/2019 "_s, u"UVOZNIK \"AB\""_s, u"Dolg"_s), // blanks around the number
    order(u"2/2019"_s, u"POVTOREN"_s, u"x"_s),               // line 4: the number again
    order(QString(), u"BEZ BROJ"_s, u"y"_s),                 // line 5: no number
    order(u"5/2020"_s, u"TRET"_s, u"\u00e8\u00ea"_s),        // the form font's letters
    // Rows the program's own imports refuse: lines 7 to 9.
    order(u"7/2019"_s, u"DVA\nREDA"_s, u"z"_s),
    order(u"8/2019"_s, u"NUL"_s + QChar(0), u"z"_s),
    trelCols, // the header again
};

void writeSource(const QString &folder, bool withCoordinates = true)
{
    const QMap<QString, QByteArray> tables{
        {u"tbl_Trel"_s, mdbCsv(trelCols, sourceOrders)},
        {u"tbl_Broj"_s, mdbCsv({u"godina"_s, u"tip_dokum"_s, u"tekoven_br"_s},
                               {{u"2019"_s, u"TRELOK"_s, u"1/2019"_s},   // behind the orders
                                {u"2020"_s, u"TRELOK"_s, u"9/2020  "_s}, // ahead of them
                                {u"2021"_s, u"TRELOK"_s, u"x/2021"_s}})},
        {u"tbl_obvr"_s,
         mdbCsv({u"dec_cod"_s, u"dec_nam"_s, u"dec_adr"_s, u"dec_ad3"_s, u"dec_tlx"_s},
                {{u"4030000000001"_s, u"FIRMA \"EDEN\""_s, QString(), u"Ulica 1"_s, u"Skopje"_s},
                 {u" 4030000000002"_s, u"DVA"_s, u""_s, QString(), QString()}})},
        {u"tbl_cnf"_s, mdbCsv({u"trelok_br"_s, u"nalog1"_s, u"mesto"_s, u"up_smet3"_s,
                               u"bu_smet1"_s},
                              {{u"0000000000"_s, u"NASA FIRMA"_s, u"Bitola"_s, u"20"_s,
                                u"10"_s}})},
        {u"tbl_koor"_s, mdbCsv({u"box"_s, u"z_x"_s, u"z_y"_s, u"z_len"_s},
                               {{u"NALOG1"_s, u"3000"_s, u"2000"_s, u"4000"_s}})},
        {u"tbl_opst"_s, mdbCsv({u"sifra"_s, u"opstina"_s}, {{u"901"_s, u"OPSTINA X"_s}})},
        {u"tbl_cuo"_s, mdbCsv({u"key_cuo"_s, u"cuo_desc"_s}, {{u"9001"_s, u"CARINARNICA X"_s}})},
        {u"tbl_vid"_s, mdbCsv({u"vid"_s, u"opis"_s}, {{u"777"_s, u"VID X"_s}})},
        {u"tbl_prnt"_s, mdbCsv({u"def_print"_s}, {{u"Pecatar na drug kompjuter"_s}})},
    };
    for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
        if (!withCoordinates && it.key() == u"tbl_koor"_s)
            continue;
        // One name in other letters: a folder's names match in any case.
        const QString name = it.key() == u"tbl_vid"_s ? u"TBL_VID.CSV"_s : it.key() + u".csv"_s;
        QFile file(QDir(folder).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(it.value());
    }
}

// A copy of the genuine Access file of the test data (Jet 4, 4096-byte
// pages), damaged as damage says: "" whole, "cut:N" its first N pages only,
// "zero:N" page N zeroed, or other bytes altogether ("text:...").
QString accessFile(const QString &folder, const QString &damage)
{
    const QString path = QDir(folder).filePath(u"trelok.mdb"_s);
    QFile sample(qEnvironmentVariable("TRELOK_TEST_DATA") + u"/data/access/trelok-sample.mdb"_s);
    QFile copy(path);
    if (!sample.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly))
        return {};
    QByteArray bytes = sample.readAll();
    const QString how = damage.section(u':', 0, 0), arg = damage.section(u':', 1);
    constexpr qsizetype page = 4096;
    if (how == u"cut"_s)
        bytes.truncate(arg.toInt() * page);
    else if (how == u"zero"_s)
        bytes.replace(arg.toInt() * page, page, QByteArray(page, '\0'));
    else if (how == u"text"_s)
        bytes = arg.toUtf8();
    copy.write(bytes);
    return path;
}

struct Ran {
    int status;
    QString out, err;
};

Ran run(const TestDb &db, const QStringList &arguments)
{
    QStringList line{u"trelok"_s, u"--dir"_s, db.dir.path()};
    if (db.server)
        line << u"--db"_s << db.server->url;
    QString out, err;
    QTextStream o(&out), e(&err);
    ListedPrinters printers;
    const int status = runHeadless(parseCommandLine(line + arguments), o, e, printers);
    return {status, out, err};
}

QList<QStringList> csvRows(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    CsvText text = readCsv(QString::fromUtf8(f.readAll()));
    QList<QStringList> rows;
    for (const CsvRecord &r : text.records)
        rows.append(r.fields);
    return rows;
}

QStringList codes(const DbResult<QList<CodeLine>> &lines)
{
    QStringList out;
    for (const CodeLine &line : lines.value())
        out.append(line.code);
    return out;
}

} // namespace

class TestMigration : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { engineRows(); }
    void init() { USE_ENGINE_OF_ROW(); }

    void fillsNewInstallation()
    {
        TestDb db;
        QTemporaryDir source;
        writeSource(source.path());
        const QString from = source.path();
        const Ran ran = run(db, {u"--migrate-from"_s, from});
        const QString aside = QDir(db.dir.path()).filePath(u"odvoeni-tbl_Trel.csv"_s);
        QCOMPARE(ran.err, u"trelok: tbl_Trel, red 5: nema vrednost vo kolonata TRELOK_BR\n"
                          "trelok: tbl_Trel, red 7: Kolonata NALOG1 sodrzi nov red, a poleto ima "
                          "eden red\n"
                          "trelok: tbl_Trel, red 9: Kolonata NALOG1 sodrzi znak NUL\n"
                          "trelok: tbl_Trel, red 10: red so iminjata na kolonite\n"
                          "trelok: tbl_Broj, red 4: tekovniot broj 'x/2021' ne e broj\n"_s);
        QCOMPARE(ran.out,
                 u"Preneseno od %1:\n"
                 "tbl_Trel: procitani 8, zapisani 3, odvoeni (povtoren broj) 1, odbieni 4\n"
                 "  nezapisanite redovi se vo %2\n"
                 "tbl_Broj: procitani 3, zapisani 2, odbieni 1\n"
                 "  nezapisanite redovi se vo %3\n"
                 "tbl_obvr: procitani 2, zapisani 2\n"
                 "tbl_cnf: procitani 1, zapisani 1\n"
                 "tbl_koor: procitani 1, zapisani 1\n"
                 "tbl_opst: procitani 1, zapisani 1\n"
                 "tbl_cuo: procitani 1, zapisani 1\n"
                 "tbl_vid: procitani 1, zapisani 1\n"
                 "Brojac za 2019: 2/2019\n"
                 "Brojac za 2020: 9/2020\n"
                 "tbl_prnt: pecatarot ne se prenesuva; izberete pecatar vo menito "
                 "Servis/Podesuvanje na Pecatar\n"_s.arg(
                     from, aside, QDir(db.dir.path()).filePath(u"odvoeni-tbl_Broj.csv"_s)));
        QCOMPARE(ran.status, 3);
        // Every column of the rows not stored, as read.
        QCOMPARE(csvRows(aside), (QList<QStringList>{trelCols, sourceOrders[2], sourceOrders[3],
                                                     sourceOrders[5], sourceOrders[6],
                                                     sourceOrders[7]}));

        // The export holds the source's orders under their numbers.
        const QString exported = QDir(source.path()).filePath(u"export.csv"_s);
        QCOMPARE(run(db, {u"--export"_s, exported}).status, 0);
        QList<QStringList> expected{trelCols};
        for (int i : {0, 1, 4}) {
            QStringList row = sourceOrders[i];
            row[0] = row[0].trimmed();
            expected.append(row);
        }
        QCOMPARE(csvRows(exported), expected);

        // The next orders continue the numbers; the register and the
        // configuration row came across.
        QCOMPARE(storeNewOrder(db.store, u"2019"_s, u"TRELOK"_s, QVariantList(27)).value(),
                 u"3/2019"_s);
        QCOMPARE(get_brojac(db.store, u"2020"_s, u"TRELOK"_s).value(), u"10/2020"_s);
        QCOMPARE(db.store.texts("SELECT dec_cod, dec_nam, dec_adr FROM tbl_obvr ORDER BY 1").value(),
                 (QList<QStringList>{{u"4030000000001"_s, u"FIRMA \"EDEN\""_s, u""_s},
                                     {u"4030000000002"_s, u"DVA"_s, u""_s}}));
        QCOMPARE(db.store.texts("SELECT nalog1, mesto, up_smet3, povik FROM tbl_cnf").value(),
                 (QList<QStringList>{{u"NASA FIRMA"_s, u"Bitola"_s, u"20"_s, u""_s}}));

        // The pickers show the source's codes only.
        QCOMPARE(codes(listCodes(db.store, municipalityPicker())), QStringList{u"901"_s});
        QCOMPARE(codes(listCodes(db.store, customsOfficePicker())), QStringList{u"9001"_s});
        QCOMPARE(codes(listKinds(db.store)), QStringList{u"777"_s});

        // A printed page follows the source's coordinates and offsets.
        QVERIFY(registerApplicationFonts(db.dir.path()) == 4);
        const QString pdf = QDir(source.path()).filePath(u"order.pdf"_s);
        QCOMPARE(run(db, {u"--print"_s, u"1/2019"_s, u"--pdf"_s, pdf}).status, 0);
        REQUIRE_PDF_TOOLS();
        QProcess text;
        text.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
        QVERIFY(text.waitForFinished(30000));
        const auto word = QRegularExpression(u"xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>IZVOZNIK<"_s)
                              .match(QString::fromUtf8(text.readAllStandardOutput()));
        QVERIFY(word.hasMatch());
        const double tenthMm = 1440 / 254.0;
        QVERIFY(qAbs(word.captured(1).toDouble() - (3000 + 20 * tenthMm) / 20) < 1.5);
        QVERIFY(qAbs(word.captured(2).toDouble() - (2000 + 10 * tenthMm) / 20) < 4);
    }

    void storesNothing_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing table")
            << u"no tbl_koor"_s << u"Vo %1 ja nema tabelata tbl_koor (fajlot tbl_koor.csv)"_s;
        QTest::newRow("a column named twice")
            << u"twice"_s << u"Vo tabelata tbl_Trel kolonata NALOG2 se javuva dvapati"_s;
#ifdef Q_OS_WIN
        QTest::newRow("an Access file on Windows")
            << u"no mdb-export"_s
            << u"Vo verzijata za Windows %1 ne moze da se cita: izvezete gi tabelite vo CSV "
               "fajlovi (TABELA.csv, od Access ili so mdb-export na Debian) vo edna papka i "
               "dadete ja papkata na --migrate-from"_s;
#else
        // A damaged file: mdb-export reads what it can and exits 0.
        QTest::newRow("access file cut at a page boundary")
            << u"mdb cut:52"_s
            << u"Redovite na tabelata tbl_Trel ne mozat da se izbrojat so mdb-count "
               "(prekinata): offset 249856 is beyond EOF"_s;
        QTest::newRow("access file with its last pages missing")
            << u"mdb cut:100"_s
            << u"Tabelata tbl_Trel ima 311 redovi, a mozat da se procitaat 296: fajlot e osteten "
               "(mdb-export: warning: page 100 from map doesn't match: Type=0, buf[4..7]=0 "
               "Expected table_pg=61)"_s;
        QTest::newRow("access file with a zeroed page, said")
            << u"mdb zero:65"_s
            << u"Tabelata tbl_Trel ima 311 redovi, a mozat da se procitaat 303: fajlot e osteten "
               "(mdb-export: warning: page 65 from map doesn't match: Type=0, buf[4..7]=0 "
               "Expected table_pg=61)"_s;
        QTest::newRow("access file with a zeroed page, unsaid")
            << u"mdb zero:62"_s
            << u"Tabelata tbl_Trel ima 311 redovi, a mozat da se procitaat 0: fajlot e osteten"_s;
        QTest::newRow("not an access file")
            << u"mdb text:Nalog 1/2026"_s
            << u"%1 ne e baza vo formata na Access (.mdb): ne pocnuva so oznakata "
               "\"Standard Jet DB\""_s;
        QTest::newRow("no mdb-export")
            << u"no mdb-export"_s
            << u"Za citanje na %1 e potrebna programata mdb-export od paketot mdbtools; "
               "instalirajte go so: sudo apt install mdbtools"_s;
#endif
        QTest::newRow("taxpayers already stored")
            << u"taxpayers"_s
            << u"Prenosot se pravi samo vo nova instalacija, a vo bazata vekje ima 0 nalozi, 0 "
               "brojaci i 1 danocni obvrznici"_s;
        QTest::newRow("orders already stored")
            << u"not new"_s
            << u"Prenosot se pravi samo vo nova instalacija, a vo bazata vekje ima 1 nalozi, 1 "
               "brojaci i 0 danocni obvrznici"_s;
    }
    void storesNothing()
    {
        QFETCH(QString, problem);
        QFETCH(QString, error);
        TestDb db;
        if (problem == u"not new"_s)
            QVERIFY(storeNewOrder(db.store, u"2026"_s, u"TRELOK"_s, QVariantList(27)));
        if (problem == u"taxpayers"_s)
            db.exec("INSERT INTO tbl_obvr (dec_cod, dec_nam) VALUES (?, ?)",
                    {u"4030999123456"_s, u"Primer"_s});
        QTemporaryDir source, bin;
        writeSource(source.path(), !problem.contains(u"tbl_koor"_s));
        if (problem == u"twice"_s) {
            QFile trel(QDir(source.path()).filePath(u"tbl_Trel.csv"_s));
            QVERIFY(trel.open(QIODevice::WriteOnly));
            trel.write(mdbCsv({u"TRELOK_BR"_s, u"NALOG2"_s, u"NALOG2"_s},
                              {{u"1/2019"_s, u"prva"_s, u"vtora"_s}}));
        }
        QString from = source.path();
        const QByteArray path = qgetenv("PATH");
        if (problem.startsWith(u"mdb "_s))
            from = accessFile(bin.path(), problem.mid(4));
        if (problem == u"no mdb-export"_s) {
            from = accessFile(bin.path(), {});
            qputenv("PATH", "/nonexistent");
        }
        const auto before = db.store.texts("SELECT * FROM tbl_opst");
        const Ran ran = run(db, {u"--migrate-from"_s, from});
        qputenv("PATH", path);
        QCOMPARE(ran.err, u"trelok: Nisto ne e preneseno od %1: %2\n"_s.arg(
                              from, error.contains(u"%1"_s) ? error.arg(from) : error));
        QCOMPARE(ran.out, QString());
        QCOMPARE(ran.status, 1);
        QCOMPARE(db.store.texts("SELECT * FROM tbl_opst").value(), before.value());
        QCOMPARE(db.store.texts("SELECT count(*) FROM tbl_Trel").value().value(0).value(0),
                 problem == u"not new"_s ? u"1"_s : u"0"_s);
        QVERIFY(QDir(db.dir.path()).entryList({u"odvoeni-*"_s}).isEmpty());
    }

#ifndef Q_OS_WIN // no mdbtools for Windows
    // The genuine file, whole, through mdb-export and mdb-count; copies a
    // killed reading left behind are removed, those of a running one kept.
    void readsAccessFile()
    {
        TestDb db;
        QTemporaryDir bin;
        const QDir temp(QDir::tempPath());
        const QString left = temp.filePath(u"trelok-999999999-tbl_Trel-a1b2c3.csv"_s),
                      running = temp.filePath(
                          u"trelok-%1-tbl_Trel-a1b2c3.csv"_s.arg(QCoreApplication::applicationPid()));
        for (const QString &name : {left, running}) {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString from = accessFile(bin.path(), {});
        const Ran ran = run(db, {u"--migrate-from"_s, from});
        QVERIFY(!QFile::exists(left));
        QVERIFY(QFile::remove(running));
        QCOMPARE(ran.err, QString());
        QVERIFY2(ran.out.contains(u"tbl_Trel: procitani 311, zapisani 305, odvoeni (povtoren "
                                  "broj) 6\n"_s) &&
                     ran.out.contains(u"Brojac za 2021: 9002/2021\n"_s),
                 qPrintable(ran.out));
        QCOMPARE(ran.status, 3);
        QCOMPARE(db.store.texts("SELECT count(*) FROM tbl_Trel").value().value(0).value(0),
                 u"305"_s);
    }
#endif
};

QTEST_MAIN(TestMigration)
#include "tst_migration.moc"
