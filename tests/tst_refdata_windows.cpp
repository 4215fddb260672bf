#include "app_fixture.h"
#include "gui_support.h"

#include "entry/entry_filling.h"
#include "entry/validation.h"
#include "refdata/dan_ref.h"
#include "refdata/fix_firm.h"
#include "shell/form1.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

const QString loading =
    u"Vnimanie !, Otvaranjeto na Listata na Danocni Obvrznici ke Potrae okolu 20 sekundi !"_s;

QLineEdit *box(QWidget *window, const QString &name)
{
    return window->findChild<QLineEdit *>(name);
}

void click(QWidget *window, const QString &name)
{
    window->findChild<QPushButton *>(name)->click();
}

struct StoredTaxpayer {
    QString code, name, address, city;
    bool operator==(const StoredTaxpayer &) const = default;
};

QList<StoredTaxpayer> storedTaxpayers(TestDb &db)
{
    QList<StoredTaxpayer> rows;
    const auto read = db.store.select("SELECT * FROM tbl_obvr ORDER BY dec_cod");
    for (const Row &row : read.value())
        rows.append({row.raw(u"dec_cod"_s).toString(), row.raw(u"dec_nam"_s).toString(),
                     row.raw(u"dec_ad3"_s).toString(), row.raw(u"dec_tlx"_s).toString()});
    return rows;
}

void addRaw(TestDb &db, const QVariant &code, const QVariant &name, const QVariant &address,
            const QVariant &city)
{
    db.exec("INSERT INTO tbl_obvr (dec_cod, dec_nam, dec_ad3, dec_tlx) VALUES (?,?,?,?)",
            {code, name, address, city});
}

// The list's lines, each as its four texts joined by "|".
QStringList lines(dan_ref &window)
{
    QStringList out;
    QAbstractItemModel *model = window.list()->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << model->index(r, c).data().toString();
        out << cells.join(u'|');
    }
    return out;
}

void selectLine(dan_ref &window, int row)
{
    window.list()->setCurrentIndex(window.list()->model()->index(row, 0));
}

void fillPanel(dan_ref &window, const QString &code, const QString &name, const QString &address,
               const QString &city)
{
    if (!box(&window, u"Text1"_s)->isReadOnly())
        box(&window, u"Text1"_s)->setText(code);
    box(&window, u"Text2"_s)->setText(name);
    box(&window, u"Text3"_s)->setText(address);
    box(&window, u"Text4"_s)->setText(city);
}

// The edit panel's controls.
QStringList panelNames()
{
    return {u"Text1"_s,  u"Text2"_s,  u"Text3"_s,  u"Text4"_s,    u"Label1"_s,  u"Label2"_s,
            u"Label3"_s, u"Label4"_s, u"Label5"_s, u"Command5"_s, u"Command6"_s};
}

bool panelShown(dan_ref &window)
{
    for (const QString &name : panelNames())
        if (!window.findChild<QWidget *>(name)->isVisibleTo(&window))
            return false;
    return true;
}

bool panelHidden(dan_ref &window)
{
    for (const QString &name : panelNames())
        if (window.findChild<QWidget *>(name)->isVisibleTo(&window))
            return false;
    return true;
}

} // namespace

