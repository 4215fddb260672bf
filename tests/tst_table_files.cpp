#include "app_fixture.h"
#include "entry_dialog_script.h"

#include "data/table_file.h"
#include "entry/kinds.h"
#include "entry/validation.h"
#include "print/layout.h"
#include "print/print_job.h"
#include "refdata/code_lists.h"
#include "refdata/code_picker.h"

#include <QImage>
#include <QPainter>
#include <QTextStream>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

const TableFile &tableNamed(const QString &name)
{
    if (name == u"layout"_s)
        return layoutFile();
    if (name == u"municipalities"_s)
        return municipalityList();
    if (name == u"offices"_s)
        return customsOfficeList();
    return kindList();
}

QString writeFile(const QTemporaryDir &dir, const QString &text)
{
    const QString path = dir.filePath(u"list.csv"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(text.toUtf8());
    return path;
}

struct Outcome {
    int status;
    QString out, err;
};

Outcome import(Store &store, const QString &table, const QString &file, bool makscii = false)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = importTableFile(store, tableNamed(table), file, makscii, o, e);
    return {status, out, err};
}

QList<QStringList> rowsOf(Store &store, const QString &table)
{
    return store.texts(tableNamed(table).select).value();
}

// The printed page of an order as an image, painted as paper and PDF are.
QImage pageImage(Store &store, const QString &number)
{
    auto loaded = loadPrintJob(store, number);
    if (!loaded || loaded.value().status != JobStatus::Ready)
        qFatal("no page for %s", qPrintable(number));
    QImage image(1240, 700, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(0.1, 0.1); // ten twips a pixel
    paintJob(painter, loaded.value().job);
    return image;
}

} // namespace

class TestTableFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { engineRows(); }
    void init() { USE_ENGINE_OF_ROW(); }

    void refusedFilesStoreNothing_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("err");
        const QString none = u"trelok: nisto ne e snimeno\n"_s;
        QTest::newRow("layout, unknown column")
            << u"layout"_s << u"box,z_x,z_y,z_len\nNALOG1,1,2,3\nNALOG9,1,2,3\n"_s
            << u"trelok: red 3: \"NALOG9\" ne e kolona na trelokot\n"_s + none;
        QTest::newRow("layout, negative")
            << u"layout"_s << u"box,z_x,z_y,z_len\nNALOG1,1,-2,3\n"_s
            << u"trelok: red 2: z_y \"-2\" e negativen broj\n"_s + none;
        QTest::newRow("layout, not a number")
            << u"layout"_s << u"box,z_x,z_y,z_len\nNALOG1,1,2,sto\n"_s
            << u"trelok: red 2: z_len \"sto\" ne e broj\n"_s + none;
        QTest::newRow("layout, box twice")
            << u"layout"_s << u"box,z_x,z_y,z_len\nNALOG1,1,2,3\nnalog1,4,5,6\n"_s
            << u"trelok: red 3: box \"nalog1\" se javuva vtor pat\n"_s + none;
        QTest::newRow("layout, wrong header")
            << u"layout"_s << u"box,x,y,len\nNALOG1,1,2,3\n"_s
            << u"trelok: %1: prviot red mora da bide \"box,z_x,z_y,z_len\"\n"_s + none;
        QTest::newRow("layout, no rows") << u"layout"_s << u"box,z_x,z_y,z_len\n"_s
                                         << u"trelok: %1: nema nitu eden red posle prviot\n"_s +
                                                none;
        QTest::newRow("municipality code of 4 digits")
            << u"municipalities"_s << u"sifra,opstina\n001,Aerodrom\n0002,Berovo\n"_s
            << u"trelok: red 3: sifrata \"0002\" mora da e 3 brojki\n"_s + none;
        QTest::newRow("municipality without name")
            << u"municipalities"_s << u"sifra,opstina\n001,\n"_s
            << u"trelok: red 2: imeto e prazno\n"_s + none;
        QTest::newRow("municipality code twice")
            << u"municipalities"_s << u"sifra,opstina\n001,Aerodrom\n001,Berovo\n"_s
            << u"trelok: red 3: sifra \"001\" se javuva vtor pat\n"_s + none;
        QTest::newRow("office code with a letter")
            << u"offices"_s << u"key_cuo,cuo_desc\n10A0,Skopje\n"_s
            << u"trelok: red 2: sifrata \"10A0\" mora da e 4 brojki\n"_s + none;
        QTest::newRow("office name too long")
            << u"offices"_s << u"key_cuo,cuo_desc\n1000,"_s + QString(51, u'a') + u"\n"_s
            << u"trelok: red 2: imeto ima 51 znaci, najmnogu 50\n"_s + none;
        QTest::newRow("a NUL in a name")
            << u"kinds"_s << u"vid,opis\n108,Carina\n109,Ca"_s + QChar(0) + u"rina\n"_s
            << u"trelok: red 3: Kolonata opis sodrzi znak NUL\n"_s + none;
        QTest::newRow("a line break in a name")
            << u"municipalities"_s << u"sifra,opstina\n001,\"Aero\ndrom\"\n"_s
            << u"trelok: red 2: Kolonata opstina sodrzi nov red, a poleto ima eden red\n"_s + none;
        QTest::newRow("empty kind") << u"kinds"_s << u"vid,opis\n,Nekoj vid\n"_s
                                    << u"trelok: red 2: vidot na uplata e prazen\n"_s + none;
        QTest::newRow("kind too long")
            << u"kinds"_s << u"vid,opis\n12345678901,Nekoj vid\n"_s
            << u"trelok: red 2: vidot na uplata \"12345678901\" ima poveke od 10 znaci\n"_s + none;
        QTest::newRow("kind 000") << u"kinds"_s << u"vid,opis\n000,Nisto\n"_s
                                  << u"trelok: red 2: vidot na uplata 000 znaci \"ne e izbran "
                                     u"vid\"\n"_s + none;
        QTest::newRow("two refused rows, both named")
            << u"kinds"_s << u"vid,opis\n108,\n205,Dava~ki,x\n"_s
            << u"trelok: red 2: imeto e prazno\ntrelok: red 3: ocekuvani se 2 polinja, ima 3\n"_s +
                   none;
    }
    void refusedFilesStoreNothing()
    {
        QFETCH(QString, table);
        QFETCH(QString, text);
        QFETCH(QString, err);
        TestDb db;
        const QByteArray before = digest(db.store.path());
        const QList<QStringList> rows = rowsOf(db.store, table);
        const QString file = writeFile(db.dir, text);
        const Outcome outcome = import(db.store, table, file);
        QCOMPARE(outcome.status, 1);
        QCOMPARE(outcome.err, err.contains(u"%1"_s) ? err.arg(file) : err);
        QCOMPARE(outcome.out, QString());
        QCOMPARE(rowsOf(db.store, table), rows);
        QCOMPARE(digest(db.store.path()), before);
    }

    // The pickers, the kind list and the entry checks use the imported codes;
    // a stored order keeps the code it was saved with.
    void importedCodesAreUsed()
    {
        AppFixture app;
        app.storeOrder(u"0000012026"_s, u"108"_s, u"108-2026-1010-1"_s);
        const auto order = app.db.store.texts(sql::trel::everyColumn).value();
        QCOMPARE(import(app.db.store, u"municipalities"_s,
                        writeFile(app.db.dir, u"sifra,opstina\r\n901,Нова општина\r\n"_s), true)
                     .out,
                 u"Vneseni: 1 opstini\n"_s);
        // A byte order mark and blanks around the header's names are passed
        // over; a name of exactly 50 characters is taken.
        const QString office = u"Ispostava Nova "_s + QString(35, u'x');
        QCOMPARE(import(app.db.store, u"offices"_s,
                        writeFile(app.db.dir, u"\uFEFF key_cuo , cuo_desc\n9001,"_s + office))
                     .status,
                 0);
        QCOMPARE(import(app.db.store, u"kinds"_s,
                        writeFile(app.db.dir, u"vid,opis\n108,Carinski dolg\n555,Nov vid\n"_s))
                     .status,
                 0);
        QCOMPARE(app.db.store.texts(sql::trel::everyColumn).value(), order);

        const auto municipalities = listCodes(app.db.store, municipalityPicker()).value();
        QCOMPARE(municipalities.size(), 1);
        QCOMPARE(municipalities.first().name, u"Nova op{tina"_s);
        QCOMPARE(checkCode(app.db.store, municipalityPicker(), u"901"_s).value().result,
                 PickerCheck::Accepted);
        QCOMPARE(checkCode(app.db.store, municipalityPicker(), u"004"_s).value().message,
                 u"Nepostoi Opstina: 004 , Izberi ja od lista !"_s);
        QCOMPARE(checkCode(app.db.store, customsOfficePicker(), u"9001"_s).value().name, office);
        QCOMPARE(listCodes(app.db.store, customsOfficePicker()).value().size(), 1);
        QCOMPARE(listKinds(app.db.store).value().last().code, u"555"_s);

        app.db.exec("INSERT INTO tbl_obvr (dec_cod, dec_nam) VALUES (?, ?)",
                    {u"4030999123456"_s, u"Primer"_s});
        for (const QString &municipality : {u"901"_s, u"004"_s}) {
            EntryFields f;
            f.d_nal = f.c_nal1 = u"4030999123456"_s;
            f.mkd1 = u"1500"_s;
            f.mkd2 = u"00"_s;
            f.us2 = municipality;
            f.nac = u"2"_s;
            f.dat = u"08.12.2026"_s;
            f.p_nal1 = u"108"_s;
            f.p_nal2 = u"2026"_s;
            f.p_nal3 = u"9001"_s;
            f.p_nal4 = u"12345"_s;
            ScriptedEntryDialog dialog;
            auto result = validateEntry(app.db.store, dialog, u"108"_s, u"2026"_s, f);
            QVERIFY(result.ok());
            QCOMPARE(result.value().passed, municipality == u"901"_s);
            QCOMPARE(dialog.log.contains(u"Q:Sifra na Opstina : 004 Nepostoi ! , Dali Da ja "
                                         u"Prifatam ? "_s),
                     municipality == u"004"_s);
        }
    }

    // Written out and read into a fresh installation: the same rows, the
    // same printed page; the file is what the export writes again.
    void exportedTablesImportElsewhere_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("layout") << u"layout"_s;
        QTest::newRow("municipalities") << u"municipalities"_s;
        QTest::newRow("offices") << u"offices"_s;
        QTest::newRow("kinds") << u"kinds"_s;
    }
    void exportedTablesImportElsewhere()
    {
        QFETCH(QString, table);
        AppFixture one, two;
        one.db.exec("UPDATE tbl_koor SET z_x='120.5', z_y='1000' WHERE box='NALOG1'");
        one.db.exec("UPDATE tbl_opst SET opstina='Aerodrom 2' WHERE sifra='001'");
        const QString file = one.db.dir.filePath(u"out.csv"_s);
        QString err;
        QTextStream e(&err);
        QCOMPARE(exportTableFile(one.db.store, tableNamed(table), file, e), 0);
        QCOMPARE(import(two.db.store, table, file).status, 0);
        QCOMPARE(rowsOf(two.db.store, table), rowsOf(one.db.store, table));
        const QString again = two.db.dir.filePath(u"again.csv"_s);
        QCOMPARE(exportTableFile(two.db.store, tableNamed(table), again, e), 0);
        QCOMPARE(digest(again), digest(file));
        QVERIFY(err.isEmpty());
        if (table == u"layout"_s) {
            one.storeOrder(u"0000012026"_s, u"108"_s, u"108-2026"_s);
            two.storeOrder(u"0000012026"_s, u"108"_s, u"108-2026"_s);
            QCOMPARE(pageImage(two.db.store, u"0000012026"_s),
                     pageImage(one.db.store, u"0000012026"_s));
            const Layout layout = readLayout(two.db.store).value();
            QCOMPARE(std::find_if(layout.begin(), layout.end(),
                                  [](const LayoutRow &row) { return row.box == u"NALOG1"_s; })
                         ->z_x,
                     120.5);
        }
    }

    // A layout saved while another workstation saved its own is refused
    // whole; the other one's layout stays.
    void aLayoutChangedMeanwhileIsNotSaved()
    {
        TestDb db;
        const Layout opened = readLayout(db.store).value();
        Layout shown = opened;
        stepFields(shown, {0}, 1, 10);
        db.exec("UPDATE tbl_koor SET z_x='500' WHERE box='NALOG2'");
        const QList<QStringList> theirs = rowsOf(db.store, u"layout"_s);
        QCOMPARE(saveLayout(db.store, shown, opened).value(), LayoutSaved::ChangedMeanwhile);
        QCOMPARE(rowsOf(db.store, u"layout"_s), theirs);
        const Layout now = readLayout(db.store).value();
        QCOMPARE(saveLayout(db.store, shown, now).value(), LayoutSaved::Saved);
        QCOMPARE(readLayout(db.store).value(), shown);
    }
};

QTEST_MAIN(TestTableFiles)

#include "tst_table_files.moc"
