#include "app_fixture.h"

#include "data/csv.h"
#include "refdata/fixed_data.h"
#include "refdata/taxpayer_import.h"
#include "taxpayer_reference_model.h"
#include "refdata/taxpayer_pages.h"
#include "refdata/taxpayers.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTextStream>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

struct StoredTaxpayer {
    QString name, address, city;
    bool operator==(const StoredTaxpayer &) const = default;
};

// Every row of tbl_obvr with the tax number, as stored, in storage order.
QList<StoredTaxpayer> storedRows(TestDb &db, const QString &code)
{
    QList<StoredTaxpayer> rows;
    const auto read = db.store.select("SELECT * FROM tbl_obvr WHERE dec_cod=?", {code});
    for (const Row &row : read.value())
        rows.append({row.raw(u"dec_nam"_s).toString(), row.raw(u"dec_ad3"_s).toString(),
                     row.raw(u"dec_tlx"_s).toString()});
    return rows;
}

int taxpayerCount(TestDb &db)
{
    return int(db.store.select("SELECT * FROM tbl_obvr").value().size());
}

void addRaw(TestDb &db, const QVariant &code, const QVariant &name, const QVariant &address,
            const QVariant &city)
{
    db.exec("INSERT INTO tbl_obvr (dec_cod, dec_nam, dec_ad3, dec_tlx) VALUES (?,?,?,?)",
            {code, name, address, city});
}

struct ImportRun {
    int status = -1;
    QString out, err;
};

ImportRun runImport(TestDb &db, const QByteArray &content)
{
    const QString path = db.dir.filePath(u"register.csv"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    file.close();
    ImportRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = importTaxpayers(db.store, path, out, err);
    return run;
}

// A register of n taxpayers in random order: names, addresses and cities
// from small sets (so many compare equal), in mixed case, some with letters
// beyond ASCII (the file only: the server folds the case of ASCII letters),
// some Null.
void fillRegister(TestDb &db, int n, bool beyondAscii)
{
    QStringList names{u"Alfa"_s, u"alfa"_s, u"ALFA"_s,    u"beta"_s,   u"Beta"_s,
                      u"[tip"_s, u"{tip"_s, u"zeta 10"_s, u"Zeta 9"_s, u""_s};
    if (beyondAscii)
        names << u"Žito"_s << u"žito"_s << u"ŠAR"_s << u"šar"_s << u"Éclair"_s << u"zz"_s;
    const QStringList cities{u"Skopje"_s, u"skopje"_s, u"Ohrid"_s, u"0"_s, u"10"_s, u"9"_s};
    QRandomGenerator random(17);
    const auto pick = [&random](const QStringList &from) -> QVariant {
        const int at = int(random.bounded(from.size() + 1));
        return at == from.size() ? QVariant() : QVariant(from[at]);
    };
    QVERIFY(db.store.transaction([&] {
        for (int i = 0; i < n; ++i) {
            const QString code = QString::number(4000000000000LL + (i * 7919LL) % (n * 13LL));
            if (auto added = db.store.exec("INSERT INTO tbl_obvr (dec_cod, dec_nam, dec_ad3, "
                                           "dec_tlx) VALUES (?,?,?,?)",
                                           {code, pick(names), pick(names), pick(cities)});
                !added)
                return added;
        }
        return succeeded();
    }));
}

QStringList linesOf(const QAbstractItemModel &model)
{
    QStringList lines;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << model.index(r, c).data().toString();
        lines << cells.join(u'|');
    }
    return lines;
}

} // namespace

class TestRefdataRules : public QObject {
    Q_OBJECT
private slots:
    // Every case runs on the SQLite file and on the PostgreSQL server.
    void initTestCase_data() { engineRows(); }
    void init() { USE_ENGINE_OF_ROW(); }

    // Fixed data -----------------------------------------------------------

