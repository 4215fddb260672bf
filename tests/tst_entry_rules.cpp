#include "app_fixture.h"
#include "literal_messages.h"

#include "entry/entry_filling.h"
#include "entry/kind_layout.h"
#include "refdata/code_picker.h"

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {
QString fixedDataMessage()
{
    return u"Odete na Menito 'Servis'/'Vasi Fiksni Podatoci' \n za da gi postavite Parametrite  "
           "na Vasata Firma,\n za da ne gi pisuvate na sekoj trelok !"_s;
}
// What filling reads in the fixture.
EntrySources sources(AppFixture &app)
{
    return {app.context.store, app.context.clock, app.context.prompter};
}
} // namespace

class TestEntryRules : public QObject {
    Q_OBJECT
private slots:
    void layoutByKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("shown"); // visible segments and dashes, left to right
        QTest::addColumn<int>("p_nal3Left");
        QTest::addColumn<int>("p_nal3Max");
        QTest::addColumn<bool>("officeButton");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("hintLeft");
        QTest::newRow("108") << u"108"_s << u"1-2-3-4"_s << 1800 << 0 << true
                             << u"(Referenten br)"_s << 2760;
        QTest::newRow("205") << u"205"_s << u"1-2-3-4-5"_s << 1800 << 0 << true
                             << u"(Y-Broj.ecd.)"_s << 2760;
        QTest::newRow("GAR like 205")
            << u"GAR"_s << u"1-2-3-4-5"_s << 1800 << 0 << true << u"(Y-Broj.ecd.)"_s << 2760;
        QTest::newRow("701") << u"701"_s << u"1-3-4"_s << 1800 << 0 << true << u"(Dan.br/prazno)"_s
                             << 2760;
        QTest::newRow("900") << u"900"_s << u"3"_s << 120 << 10 << false << u"(Garancija br)"_s
                             << 120;
        QTest::newRow("unknown") << u"333"_s << u"1-2-3-4-"_s << 1800 << 0 << true
                                 << u"(referenten br)"_s << 2760;
        QTest::newRow("none") << u"000"_s << u"1-2-3-4-"_s << 1800 << 0 << true
                              << u"(referenten br)"_s << 2760;
        QTest::newRow("gar in small letters")
            << u"gar"_s << u"1-2-3-4-"_s << 1800 << 0 << true << u"(referenten br)"_s << 2760;
    }
    void layoutByKind()
    {
        QFETCH(QString, kind);
        QFETCH(QString, shown);
        QFETCH(int, p_nal3Left);
        QFETCH(int, p_nal3Max);
        QFETCH(bool, officeButton);
        QFETCH(QString, hint);
        QFETCH(int, hintLeft);
        const KindLayout l = kindLayout(kind, u"Opis"_s);
        QString line;
        auto segment = [&line](bool visible, char digit) {
            if (visible)
                line += QLatin1Char(digit);
        };
        auto dash = [&line](bool visible) {
            if (visible)
                line += u'-';
        };
        segment(l.p_nal1Visible, '1');
        dash(l.label4Visible);
        segment(l.p_nal2Visible, '2');
        dash(l.label5Visible);
        line += u'3';
        dash(l.label10Visible);
        segment(l.p_nal4Visible, '4');
        dash(l.label11Visible);
        segment(l.p_nal5Visible, '5');
        QCOMPARE(line, shown);
        QCOMPARE(l.p_nal3Left, p_nal3Left);
        QCOMPARE(l.p_nal3Width, p_nal3Left == 120 ? 1200 : 615);
        QCOMPARE(l.p_nal3MaxLength, p_nal3Max);
        QCOMPARE(l.command3Visible, officeButton);
        QCOMPARE(l.command5Caption, hint);
        QCOMPARE(l.command5Left, hintLeft);
        QCOMPARE(l.label3Caption, kind + u"-Opis"_s);
        QCOMPARE(kindLayout(kind, QString()).label3Caption, kind + u"-"_s);
    }

    void newOrderWithFixedData_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("p_nal1");
        QTest::addColumn<QString>("p_nal3");
        QTest::addColumn<QString>("p_nal5");
        QTest::addColumn<QString>("c_nal1");
        QTest::newRow("108") << u"108"_s << u"108"_s << QString() << QString()
                             << u"4030999123456"_s;
        QTest::newRow("GAR") << u"GAR"_s << u"900"_s << QString() << u"1"_s << u"4030999123456"_s;
        QTest::newRow("900") << u"900"_s << u"900"_s << u"900"_s << QString() << QString();
    }
    void newOrderWithFixedData()
    {
        QFETCH(QString, kind);
        QFETCH(QString, p_nal1);
        QFETCH(QString, p_nal3);
        QFETCH(QString, p_nal5);
        QFETCH(QString, c_nal1);
        AppFixture app;
        app.enterFixedData();
        EntrySession session{EntryMode::New, kind, QString(), u"Opis na vidot"_s};
        const EntryFilling filling = fillEntry(sources(app), session).value();
        QVERIFY(app.prompter.shown.isEmpty());
        const EntryFields &f = filling.fields;
        QCOMPARE(filling.caption, u"Vnes na nov Trelok "_s);
        QCOMPARE(filling.command1Caption, u" OK - Snimi "_s);
        QCOMPARE(f.nal1, u"Primer DOOEL"_s);
        QCOMPARE(f.nal2, u"ul. Partizanska 12"_s);
        QCOMPARE(f.b_nal, u"Komercijalna banka"_s);
        QCOMPARE(f.s_nal, u"300000000123456"_s);
        QCOMPARE(f.d_nal, u"4030999123456"_s);
        QCOMPARE(f.p_nal, u"108-2026"_s);
        QCOMPARE(f.c_nal1, c_nal1);
        QCOMPARE(f.c_nal2, u"Opis na vidot"_s);
        QCOMPARE(f.s_pri, u"100000000063095"_s);
        QCOMPARE(f.mkd1, u"100"_s);
        QCOMPARE(f.mkd2, u"00"_s);
        QCOMPARE(f.us1, u"845"_s);
        QCOMPARE(f.us2, u"004"_s);
        QCOMPARE(f.us3, u"00960"_s);
        QCOMPARE(f.nac, u"1"_s);
        QCOMPARE(f.dat, u"08.12.2026"_s);
        QCOMPARE(f.mes, u"Skopje"_s);
        QCOMPARE(f.valu, QString());
        QCOMPARE(f.p_nal1, p_nal1);
        QCOMPARE(f.p_nal2, u"2026"_s);
        QCOMPARE(f.p_nal3, p_nal3);
        QCOMPARE(f.p_nal4, QString());
        QCOMPARE(f.p_nal5, p_nal5);
        for (const QString &v : {f.sb1, f.sb2, f.sb3, f.ps1, f.ps2})
            QCOMPARE(v, QString());
    }

    void fixedDataNeverEntered_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("missing");
        QTest::newRow("factory") << u"NAZIV NA FIRMATA"_s << true;
        QTest::newRow("small letters, blanks") << u"   naziv na firmata"_s << true;
        QTest::newRow("mixed, more words") << u"Naziv Narodna banka"_s << true;
        QTest::newRow("single word") << u"Naziv"_s << false;
        QTest::newRow("real name") << u"Primer DOOEL"_s << false;
    }
    void fixedDataNeverEntered()
    {
        QFETCH(QString, name);
        QFETCH(bool, missing);
        QCOMPARE(fixedDataMissing(name), missing);
        AppFixture app;
        app.enterFixedData(name);
        EntrySession session{EntryMode::New, u"GAR"_s, QString()};
        const EntryFilling filling = fillEntry(sources(app), session).value();
        if (!missing) {
            QVERIFY(app.prompter.shown.isEmpty());
            return;
        }
        QCOMPARE(app.prompter.shown, QStringList{fixedDataMessage()});
        EntryFields expected;
        expected.dat = u"08.12.2026"_s;
        expected.p_nal1 = u"900"_s;
        expected.p_nal2 = u"2026"_s;
        expected.p_nal5 = u"1"_s;
        for (const auto &[box, member] : EntryFields::boxes())
            QCOMPARE(filling.fields.*member, expected.*member);
    }

    void missingConfigurationRowEndsTheApplication()
    {
        AppFixture app;
        app.db.exec("DELETE FROM tbl_cnf");
        EntrySession session{EntryMode::New, u"108"_s, QString()};
        const auto filled = fillEntry(sources(app), session);
        QVERIFY(!filled);
        app.context.fail(filled); // what the window does with it
        QCOMPARE(app.prompter.shown, QStringList{literal::configMissing()});
        QCOMPARE(app.ended, QList<int>{1});
    }

    void changeModeSplitsTheReference_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("povik");
        QTest::addColumn<QStringList>("segments");
        QTest::newRow("108") << u"108"_s << u"108-2026-1010-12345"_s
                             << QStringList{u"108"_s, u"2026"_s, u"1010"_s, u"12345"_s, QString()};
        QTest::newRow("205") << u"205"_s << u"205-2026-1010-Y77-1"_s
                             << QStringList{u"205"_s, u"2026"_s, u"1010"_s, u"Y77"_s, u"1"_s};
        QTest::newRow("GAR") << u"GAR"_s << u"900-2026-1010-Y77-1"_s
                             << QStringList{u"900"_s, u"2026"_s, u"1010"_s, u"Y77"_s, u"1"_s};
        QTest::newRow("701, no year")
            << u"701"_s << u"701-1010-4030999123456"_s
            << QStringList{u"701"_s, QString(), u"1010"_s, u"4030999123456"_s, QString()};
        QTest::newRow("701, fourth piece")
            << u"701"_s << u"701-1010-4030999123456-77"_s
            << QStringList{u"701"_s, QString(), u"1010"_s, u"4030999123456"_s, u"77"_s};
        QTest::newRow("900, guarantee")
            << u"900"_s << u"G123456789"_s
            << QStringList{QString(), QString(), u"G123456789"_s, QString(), QString()};
        QTest::newRow("empty reference")
            << u"108"_s << QString()
            << QStringList{QString(), QString(), QString(), QString(), QString()};
    }
    void changeModeSplitsTheReference()
    {
        QFETCH(QString, kind);
        QFETCH(QString, povik);
        QFETCH(QStringList, segments);
        AppFixture app;
        app.storeOrder(u"7/2026"_s, kind, povik);
        EntrySession session{EntryMode::Change, kind, u"7/2026"_s};
        const EntryFilling filling = fillEntry(sources(app), session).value();
        QVERIFY(app.prompter.shown.isEmpty());
        QCOMPARE(filling.caption, u"Promena na Trelok 7/2026"_s);
        QCOMPARE(filling.command1Caption, u" OK - Promeni "_s);
        const EntryFields &f = filling.fields;
        QCOMPARE((QStringList{f.p_nal1, f.p_nal2, f.p_nal3, f.p_nal4, f.p_nal5}), segments);
        QCOMPARE(f.nal1, u"v2"_s);
        QCOMPARE(f.p_nal, povik);
        QCOMPARE(f.sb1, u"v19"_s);
        QCOMPARE(f.ps2, u"v23"_s);
        QCOMPARE(f.valu, u"v28"_s);
        QCOMPARE(session.kind, kind);
        QVERIFY(!session.description.isEmpty());
        QCOMPARE(filling.label3Caption, kind + u"-"_s + session.description);
    }

    void changeModeOfADeletedOrder()
    {
        AppFixture app;
        EntrySession session{EntryMode::Change, u"108"_s, u"3/2026"_s};
        const EntryFilling filling = fillEntry(sources(app), session).value();
        QCOMPARE(app.prompter.shown,
                 QStringList{u"Trelokot Ne POSTOI,Izbrisani se Podatocite !"_s});
        QCOMPARE(filling.caption, u"Promena na Trelok 3/2026"_s);
        EntryFields design = EntryFields::design();
        for (const auto &[box, member] : EntryFields::boxes())
            QCOMPARE(filling.fields.*member, design.*member);
    }

    void changeModeOfAnUnknownKind()
    {
        AppFixture app;
        app.storeOrder(u"4/2026"_s, u"ZZZ"_s, u"ZZZ-1-2"_s);
        EntrySession session{EntryMode::Change, u"ZZZ"_s, u"4/2026"_s};
        const EntryFilling filling = fillEntry(sources(app), session).value();
        QCOMPARE(app.prompter.shown, QStringList{u"Nepostoecki Vid na Uplata !"_s});
        QCOMPARE(session.kind, u"000"_s);
        QCOMPARE(filling.fields.nal1, u"v2"_s);
        QCOMPARE(filling.fields.p_nal1, QString());
    }

    void guaranteeCopiedIntoEmptyPurpose_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("c_nal1");
        QTest::addColumn<QString>("expected");
        QTest::newRow("900, empty") << u"900"_s << QString() << u" G-55 "_s;
        QTest::newRow("900, blanks only") << u"900"_s << u"   "_s << u" G-55 "_s;
        QTest::newRow("900, text kept") << u"900"_s << u"x"_s << u"x"_s;
        QTest::newRow("108 untouched") << u"108"_s << QString() << QString();
    }
    void guaranteeCopiedIntoEmptyPurpose()
    {
        QFETCH(QString, kind);
        QFETCH(QString, c_nal1);
        QFETCH(QString, expected);
        EntryFields f;
        f.p_nal3 = u" G-55 "_s;
        f.c_nal1 = c_nal1;
        p_nal3_LostFocus(EntrySession{EntryMode::New, kind, QString()}, f);
        QCOMPARE(f.c_nal1, expected);
    }

    void pickerAcceptance_data()
    {
        QTest::addColumn<bool>("office");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("municipality, blanks around")
            << false << u" 004 "_s << int(PickerCheck::Accepted)
            << u"Kodot na Opstinata e Uspesno Izbran :  004  - Bitola"_s;
        QTest::newRow("municipality, two digits")
            << false << u" 12 "_s << int(PickerCheck::WrongLength)
            << u"Opstinata mora da e 3 Brojki"_s;
        QTest::newRow("municipality, unknown") << false << u"999"_s << int(PickerCheck::NotFound)
                                               << u"Nepostoi Opstina: 999 , Izberi ja od lista !"_s;
        QTest::newRow("office")
            << true << u"1010"_s << int(PickerCheck::Accepted)
            << u"Kodot na ispostava e Uspesno Izbran : 1010 - Ispostava Skopje 1"_s;
        QTest::newRow("office, three") << true << u"101"_s << int(PickerCheck::WrongLength)
                                       << u"Ispostavata mora da e 4 Brojki"_s;
        QTest::newRow("office, letters looked up")
            << true << u"ABCD"_s << int(PickerCheck::NotFound)
            << u"Nepostoi Ispostava: ABCD , Izberi ja od lista !"_s;
        QTest::newRow("office stored with blanks")
            << true << u"7777"_s << int(PickerCheck::Accepted)
            << u"Kodot na ispostava e Uspesno Izbran : 7777 - Padded"_s;
    }
    void pickerAcceptance()
    {
        QFETCH(bool, office);
        QFETCH(QString, typed);
        QFETCH(int, result);
        QFETCH(QString, message);
        AppFixture app;
        app.db.exec("INSERT INTO tbl_cuo (key_cuo, cuo_desc) VALUES (?, ?)",
                    {u" 7777  "_s, u" Padded "_s});
        const PickerKind &kind = office ? customsOfficePicker() : municipalityPicker();
        auto check = checkCode(app.db.store, kind, typed);
        QVERIFY(check.ok());
        QCOMPARE(int(check.value().result), result);
        QCOMPARE(check.value().message, message);
        if (result == PickerCheck::Accepted)
            QCOMPARE(check.value().code, typed.trimmed());
    }

    void pickerListsSkipRowsWithoutCode()
    {
        AppFixture app;
        app.db.exec("DELETE FROM tbl_opst");
        app.db.exec(
            "INSERT INTO tbl_opst (sifra, opstina) VALUES (' 001 ', ' Prva '), (NULL, 'x'), "
            "('002', NULL)");
        auto lines = listCodes(app.db.store, municipalityPicker());
        QCOMPARE(lines.value().size(), 2);
        QCOMPARE(lines.value()[0].code, u"001"_s);
        QCOMPARE(lines.value()[0].name, u"Prva"_s);
        QCOMPARE(lines.value()[1].name, QString());
    }
};

QTEST_GUILESS_MAIN(TestEntryRules)
#include "tst_entry_rules.moc"
