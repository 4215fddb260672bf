#include "app_fixture.h"
#include "entry_dialog_script.h"

#include "entry/validation.h"

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

const QString payer = u"4030999123456"_s;

// An order of the kind that passes every check.
EntryFields validOrder(const QString &kind)
{
    EntryFields f;
    f.d_nal = payer;
    f.c_nal1 = payer;
    f.mkd1 = u"1500"_s;
    f.mkd2 = u"00"_s;
    f.us2 = u"004"_s;
    f.nac = u"2"_s;
    f.dat = u"08.12.2026"_s;
    f.p_nal1 = kind;
    f.p_nal2 = u"2026"_s;
    f.p_nal3 = u"1010"_s;
    f.p_nal4 = u"12345"_s;
    f.p_nal = u"unchanged"_s;
    if (kind == u"205"_s || kind == u"GAR"_s)
        f.p_nal5 = u"1"_s;
    if (kind == u"701"_s)
        f.p_nal4.clear();
    if (kind == u"900"_s) {
        f.p_nal3 = u"G123456789"_s;
        f.c_nal1 = u"G123456789"_s;
        f.p_nal4.clear();
    }
    return f;
}

QString &member(EntryFields &f, const QString &box)
{
    for (const auto &[name, m] : EntryFields::boxes())
        if (name == box)
            return f.*m;
    qFatal("no box %s", qPrintable(box));
}

// "box=text" pairs.
void apply(EntryFields &f, const QStringList &changes)
{
    for (const QString &change : changes) {
        const qsizetype eq = change.indexOf(u'=');
        member(f, change.left(eq)) = change.mid(eq + 1);
    }
}

const QString unknownPayerWarning =
    u"I:Trelokot moze da bide i NEVALIDEN, Ako danocniot broj e tocen, mozete da go vnesete vo "
    "Servis/Danocni_broevi !"_s;
const QString payerRefused = u"I:Trelokot ne e Snimen,Vnesete tocen danocniot broj !"_s;

} // namespace

class TestValidation : public QObject {
    Q_OBJECT
private slots:
    void steps_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("office"); // chosen in the picker
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QStringList>("after"); // fields as the run leaves them

        const QList<Answer> none;
        const QList<Answer> yes{Answer::Yes};
        const QList<Answer> no{Answer::No};
        const QList<Answer> cancel{Answer::Cancel};
        for (const char *kind : {"108", "205", "GAR", "701", "900", "XYZ"})
            QTest::addRow("%s passes", kind) << QString::fromLatin1(kind) << QStringList() << none
                                             << QString() << QStringList() << true << QStringList();

        // Taxpayer numbers: the first 13 characters of the trimmed text.
        QTest::newRow("payer of 15 looked up by 13")
            << u"108"_s << QStringList{u"d_nal= 4030999123456XY "_s} << none << QString()
            << QStringList() << true << QStringList();
        const QString unknownPayerQuestion =
            u"Q:Danocniot broj:  9999999999999  Nepostoi ! , Dali Da go Prifatam ? "_s;
        QTest::newRow("unknown payer, Yes")
            << u"108"_s << QStringList{u"d_nal= 9999999999999 "_s} << yes << QString()
            << QStringList{u"F:d_nal"_s, unknownPayerQuestion, unknownPayerWarning} << true
            << QStringList();
        QTest::newRow("unknown payer, No")
            << u"108"_s << QStringList{u"d_nal= 9999999999999 "_s} << no << QString()
            << QStringList{u"F:d_nal"_s, unknownPayerQuestion, payerRefused} << false
            << QStringList();
        QTest::newRow("unknown payer, Cancel")
            << u"205"_s << QStringList{u"d_nal= 9999999999999 "_s} << cancel << QString()
            << QStringList{u"F:d_nal"_s, unknownPayerQuestion, payerRefused} << false
            << QStringList();
        QTest::newRow("quote in the number is simply not found")
            << u"108"_s << QStringList{u"d_nal=40'30"_s} << no << QString()
            << QStringList{u"F:d_nal"_s,
                           u"Q:Danocniot broj: 40'30 Nepostoi ! , Dali Da go Prifatam ? "_s,
                           payerRefused}
            << false << QStringList();
        QTest::newRow("unknown purpose number")
            << u"701"_s << QStringList{u"c_nal1=1234"_s} << no << QString()
            << QStringList{u"F:c_nal1"_s,
                           u"Q:Danocniot broj: 1234 Nepostoi ! , Dali Da go Prifatam ? "_s,
                           payerRefused}
            << false << QStringList();
        QTest::newRow("900 does not look up the purpose line")
            << u"900"_s << QStringList{u"c_nal1=G000000001"_s} << none << QString() << QStringList()
            << true << QStringList();