    void fixedDataShowTrimmedAndStoreTrimmedButTheMunicipality()
    {
        TestDb db;
        db.exec("UPDATE tbl_cnf set nalog1=?, nalog2=NULL, bnk_nal=?, sm_nal=?, dan_br=?, "
                "mesto=?, up_smet2=?, up_smet3='12', bu_smet1='-3' where trelok_br='0000000000'",
                {u"  Firma DOOEL "_s, u" Banka "_s, u"300 "_s, u" 4030"_s, u"  Skopje  "_s,
                 u" 004 "_s});
        const FixedData shown = readFixedData(db.store).value().value();
        QCOMPARE(shown.nal1, u"Firma DOOEL"_s);
        QCOMPARE(shown.nal2, QString());
        QCOMPARE(shown.b_nal, u"Banka"_s);
        QCOMPARE(shown.us2, u"004"_s);
        QCOMPARE(shown.mes, u"Skopje"_s);

        FixedData typed{u" Kompanija \"Zora\" 'Bitola' "_s,
                        u"  ul. Ilindenska "_s,
                        u" Stopanska "_s,
                        u" 200 "_s,
                        u" 5000 "_s,
                        u" Bitola "_s,
                        u"004 "_s};
        QVERIFY(storeFixedData(db.store, typed).ok());
        const Row row = db.store.first(sql::cnf::configRow).value().value();
        QCOMPARE(row.raw(u"nalog1"_s).toString(), u"Kompanija \"Zora\" 'Bitola'"_s);
        QCOMPARE(row.raw(u"nalog2"_s).toString(), u"ul. Ilindenska"_s);
        QCOMPARE(row.raw(u"bnk_nal"_s).toString(), u"Stopanska"_s);
        QCOMPARE(row.raw(u"sm_nal"_s).toString(), u"200"_s);
        QCOMPARE(row.raw(u"dan_br"_s).toString(), u"5000"_s);
        QCOMPARE(row.raw(u"mesto"_s).toString(), u"Bitola"_s);
        QCOMPARE(row.raw(u"up_smet2"_s).toString(), u"004 "_s);
        // The offsets are not the fixed data window's business.
        QCOMPARE(row.raw(u"up_smet3"_s).toString(), u"12"_s);
        QCOMPARE(row.raw(u"bu_smet1"_s).toString(), u"-3"_s);
    }

    void fixedDataAllEmptyStoresEmptyTexts()
    {
        TestDb db;
        QVERIFY(storeFixedData(db.store, FixedData{}).ok());
        const Row row = db.store.first(sql::cnf::configRow).value().value();
        for (const auto column :
             {u"nalog1", u"nalog2", u"bnk_nal", u"sm_nal", u"dan_br", u"mesto", u"up_smet2"}) {
            const QVariant value = row.raw(QString::fromUtf16(column));
            QVERIFY2(!value.isNull() && value.toString().isEmpty(),
                     qPrintable(QString::fromUtf16(column)));
        }
    }

    // Taxpayer tests -------------------------------------------------------