class TestRefdataWindows : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QVERIFY(openWindows().isEmpty()); }

    // fix_firm -----------------------------------------------------------

    void fixedDataWindowLayout()
    {
        AppFixture app;
        fix_firm window(app.context);
        QVERIFY(window.Form_Load());
        QCOMPARE(window.windowTitle(), u"Fiksni Podatoci za Firmata"_s);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(tabWalk(&window, 11),
                 (QStringList{u"nal1"_s, u"nal2"_s, u"b_nal"_s, u"s_nal"_s, u"d_nal"_s, u"mes"_s,
                              u"us2"_s, u"Command3"_s, u"Command2"_s, u"Command1"_s, u"nal1"_s}));
        const QStringList captions{
            u"Vnes na Fiksni Podatoci za Firmata"_s,
            u"Nalogodava~"_s,
            u"Banka na nalogodava~ot"_s,
            u"Smetka"_s,
            u"Dano~en Broj ili EMBG"_s,
            u"Mesto                                      [ifra na Op{tina"_s};
        QStringList shown;
        for (QLabel *l : window.findChildren<QLabel *>())
            shown << l->text();
        for (const QString &caption : captions)
            QVERIFY2(shown.contains(caption), qPrintable(caption));
        for (QWidget *w : window.findChildren<QWidget *>())
            if (qobject_cast<QLabel *>(w) || qobject_cast<QLineEdit *>(w) ||
                qobject_cast<QPushButton *>(w))
                QCOMPARE(w->font().family(), u"MAC C Times"_s);
        QCOMPARE(box(&window, u"nal1"_s)->accessibleName(), u"Налогодавач"_s);
        QCOMPARE(box(&window, u"b_nal"_s)->accessibleName(), u"Банка на налогодавачот"_s);
        QCOMPARE(box(&window, u"d_nal"_s)->accessibleName(), u"Даночен Број или ЕМБГ"_s);
        QCOMPARE(box(&window, u"us2"_s)->accessibleName(), u"Шифра на Општина"_s);
        QCOMPARE(window.findChild<QPushButton *>(u"Command3"_s)->text(), u"OK - Snimi"_s);
        QCOMPARE(window.findChild<QPushButton *>(u"Command2"_s)->text(), u"Izlez / Otkaz"_s);
        QCOMPARE(window.findChild<QPushButton *>(u"Command1"_s)->text(), u"POMO[ (help)"_s);
        click(&window, u"Command1"_s);
        QCOMPARE(app.prompter.shown,
                 QStringList{u"Vnesete gi Nazivot , Adresata, Vasata Smetka,Danocen Broj i "
                             "Mesto\nZa da vi se pojavuvaat potpolneti pri sekoj NOV Trelok !"_s});
        QVERIFY(window.isVisible());
        click(&window, u"Command2"_s);
        QVERIFY(!window.isVisible());
    }

    void fixedDataSavedThroughTheMenu()
    {
        AppFixture app;
        app.db.exec("UPDATE tbl_cnf set nalog1=' Stara Firma ', mesto='  Kicevo', "
                    "up_smet2=' 004 ' where trelok_br='0000000000'");
        Form1 form(app.context);
        whenIdle([] {
            auto *window = waitForWindow<fix_firm>(u"fix_firm"_s);
            QVERIFY(window);
            QCOMPARE(box(window, u"nal1"_s)->text(), u"Stara Firma"_s);
            QCOMPARE(box(window, u"mes"_s)->text(), u"Kicevo"_s);
            QCOMPARE(box(window, u"us2"_s)->text(), u"004"_s);
            box(window, u"nal2"_s)->setText(u"  ул. Гоце Делчев 'бр. 5' "_s);
            box(window, u"us2"_s)->setText(u"004 "_s);
            click(window, u"Command3"_s);
        });
        form.findChild<QAction *>(u"vfpd"_s)->trigger();
        QCOMPARE(app.prompter.shown, QStringList{u"Uspesno Snimeni Fiksni Podatoci !"_s});
        const Row row = app.db.store.first(sql::cnf::configRow).value().value();
        QCOMPARE(row.raw(u"nalog1"_s).toString(), u"Stara Firma"_s);
        QCOMPARE(row.raw(u"nalog2"_s).toString(), u"ул. Гоце Делчев 'бр. 5'"_s);
        QCOMPARE(row.raw(u"mesto"_s).toString(), u"Kicevo"_s);
        QCOMPARE(row.raw(u"up_smet2"_s).toString(), u"004 "_s);
        QVERIFY(app.ended.isEmpty());
    }

    void newOrderAfterTheFixedDataWereEntered()
    {
        AppFixture app;
        EntrySession session{EntryMode::New, u"108"_s, QString(), u"Carina"_s};
        const EntrySources sources{app.context.store, app.context.clock, app.context.prompter};
        // A new installation asks for the fixed data.
        (void)fillEntry(sources, session);
        QCOMPARE(app.prompter.shown.size(), 1);
        QVERIFY(app.prompter.shown.first().startsWith(
            u"Odete na Menito 'Servis'/'Vasi Fiksni Podatoci' "_s));

        Form1 form(app.context);
        whenIdle([] {
            auto *window = waitForWindow<fix_firm>(u"fix_firm"_s);
            QVERIFY(window);
            const QStringList typed{u" Зора ДООЕЛ "_s,
                                    u"ul. \"Makedonija\" 3"_s,
                                    u"Stopanska banka"_s,
                                    u"200000000012345"_s,
                                    u"4030999123456"_s,
                                    u" Ohrid "_s,
                                    u"012"_s};
            const QStringList names{u"nal1"_s,  u"nal2"_s, u"b_nal"_s, u"s_nal"_s,
                                    u"d_nal"_s, u"mes"_s,  u"us2"_s};
            for (int i = 0; i < names.size(); ++i)
                box(window, names[i])->setText(typed[i]);
            click(window, u"Command3"_s);
        });
        form.vfpd_Click();
        app.prompter.shown.clear();
        const EntryFilling filled = fillEntry(sources, session).value();
        QVERIFY(app.prompter.shown.isEmpty());
        QCOMPARE(filled.fields.nal1, u"Зора ДООЕЛ"_s);
        QCOMPARE(filled.fields.nal2, u"ul. \"Makedonija\" 3"_s);
        QCOMPARE(filled.fields.b_nal, u"Stopanska banka"_s);
        QCOMPARE(filled.fields.s_nal, u"200000000012345"_s);
        QCOMPARE(filled.fields.d_nal, u"4030999123456"_s);
        QCOMPARE(filled.fields.mes, u"Ohrid"_s);
        QCOMPARE(filled.fields.us2, u"012"_s);
    }

    void fixedDataCancelledWritesNothing()
    {
        AppFixture app;
        const QByteArray before = digest(databasePath(app.db.dir.path()));
        Form1 form(app.context);
        whenIdle([] {
            auto *window = waitForWindow<fix_firm>(u"fix_firm"_s);
            QVERIFY(window);
            box(window, u"nal1"_s)->setText(u"Izmeneto"_s);
            click(window, u"Command2"_s);
        });
        form.vfpd_Click();
        QVERIFY(app.prompter.shown.isEmpty());
        QCOMPARE(digest(databasePath(app.db.dir.path())), before);
    }

    void fixedDataWithoutConfigurationRowEndsTheApplication()
    {
        AppFixture app;
        app.db.exec("DELETE FROM tbl_cnf");
        Form1 form(app.context);
        form.vfpd_Click();
        QCOMPARE(
            app.prompter.shown,
            QStringList{u"Izbrisani se Konfiguraciskite Fajlovi, Preinstaliraj go Proektot !"_s});
        QCOMPARE(app.ended, QList<int>{1});
    }

    // dan_ref ------------------------------------------------------------

    void registerListAndLayout()
    {
        AppFixture app;
        addRaw(app.db, u"5000000000005"_s, u"Beta"_s, u"Ul. 5"_s, QVariant());
        addRaw(app.db, u"1000000000001"_s, QVariant(), QVariant(), u"Ohrid"_s);
        dan_ref window(app.context);
        QVERIFY(window.Form_Load());
        QCOMPARE(app.prompter.shown, QStringList{loading});
        QCOMPARE(window.windowTitle(), u"Izbor na Danocen broj"_s);
        QCOMPARE(lines(window),
                 (QStringList{u"1000000000001|||Ohrid"_s, u"5000000000005|Beta|Ul. 5|0"_s}));
        QAbstractItemModel *model = window.list()->model();
        QStringList headers;
        for (int c = 0; c < model->columnCount(); ++c)
            headers << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{u"Danocen broj"_s, u"Naziv"_s, u"Adresa"_s, u"Grad"_s}));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(panelHidden(window));
        QCOMPARE(tabWalk(&window, 7),
                 (QStringList{u"ListView1"_s, u"Command1"_s, u"Command2"_s, u"Command3"_s,
                              u"Command4"_s, u"baraj"_s, u"ListView1"_s}));
        QCOMPARE(window.findChild<QPushButton *>(u"Command1"_s)->accessibleName(), u"ОК"_s);
        QCOMPARE(window.findChild<QPushButton *>(u"Command2"_s)->accessibleName(), u"Отказ"_s);
        QCOMPARE(window.findChild<QPushButton *>(u"Command3"_s)->accessibleName(), u"Промени"_s);
        QCOMPARE(window.findChild<QPushButton *>(u"Command4"_s)->accessibleName(), u"Додади Нов"_s);
        QCOMPARE(window.findChild<QPushButton *>(u"Command3"_s)->text(), u"&Promeni"_s);
        QCOMPARE(window.list()->font().family(), u"MAC C Times"_s);

        click(&window, u"Command4"_s);
        QVERIFY(panelShown(window));
        QCOMPARE(window.findChild<QLabel *>(u"Label5"_s)->text(), u" ** Vnesi Nov **"_s);
        QCOMPARE(window.focusWidget(), box(&window, u"Text1"_s));
        QCOMPARE(tabWalk(&window, 8),
                 (QStringList{u"Text1"_s, u"Text2"_s, u"Text3"_s, u"Text4"_s, u"Command5"_s,
                              u"Command6"_s, u"baraj"_s, u"ListView1"_s}));
        QCOMPARE(box(&window, u"Text1"_s)->accessibleName(), u"Даночен број:"_s);
        QCOMPARE(box(&window, u"Text4"_s)->accessibleName(), u"Град:"_s);
        QCOMPARE(box(&window, u"Text1"_s)->maxLength(), 13);
        QCOMPARE(box(&window, u"Text2"_s)->maxLength(), 35);
        QCOMPARE(box(&window, u"Text3"_s)->maxLength(), 35);
        QCOMPARE(box(&window, u"Text4"_s)->maxLength(), 17);
        QCOMPARE(window.findChild<QPushButton *>(u"Command5"_s)->text(),
                 u"OK-Prifati ja Promenata"_s);
        QCOMPARE(window.findChild<QPushButton *>(u"Command6"_s)->text(), u"Otkaz na Promenata"_s);
        click(&window, u"Command6"_s);
        QVERIFY(panelHidden(window));
        click(&window, u"Command2"_s);
        QVERIFY(!window.isVisible());
    }

    void changeOfANullCityShowsZero()
    {
        AppFixture app;
        addRaw(app.db, u"1000000000001"_s, u"Alfa"_s, u"Ul. 1"_s, u"Ohrid"_s);
        addRaw(app.db, u"5000000000005"_s, u" Beta "_s, u"Ul. 5"_s, QVariant());
        dan_ref window(app.context);
        QVERIFY(window.Form_Load());
        // No line selected: nothing happens.
        window.Command3_Click();
        QVERIFY(panelHidden(window));
        selectLine(window, 1);
        click(&window, u"Command3"_s);
        QVERIFY(panelShown(window));
        QCOMPARE(window.findChild<QLabel *>(u"Label5"_s)->text(), u" ** Promena **"_s);
        QVERIFY(box(&window, u"Text1"_s)->isReadOnly());
        QCOMPARE(box(&window, u"Text1"_s)->text(), u"5000000000005"_s);
        QCOMPARE(box(&window, u"Text2"_s)->text(), u"Beta"_s);
        QCOMPARE(box(&window, u"Text3"_s)->text(), u"Ul. 5"_s);
        QCOMPARE(box(&window, u"Text4"_s)->text(), u"0"_s);

        // Changing to an empty city is refused; the focus goes to the city.
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box(&window, u"Text4"_s)->setText(u"   "_s);
        const auto before = storedTaxpayers(app.db);
        app.prompter.shown.clear();
        click(&window, u"Command5"_s);
        QCOMPARE(app.prompter.shown, QStringList{u"Vnesete grad na Komitentot!"_s});
        QCOMPARE(window.focusWidget(), box(&window, u"Text4"_s));
        QVERIFY(panelShown(window));
        QCOMPARE(storedTaxpayers(app.db), before);

        // Answering No stores nothing.
        fillPanel(window, {}, u" Beta Nova "_s, u" Ul. 6 "_s, u" Struga "_s);
        app.prompter.shown.clear();
        app.prompter.answers = {Answer::No};
        click(&window, u"Command5"_s);
        QCOMPARE(app.prompter.shown, QStringList{u"Dali navistina ja prifakate promenata ? "_s});
        QCOMPARE(storedTaxpayers(app.db), before);
        QVERIFY(panelShown(window));

        // Yes: stored trimmed, only that row, the list read again.
        app.prompter.shown.clear();
        app.prompter.answers = {Answer::Yes};
        click(&window, u"Command5"_s);
        QCOMPARE(app.prompter.shown,
                 (QStringList{u"Dali navistina ja prifakate promenata ? "_s, loading}));
        QCOMPARE(
            storedTaxpayers(app.db),
            (QList<StoredTaxpayer>{{u"1000000000001"_s, u"Alfa"_s, u"Ul. 1"_s, u"Ohrid"_s},
                                   {u"5000000000005"_s, u"Beta Nova"_s, u"Ul. 6"_s, u"Struga"_s}}));
        QVERIFY(panelHidden(window));
        QCOMPARE(lines(window), (QStringList{u"1000000000001|Alfa|Ul. 1|Ohrid"_s,
                                             u"5000000000005|Beta Nova|Ul. 6|Struga"_s}));
        window.close();
    }

    void addingATaxpayer()
    {
        AppFixture app;
        addRaw(app.db, u"5000000000005"_s, u"Beta"_s, u"Ul. 5"_s, u"Bitola"_s);
        dan_ref window(app.context);
        QVERIFY(window.Form_Load());
        click(&window, u"Command4"_s);
        fillPanel(window, u"4030999123456"_s, u" Zora 'Z' "_s, u" Ул. Илинденска "_s, u" "_s);
        app.prompter.shown.clear();
        app.prompter.answers = {Answer::Yes};
        click(&window, u"Command5"_s);
        QCOMPARE(app.prompter.shown,
                 (QStringList{u"Dali navistina da go vnesam komitentot ? "_s, loading}));
        QCOMPARE(
            storedTaxpayers(app.db),
            (QList<StoredTaxpayer>{{u"4030999123456"_s, u"Zora 'Z'"_s, u"Ул. Илинденска"_s, u""_s},
                                   {u"5000000000005"_s, u"Beta"_s, u"Ul. 5"_s, u"Bitola"_s}}));
        QVERIFY(panelHidden(window));
        QCOMPARE(lines(window).first(), u"4030999123456|Zora 'Z'|Ул. Илинденска|"_s);
        // The entry window's checks find the new taxpayer.
        auto found = prov_dan(app.db.store, u"4030999123456"_s);
        QVERIFY(found.ok() && found.value());
    }

    void addingAKnownNumberKeepsThePanel()
    {
        AppFixture app;
        addRaw(app.db, u"5000000000005"_s, u"Beta"_s, u"Ul. 5"_s, u"Bitola"_s);
        dan_ref window(app.context);
        QVERIFY(window.Form_Load());
        click(&window, u"Command4"_s);
        fillPanel(window, u"5000000000005"_s, u"Drug"_s, u"Ul. 7"_s, u"Veles"_s);
        app.prompter.shown.clear();
        app.prompter.answers = {Answer::Yes};
        click(&window, u"Command5"_s);
        QCOMPARE(app.prompter.shown, (QStringList{u"Dali navistina da go vnesam komitentot ? "_s,
                                                  u"Komitentot veke postoel, odi na Promena !"_s}));
        QVERIFY(panelShown(window));
        QCOMPARE(box(&window, u"Text1"_s)->text(), u"5000000000005"_s);
        QCOMPARE(box(&window, u"Text2"_s)->text(), u"Drug"_s);
        QCOMPARE(box(&window, u"Text3"_s)->text(), u"Ul. 7"_s);
        QCOMPARE(box(&window, u"Text4"_s)->text(), u"Veles"_s);
        QCOMPARE(storedTaxpayers(app.db),
                 (QList<StoredTaxpayer>{{u"5000000000005"_s, u"Beta"_s, u"Ul. 5"_s, u"Bitola"_s}}));
    }

    void refusedNumbersInThePanel_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("12 characters") << u"403099912345"_s << u"Pogresen Danocen Broj"_s;
        const QString digits = u"Pogresen Danocen Broj - dozvoleni se samo broevi !"_s;
        QTest::newRow("a letter") << u"403099912345O"_s << digits;
        QTest::newRow("an exponent") << u"4030999123e45"_s << digits;
    }
    void refusedNumbersInThePanel()
    {
        QFETCH(QString, code);
        QFETCH(QString, message);
        AppFixture app;
        dan_ref window(app.context);
        QVERIFY(window.Form_Load());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        click(&window, u"Command4"_s);
        fillPanel(window, code, u"Ime"_s, u"Adresa"_s, u"Grad"_s);
        box(&window, u"Text2"_s)->setFocus();
        app.prompter.shown.clear();
        app.prompter.answers = {Answer::Yes};
        click(&window, u"Command5"_s);
        QCOMPARE(app.prompter.shown, QStringList{message});
        QCOMPARE(window.focusWidget(), box(&window, u"Text1"_s));
        QVERIFY(panelShown(window));
        QVERIFY(storedTaxpayers(app.db).isEmpty());
        window.close();
    }

    void sortingByAHeaderTwice()
    {
        AppFixture app;
        addRaw(app.db, u"1000000000001"_s, u"Vera"_s, u"Ul. 1"_s, u"Ohrid"_s);
        addRaw(app.db, u"2000000000002"_s, u"ana"_s, u"Ul. 2"_s, u"Bitola"_s);
        addRaw(app.db, u"3000000000003"_s, u"Boris"_s, u"Ul. 3"_s, QVariant());
        dan_ref window(app.context);
        QVERIFY(window.Form_Load());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QHeaderView *header = window.list()->header();
        selectLine(window, 0); // Vera
        const QStringList byName{u"2000000000002|ana|Ul. 2|Bitola"_s,
                                 u"3000000000003|Boris|Ul. 3|0"_s,
                                 u"1000000000001|Vera|Ul. 1|Ohrid"_s};
        for (int click = 0; click < 2; ++click) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(1) + 5, 5));
            QCOMPARE(lines(window), byName);
        }
        QCOMPARE(header->sortIndicatorSection(), 1);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        // The selected taxpayer stays selected.
        QCOMPARE(window.list()->selectionModel()->selectedRows().first().row(), 2);
        window.ListView1_ColumnClick(3);
        QCOMPARE(lines(window).first(), u"3000000000003|Boris|Ul. 3|0"_s);
        window.ListView1_ColumnClick(0);
        QCOMPARE(lines(window).first(), u"1000000000001|Vera|Ul. 1|Ohrid"_s);
        // A double click on a line closes the window.
        const QRect line = window.list()->visualRect(window.list()->model()->index(0, 0));
        QTest::mouseClick(window.list()->viewport(), Qt::LeftButton, {}, line.center());
        QTest::mouseDClick(window.list()->viewport(), Qt::LeftButton, {}, line.center());
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }

    void registerThroughTheMenu()
    {
        AppFixture app;
        Form1 form(app.context);
        whenIdle([] {
            auto *window = waitForWindow<dan_ref>(u"dan_ref"_s);
            QVERIFY(window);
            click(window, u"Command1"_s);
        });
        form.findChild<QAction *>(u"sdb"_s)->trigger();
        QCOMPARE(app.prompter.shown, QStringList{loading});
        QVERIFY(app.ended.isEmpty());
    }
};

QTEST_MAIN(TestRefdataWindows)
#include "tst_refdata_windows.moc"