        // The amount.
        const QString amount = u"I:Vnesi Iznos za Uplata (Cel del BEZ Decimali) !"_s;
        for (const char *typed : {"0", "", "abc", "-5", " . ", "15.7", "12abc", "000", "1,5"})
            QTest::addRow("amount '%s' refused", typed)
                << u"108"_s << QStringList{u"mkd1="_s + QString::fromLatin1(typed)} << none
                << QString() << QStringList{u"F:mkd1"_s, amount} << false << QStringList();
        for (const char *typed : {"15", " 1 500", "1  234 ", "007"})
            QTest::addRow("amount '%s' passes", typed)
                << u"108"_s << QStringList{u"mkd1="_s + QString::fromLatin1(typed)} << none
                << QString() << QStringList() << true << QStringList();
        const QString decimals = u"I:Vnesi go Decimalniot del na Iznoz za Uplata ( 00 ili 50 ) !"_s;
        for (const char *typed : {"5", "050", "75", ""})
            QTest::addRow("decimals '%s' refused", typed)
                << u"108"_s << QStringList{u"mkd2="_s + QString::fromLatin1(typed)} << none
                << QString() << QStringList{u"F:mkd2"_s, decimals} << false << QStringList();
        QTest::newRow("decimals 50 with blanks")
            << u"108"_s << QStringList{u"mkd2= 50 "_s} << none << QString() << QStringList() << true
            << QStringList();

        // The municipality.
        const QString municipalityQuestion =
            u"Q:Sifra na Opstina : 999 Nepostoi ! , Dali Da ja Prifatam ? "_s;
        QTest::newRow("unknown municipality, Yes")
            << u"108"_s << QStringList{u"us2=999"_s} << yes << QString()
            << QStringList{u"F:us2"_s, municipalityQuestion,
                           u"I:Trelokot moze da bide i NEVALIDEN !"_s}
            << true << QStringList();
        for (const auto &[name, answer] :
             {std::pair{"No", Answer::No}, std::pair{"Cancel", Answer::Cancel}})
            QTest::addRow("unknown municipality, %s", name)
                << u"108"_s << QStringList{u"us2=999"_s} << QList<Answer>{answer} << QString()
                << QStringList{u"F:us2"_s, municipalityQuestion,
                               u"I:Trelokot ne e Snimen,Vnesete tocna Sifra na Opstina !"_s}
                << false << QStringList();
        QTest::newRow("empty municipality is looked up as empty")
            << u"108"_s << QStringList{u"us2="_s} << no << QString()
            << QStringList{u"F:us2"_s,
                           u"Q:Sifra na Opstina :  Nepostoi ! , Dali Da ja Prifatam ? "_s,
                           u"I:Trelokot ne e Snimen,Vnesete tocna Sifra na Opstina !"_s}
            << false << QStringList();
        QTest::newRow("municipality trimmed")
            << u"108"_s << QStringList{u"us2= 004 "_s} << none << QString() << QStringList() << true
            << QStringList();