    void taxpayerTests_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<int>("focus");       // box 1 to 4
        const QString wrong = u"Pogresen Danocen Broj"_s;
        const QString digits = u"Pogresen Danocen Broj - dozvoleni se samo broevi !"_s;
        const QStringList modes{u"add"_s, u"change"_s};
        for (const QString &mode : modes) {
            const auto row = [&mode](const char *name) {
                return &QTest::newRow(qPrintable(mode + u": "_s + QString::fromLatin1(name)));
            };
            *row("12 characters") << mode << u"403099912345"_s << u"N"_s << u"A"_s << u"C"_s
                                  << wrong << 1;
            *row("14 characters") << mode << u"40309991234567"_s << u"N"_s << u"A"_s << u"C"_s
                                  << wrong << 1;
            *row("12 digits with blanks around")
                << mode << u" 403099912345 "_s << u"N"_s << u"A"_s << u"C"_s << wrong << 1;
            *row("a letter") << mode << u"40309991234A6"_s << u"N"_s << u"A"_s << u"C"_s << digits
                             << 1;
            *row("a sign") << mode << u"-403099912345"_s << u"N"_s << u"A"_s << u"C"_s << digits
                           << 1;
            *row("a plus sign") << mode << u"+403099912345"_s << u"N"_s << u"A"_s << u"C"_s
                                << digits << 1;
            *row("a decimal point")
                << mode << u"403099.123456"_s << u"N"_s << u"A"_s << u"C"_s << digits << 1;
            *row("an exponent") << mode << u"40309991234E5"_s << u"N"_s << u"A"_s << u"C"_s
                                << digits << 1;
            *row("an inner blank")
                << mode << u"403099 123456"_s << u"N"_s << u"A"_s << u"C"_s << digits << 1;
            *row("arabic-indic digits")
                << mode << u"403099912345\u0663"_s << u"N"_s << u"A"_s << u"C"_s << digits << 1;
            *row("no name") << mode << u"4030999123456"_s << u"  "_s << u"A"_s << u"C"_s
                            << u"Vnesete naziv na Komitentot!"_s << 2;
            *row("name before address") << mode << u"4030999123456"_s << QString() << QString()
                                        << u"C"_s << u"Vnesete naziv na Komitentot!"_s << 2;
            *row("no address") << mode << u"4030999123456"_s << u"N"_s << QString() << u"C"_s
                               << u"Vnesete adresa na Komitentot!"_s << 3;
            *row("all present") << mode << u" 4030999123456 "_s << u"N"_s << u"A"_s << u"C"_s
                                << QString() << 0;
        }
        QTest::newRow("add: no city")
            << u"add"_s << u"4030999123456"_s << u"N"_s << u"A"_s << u" "_s << QString() << 0;
        QTest::newRow("change: no city") << u"change"_s << u"4030999123456"_s << u"N"_s << u"A"_s
                                         << u" "_s << u"Vnesete grad na Komitentot!"_s << 4;
    }
    void taxpayerTests()
    {
        QFETCH(QString, mode);
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, city);
        QFETCH(QString, message);
        QFETCH(int, focus);
        const auto refusal =
            checkTaxpayer(trimmedTaxpayer({code, name, address, city}),
                          mode == u"add"_s ? TaxpayerMode::Add : TaxpayerMode::Change);
        if (message.isEmpty()) {
            QVERIFY(!refusal);
            return;
        }
        QVERIFY(refusal);
        QCOMPARE(refusal->message, message);
        QCOMPARE(int(refusal->focus) + 1, focus);
    }

    void listShowsNullsAndKeepsTaxNumberOrder()
    {
        TestDb db;
        addRaw(db, u"5000000000002"_s, u"Beta"_s, u"Adresa 2"_s, QVariant());
        addRaw(db, u"1000000000001"_s, QVariant(), QVariant(), u"Ohrid"_s);
        addRaw(db, u"3000000000003"_s, u" Gama "_s, u" Ul. 3 "_s, u""_s);
        const QList<Taxpayer> rows = loadTaxpayers(db.store).value();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].code, u"1000000000001"_s);
        QCOMPARE(rows[0].name, QString());
        QCOMPARE(rows[0].address, QString());
        QCOMPARE(rows[0].city, u"Ohrid"_s);
        QCOMPARE(rows[1].code, u"3000000000003"_s);
        QCOMPARE(rows[1].city, QString()); // an empty city is not Null
        QCOMPARE(rows[2].code, u"5000000000002"_s);
        QCOMPARE(rows[2].city, u"0"_s);
    }

    void addingFillsTheOtherColumnsWithEmptyTexts()
    {
        TestDb db;
        QVERIFY(addTaxpayer(db.store, {u"3333333333333"_s, u"O'Brajan"_s, u"A3"_s, QString()}));
        const Row added =
            db.store.first("SELECT * FROM tbl_obvr WHERE dec_cod='3333333333333'").value().value();
        QCOMPARE(added.raw(u"dec_nam"_s).toString(), u"O'Brajan"_s);
        QCOMPARE(added.raw(u"dec_ad3"_s).toString(), u"A3"_s);
        QVERIFY(!added.isNull(u"dec_tlx"_s));
        QCOMPARE(added.raw(u"dec_tlx"_s).toString(), QString());
        for (const auto column : {u"dec_adr", u"dec_ad2", u"dec_ad4", u"dec_tel", u"dec_fax",
                                  u"dec_pos", u"dec_zem", u"dec_emb"}) {
            const QVariant value = added.raw(QString::fromUtf16(column));
            QVERIFY(!value.isNull() && value.toString().isEmpty());
        }
        QCOMPARE(taxpayerExists(db.store, u"3333333333333"_s).value(), true);
        QCOMPARE(taxpayerExists(db.store, u"3333333333334"_s).value(), false);
    }

    void sortingByText_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("codes"); // the order after sorting
        QTest::newRow("tax number") << 0 << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s};
        // By text without regard to case; "beta" and "Beta" keep their order.
        QTest::newRow("name") << 1 << QStringList{u"3"_s, u"2"_s, u"1"_s, u"4"_s};
        QTest::newRow("address") << 2 << QStringList{u"4"_s, u"3"_s, u"1"_s, u"2"_s};
        // Texts, not numbers: "10" comes before "9".
        QTest::newRow("city") << 3 << QStringList{u"2"_s, u"3"_s, u"4"_s, u"1"_s};
    }
    void sortingByText()
    {
        QFETCH(int, column);
        QFETCH(QStringList, codes);
        TaxpayerModel model;
        model.setTaxpayers({{u"4"_s, u"Zora"_s, u"a"_s, u"9"_s},
                            {u"2"_s, u"beta"_s, u"D"_s, u"0"_s},
                            {u"1"_s, u"Beta"_s, u"c"_s, u"Ohrid"_s},
                            {u"3"_s, u"Alfa"_s, u"B"_s, u"10"_s}});
        // A second click on the same header never reverses the order.
        for (int pass = 0; pass < 2; ++pass) {
            model.sortByColumn(column);
            QStringList got;
            for (int r = 0; r < model.rowCount(); ++r)
                got << model.index(r, 0).data().toString();
            QCOMPARE(got, codes);
        }
        QCOMPARE(model.headerData(column, Qt::Horizontal).toString(),
                 (QStringList{u"Danocen broj"_s, u"Naziv"_s, u"Adresa"_s, u"Grad"_s}[column]));
    }

    // The register window's pages give the lines of the whole list held in
    // memory: the same rows, order after each click and search results.
    void pagedRegisterAsTheWholeList_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("search");
        QTest::newRow("as read") << QList<int>{} << QString();
        for (int column = 0; column < 4; ++column)
            QTest::newRow(qPrintable(u"by column %1"_s.arg(column))) << QList<int>{column}
                                                                     << QString();
        QTest::newRow("city, then name") << QList<int>{3, 1} << QString();
        QTest::newRow("name, address, city, name") << QList<int>{1, 2, 3, 1} << QString();
        QTest::newRow("searched") << QList<int>{} << u"tip"_s;
        QTest::newRow("searched, by city then address") << QList<int>{3, 2} << u"A"_s;
    }
    void pagedRegisterAsTheWholeList()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, search);
        TestDb db;
        fillRegister(db, 700, testEngine() == Engine::File);
        TaxpayerModel whole;
        whole.setTaxpayers(loadTaxpayers(db.store).value());
        TaxpayerPages pages(db.store);
        QVERIFY(pages.load());
        QCOMPARE(pages.rowCount(), 700);
        for (int column : clicks) {
            whole.sortByColumn(column);
            QVERIFY(pages.sortByColumn(column));
        }
        whole.setFilter(search);
        QVERIFY(pages.search(search));
        QCOMPARE(linesOf(pages), linesOf(whole));
        QVERIFY(!pages.takeFailure());
    }

    // Reading CSV ---------------------------------------------------------

    void csvQuotingAndLines()
    {
        const CsvText csv =
            readCsv(u"a,b\r\n\"x, \"\"y\"\"\",\"two\nlines\"\n\nplain\"quote,\"\"\n"_s);
        QVERIFY(csv.error.isEmpty());
        QCOMPARE(csv.records.size(), 3);
        QCOMPARE(csv.records[1].fields, (QStringList{u"x, \"y\""_s, u"two\nlines"_s}));
        QCOMPARE(csv.records[1].line, 2);
        QCOMPARE(csv.records[2].fields, (QStringList{u"plain\"quote"_s, u""_s}));
        QCOMPARE(csv.records[2].line, 5);
    }

    void csvCutOffInsideAQuotedField()
    {
        const CsvText csv = readCsv(u"a,b\n1,\"open\n2,3\n"_s);
        QCOMPARE(csv.error, u"Fajlot zavrsuva vo sredina na pole vo navodnici (red 2)"_s);
    }

    // Import ------------------------------------------------------------

    void importCountsAddedChangedAndRefused()
    {
        TestDb db;
        addRaw(db, u"1111111111111"_s, u"Star"_s, u"Stara 1"_s, u"Skopje"_s);
        addRaw(db, u"9999999999999"_s, u"Nedopren"_s, u"Ul. 9"_s, u"Veles"_s);
        const ImportRun run = runImport(
            db, "dec_cod,dec_nam,dec_ad3,dec_tlx\n"
                " 1111111111111 , Nov Naziv ,\"Ul. \"\"Makedonija\"\" 5\",  Bitola \n"
                "2222222222222,\xd0\x9a\xd0\xbe\xd0\xbc\xd0\xbf\xd0\xb0\xd0\xbd\xd0\xb8\xd1\x98\xd0"
                "\xb0,\"Ul. 2, kat 3\",\n\n"
                "333333333333,Kratok,Ul. 3,Struga\n"
                "44444444444.4,Tocka,Ul. 4,Struga\n"
                "5555555555555,,Ul. 5,Struga\n"
                "6666666666666,Bez adresa,,Struga\n"
                "7777777777777,Tri polinja,Ul. 7\n"
                "2222222222222,Vtor pat,Ul. 2b,Kumanovo\n"
                "8888888888888,Dva reda,\"Ul. 8,\nkat 1\",Ohrid\n"
                "8888888888888,Predolgo ime na firma sto ne sobira vo poleto,Ul. 8,Ohrid\n");
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, u"Dodadeni: 1\nPromeneti: 2\nOdbieni: 7\n"_s);
        QCOMPARE(run.err,
                 u"trelok: odbien red 5 (333333333333): Pogresen Danocen Broj\n"
                 "trelok: odbien red 6 (44444444444.4): Pogresen Danocen Broj - dozvoleni se "
                 "samo broevi !\n"
                 "trelok: odbien red 7 (5555555555555): Vnesete naziv na Komitentot!\n"
                 "trelok: odbien red 8 (6666666666666): Vnesete adresa na Komitentot!\n"
                 "trelok: odbien red 9: ocekuvani se 4 polinja, ima 3\n"
                 "trelok: odbien red 11 (8888888888888): Kolonata dec_ad3 sodrzi nov red, a "
                 "poleto ima eden red\n"
                 "trelok: odbien red 13 (8888888888888): Kolonata dec_nam ima 45 znaci, a poleto "
                 "prima najmnogu 35\n"_s);
        QCOMPARE(storedRows(db, u"1111111111111"_s),
                 (QList<StoredTaxpayer>{{u"Nov Naziv"_s, u"Ul. \"Makedonija\" 5"_s, u"Bitola"_s}}));
        // Added once, then changed by its second row.
        QCOMPARE(storedRows(db, u"2222222222222"_s),
                 (QList<StoredTaxpayer>{{u"Vtor pat"_s, u"Ul. 2b"_s, u"Kumanovo"_s}}));
        QCOMPARE(storedRows(db, u"9999999999999"_s),
                 (QList<StoredTaxpayer>{{u"Nedopren"_s, u"Ul. 9"_s, u"Veles"_s}}));
        QCOMPARE(taxpayerCount(db), 3);
    }

    void importStoresCyrillicAndAnEmptyCity()
    {
        TestDb db;
        const ImportRun run =
            runImport(db, "\xef\xbb\xbf"
                          "DEC_COD,dec_nam,dec_ad3,dec_tlx\r\n"
                          "2222222222222,\xd0\x9a\xd0\xbe,\"Ul. 2, kat 3\",\r\n");
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, u"Dodadeni: 1\nPromeneti: 0\nOdbieni: 0\n"_s);
        QCOMPARE(storedRows(db, u"2222222222222"_s),
                 (QList<StoredTaxpayer>{{u"\u041a\u043e"_s, u"Ul. 2, kat 3"_s, u""_s}}));
    }

    void importThatCannotBeReadStoresNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("cut off inside a quoted field")
            << QByteArray("dec_cod,dec_nam,dec_ad3,dec_tlx\n"
                          "2222222222222,Dobar,Ul. 2,Ohrid\n"
                          "3333333333333,\"Preki")
            << u"Fajlot zavrsuva vo sredina na pole vo navodnici (red 3)"_s;
        QTest::newRow("not UTF-8") << QByteArray("dec_cod,dec_nam,dec_ad3,dec_tlx\n"
                                                 "2222222222222,\xe8\xe0,Ul. 2,Ohrid\n")
                                   << u"ne e vo UTF-8"_s;
        QTest::newRow("another header") << QByteArray("sifra,naziv,adresa,grad\n"
                                                      "2222222222222,Dobar,Ul. 2,Ohrid\n")
                                        << u"prviot red mora da bide"_s;
        QTest::newRow("empty file") << QByteArray() << u"prviot red mora da bide"_s;
    }
    void importThatCannotBeReadStoresNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        TestDb db;
        addRaw(db, u"2222222222222"_s, u"Star"_s, u"Stara"_s, u"Skopje"_s);
        const QByteArray before = digest(databasePath(db.dir.path()));
        const ImportRun run = runImport(db, content);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(reason), qPrintable(run.err));
        QVERIFY(run.err.endsWith(u"trelok: nisto ne e snimeno\n"_s));
        QCOMPARE(digest(databasePath(db.dir.path())), before);
        QCOMPARE(storedRows(db, u"2222222222222"_s),
                 (QList<StoredTaxpayer>{{u"Star"_s, u"Stara"_s, u"Skopje"_s}}));
    }

    // Two imports of one register at the same moment: each tax number once,
    // one adds it and the other changes it.
    void twoImportsAtOnceStoreEachNumberOnce()
    {
        if (testEngine() != Engine::File)
            QSKIP("the program on the directory's file");
        TestDb db;
        const QString csv = db.dir.filePath(u"r.csv"_s);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("dec_cod,dec_nam,dec_ad3,dec_tlx\n");
        for (int i = 0; i < 3000; ++i)
            file.write(QByteArray::number(4030000000000LL + i) + ",Firma,Ul. 1,Ohrid\n");
        file.close();
        QProcess first, second;
        for (QProcess *p : {&first, &second})
            p->start(QStringLiteral(TRELOK_PROGRAM),
                     {u"--dir"_s, db.dir.path(), u"--import-taxpayers"_s, csv});
        QStringList outs;
        for (QProcess *p : {&first, &second}) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
            outs << programText(p->readAllStandardOutput());
        }
        outs.sort();
        QCOMPARE(outs, (QStringList{u"Dodadeni: 0\nPromeneti: 3000\nOdbieni: 0\n"_s,
                                    u"Dodadeni: 3000\nPromeneti: 0\nOdbieni: 0\n"_s}));
        QCOMPARE(taxpayerCount(db), 3000);
        // A new installation keeps one row per tax number.
        QVERIFY(!db.store.exec("INSERT INTO tbl_obvr (dec_cod) VALUES ('4030000000000')").ok());
    }

    void importOfAMissingFile()
    {
        TestDb db;
        ImportRun run;
        QTextStream out(&run.out);
        QTextStream err(&run.err);
        run.status = importTaxpayers(db.store, db.dir.filePath(u"nema.csv"_s), out, err);
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.startsWith(u"trelok: Fajlot "_s));
        QCOMPARE(taxpayerCount(db), 0);
    }

    void importFromTheCommandLineWithoutADisplay()
    {
        QTemporaryDir dir;
        const QString csv = dir.filePath(u"r.csv"_s);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("dec_cod,dec_nam,dec_ad3,dec_tlx\n"
                   "4030999123456,Zora,Ul. 1,Ohrid\n"
                   "403099912345X,Losa,Ul. 2,Ohrid\n");
        file.close();
        const QString appDir = dir.filePath(u"app"_s);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TRELOK_PROGRAM),
                      {u"--dir"_s, appDir, u"--import-taxpayers"_s, csv});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(programText(program.readAllStandardOutput()),
                 u"Dodadeni: 1\nPromeneti: 0\nOdbieni: 1\n"_s);
        // The program's own lines; the toolkit may add notes of its own.
        const QStringList messages = programText(program.readAllStandardError())
                                         .split(u'\n')
                                         .filter(QRegularExpression(u"^trelok:"_s));
        QCOMPARE(messages, QStringList{u"trelok: odbien red 3 (403099912345X): Pogresen Danocen "
                                       "Broj - dozvoleni se samo broevi !"_s});
        // The installation it made holds the accepted row.
        Store store;
        QVERIFY(store.open(databasePath(appDir)).ok());
        const auto rows = store.select("SELECT * FROM tbl_obvr");
        QCOMPARE(rows.value().size(), 1);
        QCOMPARE(rows.value().first().text(u"dec_cod"_s), u"4030999123456"_s);
    }
};

QTEST_GUILESS_MAIN(TestRefdataRules)
#include "tst_refdata_rules.moc"