        // Payment method and value date.
        QTest::newRow("method 3") << u"108"_s << QStringList{u"nac=3"_s} << none << QString()
                                  << QStringList{u"F:nac"_s,
                                                 u"I:Vnesi go Nacinot na Uplata( 1 ili 2 ) !"_s}
                                  << false << QStringList();
        const QString equalDates =
            u"Q:Pri nacin na Uplata 1, Datumot na VALUTA mora da e IST so Datumot na Uplata, "
            "Dali da gi IZEDNACAM ?"_s;
        QTest::newRow("method 1, dates made equal")
            << u"108"_s << QStringList{u"nac= 1"_s, u"dat=08.12.2026 "_s, u"valu=01.01.2026"_s}
            << yes << QString() << QStringList{equalDates} << true
            << QStringList{u"valu=08.12.2026 "_s};
        QTest::newRow("method 1, dates kept")
            << u"108"_s << QStringList{u"nac=1"_s, u"valu=01.01.2026"_s} << no << QString()
            << QStringList{equalDates,
                           u"I:Pogresni Datumi na UPLATA/VALUTA, Trelokot NE E Snimen !"_s}
            << false << QStringList{u"valu=01.01.2026"_s, u"dat=08.12.2026"_s};
        QTest::newRow("method 1, equal after trimming")
            << u"108"_s << QStringList{u"nac=1"_s, u"valu= 08.12.2026"_s} << none << QString()
            << QStringList() << true << QStringList{u"valu= 08.12.2026"_s};
        QTest::newRow("method 2, dates may differ")
            << u"108"_s << QStringList{u"valu=01.01.2026"_s} << none << QString() << QStringList()
            << true << QStringList();

        // Year, office, declaration numbers.
        const QString yearQuestion = u"Q:Pogresna Godina, Dali da ja stavam tekovnata ?"_s;
        QTest::newRow("108 previous year, Yes")
            << u"108"_s << QStringList{u"p_nal2=2025"_s} << yes << QString()
            << QStringList{yearQuestion} << true << QStringList{u"p_nal2=2026"_s};
        QTest::newRow("108 previous year, No: run goes on")
            << u"108"_s << QStringList{u"p_nal2=2025"_s, u"p_nal4="_s} << no << QString()
            << QStringList{yearQuestion, u"F:p_nal2"_s,
                           u"I:ZADOLZITELNO Vnesete REFERENTEN BROJ na Deklaracijata !"_s,
                           u"F:p_nal4"_s}
            << false << QStringList{u"p_nal2=2025"_s};
        QTest::newRow("205 year compared as typed")
            << u"205"_s << QStringList{u"p_nal2=2026 "_s} << yes << QString()
            << QStringList{yearQuestion} << true << QStringList{u"p_nal2=2026"_s};
        QTest::newRow("GAR year asked")
            << u"GAR"_s << QStringList{u"p_nal2=2024"_s} << no << QString()
            << QStringList{yearQuestion, u"F:p_nal2"_s} << true << QStringList();
        QTest::newRow("701 never asks the year")
            << u"701"_s << QStringList{u"p_nal2=1999"_s} << none << QString() << QStringList()
            << true << QStringList();
        QTest::newRow("108 office filled in the picker")
            << u"108"_s << QStringList{u"p_nal3= "_s} << none << u"1020"_s << QStringList{u"P"_s}
            << true << QStringList{u"p_nal3=1020"_s};
        // An office box still empty after the picker: no reference to match.
        for (const char *kind : {"108", "205", "GAR"})
            QTest::addRow("%s office left empty", kind)
                << QString::fromLatin1(kind) << QStringList{u"p_nal3= "_s, u"p_nal4="_s} << none
                << QString()
                << QStringList{u"P"_s, u"F:p_nal3"_s,
                               u"I:Trelokot ne e Snimen,Vnesete ja Ispostavata !"_s}
                << false << QStringList();
        QTest::newRow("108 office filled before the reference test")
            << u"108"_s << QStringList{u"p_nal3="_s, u"p_nal4="_s} << none << u"1020"_s
            << QStringList{u"P"_s, u"I:ZADOLZITELNO Vnesete REFERENTEN BROJ na Deklaracijata !"_s,
                           u"F:p_nal4"_s}
            << false << QStringList{u"p_nal3=1020"_s};
        for (const char *kind : {"205", "GAR"})
            QTest::addRow("%s year asked before the office fill", kind)
                << QString::fromLatin1(kind) << QStringList{u"p_nal2=2025"_s, u"p_nal3="_s} << yes
                << u"1020"_s << QStringList{yearQuestion, u"P"_s} << true
                << QStringList{u"p_nal2=2026"_s, u"p_nal3=1020"_s};
        QTest::newRow("701 office filled")
            << u"701"_s << QStringList{u"p_nal3="_s} << none << u"1030"_s << QStringList{u"P"_s}
            << true << QStringList{u"p_nal3=1030"_s};
        const QString reference = u"I:ZADOLZITELNO Vnesete REFERENTEN BROJ na Deklaracijata !"_s;
        for (const char *typed : {"", "  ", "abc", "12a", "1.2.3", "-", "."})
            QTest::addRow("108 reference '%s'", typed)
                << u"108"_s << QStringList{u"p_nal4="_s + QString::fromLatin1(typed)} << none
                << QString() << QStringList{reference, u"F:p_nal4"_s} << false << QStringList();
        const QString registration =
            u"I:ZADOLZITELNO Vnesete BROJ na REGISTRACIJA na Deklaracijata !"_s;
        for (const char *kind : {"205", "GAR"})
            QTest::addRow("%s registration missing", kind)
                << QString::fromLatin1(kind) << QStringList{u"p_nal4=x"_s} << none << QString()
                << QStringList{registration, u"F:p_nal4"_s} << false << QStringList();
        QTest::newRow("108 reference with a sign") << u"108"_s << QStringList{u"p_nal4= -12 "_s}
                                                   << none << QString() << QStringList() << true
                                                   << QStringList();
        QTest::newRow("205 marker with a blank")
            << u"205"_s << QStringList{u"p_nal5= 1"_s} << none << QString()
            << QStringList{u"I:ZADOLZITELNO Vnesete BROJ 0 ili 1 "_s, u"F:p_nal5"_s} << false
            << QStringList();
        QTest::newRow("205 marker 0") << u"205"_s << QStringList{u"p_nal5=0"_s} << none << QString()
                                      << QStringList() << true << QStringList();
        QTest::newRow("GAR marker 0")
            << u"GAR"_s << QStringList{u"p_nal5=0"_s} << none << QString()
            << QStringList{u"I:ZADOLZITELNO Vnesete BROJ 1 "_s, u"F:p_nal5"_s} << false
            << QStringList();
        QTest::newRow("701 optional number, known")
            << u"701"_s << QStringList{u"p_nal4= 4030999123456 "_s} << none << QString()
            << QStringList() << true << QStringList();
        QTest::newRow("701 optional number is not cut to 13")
            << u"701"_s << QStringList{u"p_nal4=4030999123456XY"_s} << yes << QString()
            << QStringList{u"F:p_nal4"_s,
                           u"Q:Danocniot broj: 4030999123456XY Nepostoi ! , Dali Da go "
                           "Prifatam ? "_s,
                           unknownPayerWarning}
            << true << QStringList();
        const QString guarantee = u"I:Garancija Broj mora da e 10 Mesta !"_s;
        QTest::newRow("900 guarantee of 9")
            << u"900"_s << QStringList{u"p_nal3=G12345678"_s} << none << QString()
            << QStringList{u"F:p_nal3"_s, guarantee} << false << QStringList();
        QTest::newRow("900 purpose of 11")
            << u"900"_s << QStringList{u"c_nal1=G1234567890"_s} << none << QString()
            << QStringList{u"F:c_nal1"_s, guarantee} << false << QStringList();
        QTest::newRow("900 trimmed lengths")
            << u"900"_s << QStringList{u"p_nal3= G123456789 "_s} << none << QString()
            << QStringList() << true << QStringList();
        QTest::newRow("other kind skips every kind check")
            << u"XYZ"_s << QStringList{u"p_nal2=1999"_s, u"p_nal3="_s, u"p_nal4="_s} << none
            << QString() << QStringList() << true << QStringList();

        // The first refused step wins.
        QTest::newRow("amount before method")
            << u"108"_s << QStringList{u"mkd1=0"_s, u"nac=9"_s} << none << QString()
            << QStringList{u"F:mkd1"_s, amount} << false << QStringList();
        QTest::newRow("amount before decimals")
            << u"108"_s << QStringList{u"mkd1=0"_s, u"mkd2=5"_s} << none << QString()
            << QStringList{u"F:mkd1"_s, amount} << false << QStringList();
        QTest::newRow("municipality before method")
            << u"108"_s << QStringList{u"us2=999"_s, u"nac=9"_s} << no << QString()
            << QStringList{u"F:us2"_s, municipalityQuestion,
                           u"I:Trelokot ne e Snimen,Vnesete tocna Sifra na Opstina !"_s}
            << false << QStringList();
        QTest::newRow("payer before amount")
            << u"108"_s << QStringList{u"d_nal=1"_s, u"mkd1=0"_s} << no << QString()
            << QStringList{u"F:d_nal"_s,
                           u"Q:Danocniot broj: 1 Nepostoi ! , Dali Da go Prifatam ? "_s,
                           payerRefused}
            << false << QStringList();
    }

    void steps()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, changes);
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, office);
        QFETCH(QStringList, log);
        QFETCH(bool, passed);
        QFETCH(QStringList, after);

        TestDb db;
        db.exec("INSERT INTO tbl_obvr (dec_cod, dec_nam) VALUES (?, ?)", {payer, u"Primer"_s});
        EntryFields f = validOrder(kind);
        apply(f, changes);
        ScriptedEntryDialog dialog;
        dialog.answers = answers;
        dialog.officeChosen = office;
        auto result = validateEntry(db.store, dialog, kind, u"2026"_s, f);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(dialog.log, log);
        QCOMPARE(result.value().passed, passed);
        QVERIFY(dialog.answers.isEmpty());
        // Where the run stopped, its message is the last one shown.
        if (!passed)
            QCOMPARE(u"I:"_s + result.value().stopMessage,
                     log.last().startsWith(u"F:"_s) ? log[log.size() - 2] : log.last());
        EntryFields expected = validOrder(kind);
        apply(expected, changes);
        apply(expected, after);
        for (const auto &[name, m] : EntryFields::boxes())
            QCOMPARE(name + u'=' + f.*m, name + u'=' + expected.*m);
    }

    void composition_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("segments"); // p_nal1 .. p_nal5
        QTest::addColumn<QString>("p_nal");
        QTest::newRow("108") << u"108"_s
                             << QStringList{u"108"_s, u"2026"_s, u" 1010"_s, u"77 "_s, u"9"_s}
                             << u"108-2026- 1010-77 "_s;
        QTest::newRow("205 with marker")
            << u"205"_s << QStringList{u"205"_s, u"2026"_s, u"1010"_s, u"55"_s, u"0"_s}
            << u"205-2026-1010-55-0"_s;
        QTest::newRow("GAR blank marker left out")
            << u"GAR"_s << QStringList{u"900"_s, u"2026"_s, u"1010"_s, u"55"_s, u" "_s}
            << u"900-2026-1010-55"_s;
        QTest::newRow("701 without number")
            << u"701"_s << QStringList{u"701"_s, u"2026"_s, u"1010"_s, u"  "_s, u"4"_s}
            << u"701-1010"_s;
        QTest::newRow("701 with number")
            << u"701"_s << QStringList{u"701"_s, u"2026"_s, u"1010"_s, u"4030"_s, u"4"_s}
            << u"701-1010-4030"_s;
        QTest::newRow("900") << u"900"_s
                             << QStringList{u""_s, u"x"_s, u"G123456789 "_s, u"y"_s, u"z"_s}
                             << u"G123456789 "_s;
        QTest::newRow("other kind keeps p_nal")
            << u"XYZ"_s << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s} << u"kept"_s;
    }

    void composition()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, segments);
        QFETCH(QString, p_nal);
        EntryFields f;
        f.p_nal = u"kept"_s;
        f.p_nal1 = segments[0];
        f.p_nal2 = segments[1];
        f.p_nal3 = segments[2];
        f.p_nal4 = segments[3];
        f.p_nal5 = segments[4];
        composeReference(kind, f);
        QCOMPARE(f.p_nal, p_nal);
    }
};

QTEST_GUILESS_MAIN(TestValidation)
#include "tst_validation.moc"
