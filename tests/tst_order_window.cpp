#include "app_fixture.h"
#include "gui_support.h"

#include "data/orders.h"
#include "entry/izbor_trelok.h"
#include "entry/izbor_vid.h"
#include "entry/order_list_model.h"
#include "entry/trelok_window.h"
#include "print/trelok_pogled.h"
#include "shell/form1.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

const QString payer = u"4030999123456"_s;

// Opens the entry window for a new order of the kind, as the kind chooser
// leaves the shared state.
Trelok *openNew(AppFixture &app, Form1 &form, const QString &kind)
{
    app.context.state.f_ja = EntryMode::New;
    app.context.state.vid_tre = kind;
    app.context.state.opi_tre = u"Opis"_s;
    if (!form.openEntry())
        return nullptr;
    return form.entryWindow();
}

// What a clerk types into a new order of kind 108 that passes every check.
void typeValidOrder(Trelok *entry)
{
    entry->box(u"d_nal"_s)->setText(payer);
    entry->box(u"c_nal1"_s)->setText(payer);
    entry->box(u"mkd1"_s)->clear();
    QTest::keyClicks(entry->box(u"mkd1"_s), u"1500"_s);
    entry->box(u"mkd2"_s)->setText(u"00"_s);
    entry->box(u"us2"_s)->setText(u"004"_s);
    entry->box(u"nac"_s)->setText(u"2"_s);
    entry->box(u"p_nal3"_s)->setText(u"1010"_s);
    entry->box(u"p_nal4"_s)->setText(u"4711"_s);
}

QStringList storedNumbers(AppFixture &app)
{
    QStringList numbers;
    const auto lines = listOrders(app.db.store);
    for (const OrderLine &line : lines.value())
        numbers << line.trelok_br;
    return numbers;
}

void clickSave(Trelok *entry)
{
    entry->findChild<QPushButton *>(u"Command1"_s)->click();
}

// Chooses the given line of the order chooser once it shows, or cancels it.
void chooseOrderWhenShown(int line, QStringList *listed = nullptr)
{
    whenIdle([line, listed] {
        auto *chooser = waitForWindow<izbor_trelok>();
        QVERIFY(chooser);
        if (listed)
            for (int r = 0; r < chooser->model()->rowCount(); ++r)
                *listed << chooser->model()->index(r, 0).data().toString();
        if (line < 0) {
            chooser->findChild<QPushButton *>(u"Command2"_s)->click();
            return;
        }
        chooser->list()->setCurrentIndex(chooser->model()->index(line, 0));
        chooser->findChild<QPushButton *>(u"Command1"_s)->click();
    });
}

} // namespace

class TestOrderWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QVERIFY(openWindows().isEmpty()); }

    void newOrderIsStoredAndPreviewed()
    {
        AppFixture app;
        app.enterFixedData();
        app.db.exec("INSERT INTO tbl_obvr (dec_cod) VALUES (?)", {payer});
        app.clock.set(QDate(2027, 1, 2));
        app.context.state.td = u"TRELOK"_s;
        app.printers.names = {u"PDF-Queue"_s};
        app.context.state.def_prn = u"PDF-Queue"_s;
        Form1 form(app.context);
        Trelok *entry = openNew(app, form, u"108"_s);
        QVERIFY(entry);
        typeValidOrder(entry);
        app.prompter.answers = {Answer::Yes, Answer::Yes};
        clickSave(entry);
        QCOMPARE(app.prompter.shown,
                 (QStringList{u"Da go snimam Noviot Trelok ? "_s,
                              u"Uspesno Vnesen Trelok broj: 1/2027, Da go PECATAM ? "_s}));
        QCOMPARE(entry->box(u"p_nal"_s)->text(), u"108-2027-1010-4711"_s);
        QCOMPARE(storedNumbers(app), QStringList{u"1/2027"_s});
        Trelok_pogled *preview = form.printService().preview();
        QVERIFY(preview && preview->isVisible());
        QCOMPARE(preview->job().number, u"1/2027"_s);
        // The window stays as it was; pressing again stores the next number.
        QVERIFY(entry->isVisible());
        QCOMPARE(entry->box(u"mkd1"_s)->text(), u"1500"_s);
        app.prompter.shown.clear();
        app.prompter.answers = {Answer::Yes, Answer::No};
        clickSave(entry);
        QCOMPARE(app.prompter.shown.last(),
                 u"Uspesno Vnesen Trelok broj: 2/2027, Da go PECATAM ? "_s);
        QCOMPARE(storedNumbers(app), (QStringList{u"2/2027"_s, u"1/2027"_s}));
        QVERIFY(app.ended.isEmpty());
        preview->close();
        entry->close();
    }

    void declinedSaveKeepsTheComposedReference()
    {
        AppFixture app;
        app.db.exec("INSERT INTO tbl_obvr (dec_cod) VALUES (?)", {payer});
        Form1 form(app.context);
        Trelok *entry = openNew(app, form, u"108"_s);
        QVERIFY(entry);
        app.prompter.shown.clear();
        typeValidOrder(entry);
        // A stop in the checks: the message, the focus after it, nothing stored.
        entry->box(u"p_nal4"_s)->setText(u"abc"_s);
        entry->box(u"d_nal"_s)->setFocus();
        clickSave(entry);
        QCOMPARE(app.prompter.shown,
                 QStringList{u"ZADOLZITELNO Vnesete REFERENTEN BROJ na Deklaracijata !"_s});
        QCOMPARE(entry->focusWidget(), entry->box(u"p_nal4"_s));
        entry->box(u"p_nal4"_s)->setText(u"17"_s);
        app.prompter.shown.clear();
        app.prompter.answers = {Answer::No};
        clickSave(entry);
        QCOMPARE(app.prompter.shown, QStringList{u"Da go snimam Noviot Trelok ? "_s});
        QCOMPARE(entry->box(u"p_nal"_s)->text(), u"108-2026-1010-17"_s);
        QVERIFY(storedNumbers(app).isEmpty());
        entry->close();
    }

    void heldDatabaseIsReportedAndTheClerkTriesAgain()
    {
        AppFixture app;
        app.db.exec("INSERT INTO tbl_obvr (dec_cod) VALUES (?)", {payer});
        app.context.state.td = u"TRELOK"_s;
        Form1 form(app.context);
        Trelok *entry = openNew(app, form, u"108"_s);
        typeValidOrder(entry);
        Store other;
        QVERIFY(other.open(app.db.store.path()).ok());
        QVERIFY(other.exec("BEGIN IMMEDIATE").ok());
        app.prompter.shown.clear();
        app.prompter.answers = {Answer::Yes};
        clickSave(entry);
        QCOMPARE(app.prompter.shown,
                 (QStringList{u"Da go snimam Noviot Trelok ? "_s,
                              u"Bazata na podatoci ja koristi druga programa. Nisto ne e "
                              "zapisano, obidete se povtorno !"_s}));
        QVERIFY(app.ended.isEmpty());
        QVERIFY(other.exec("ROLLBACK").ok());
        app.prompter.answers = {Answer::Yes, Answer::No};
        clickSave(entry);
        QCOMPARE(storedNumbers(app), QStringList{u"1/2026"_s});
        entry->close();
    }

    void difficultTextsAreStoredAsTyped()
    {
        AppFixture app;
        app.db.exec("INSERT INTO tbl_obvr (dec_cod) VALUES (?)", {payer});
        app.context.state.td = u"TRELOK"_s;
        Form1 form(app.context);
        Trelok *entry = openNew(app, form, u"108"_s);
        typeValidOrder(entry);
        const QStringList texts{u"O'Brien \"Export\"; DOO, Skopje"_s,
                                u"'); DELETE FROM tbl_Trel; --"_s,
                                u"  Општина Ѓорче Петров  "_s,
                                QString(1000, u'ж'),
                                u""_s,
                                u"Op{tina ~ ` [ ] @ ^ | \\"_s};
        const QStringList boxes{u"nal1"_s,  u"nal2"_s,   u"b_nal"_s,
                                u"s_nal"_s, u"c_nal2"_s, u"mes"_s};
        for (int i = 0; i < boxes.size(); ++i) {
            entry->box(boxes[i])->clear();
            // Typed where the keyboard can type it; other letters set, since
            // typed Cyrillic is converted to the form font's letters.
            bool ascii = true;
            for (QChar c : texts[i])
                ascii = ascii && c.unicode() < 128;
            if (ascii)
                QTest::keyClicks(entry->box(boxes[i]), texts[i]);
            else
                entry->box(boxes[i])->setText(texts[i]);
        }
        entry->box(u"mkd2"_s)->setText(u" 50 "_s);
        app.prompter.answers = {Answer::Yes, Answer::No};
        clickSave(entry);
        auto rows = app.db.store.texts(
            "SELECT NALOG1, NALOG2, BNK_NAL, SM_NAL, CEL2, MESTO, MKD_DEC FROM tbl_Trel");
        QCOMPARE(rows.value().size(), 1);
        QCOMPARE(rows.value().first(), QStringList(texts) << u" 50 "_s);
        entry->close();
    }

    void chooserCancelledOpensNothing_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Izlez / Otkaz") << false;
        QTest::newRow("close box") << true;
    }

    void chooserCancelledOpensNothing()
    {
        QFETCH(bool, closeBox);
        AppFixture app;
        app.storeOrder(u"1/2026"_s, u"108"_s, u"108-2026-1010-1"_s);
        app.context.state.p_tre_br = u"1/2026"_s;
        app.context.state.vid_tre = u"205"_s;
        Form1 form(app.context);
        whenIdle([closeBox] {
            auto *chooser = waitForWindow<izbor_trelok>();
            QVERIFY(chooser);
            if (closeBox)
                chooser->close();
            else
                chooser->findChild<QPushButton *>(u"Command2"_s)->click();
        });
        form.findChild<QAction *>(u"azur_tre"_s)->trigger();
        QCOMPARE(app.context.state.p_tre_br, u"0"_s);
        QCOMPARE(app.context.state.vid_tre, u"205"_s);
        QVERIFY(!form.entryWindow());
    }

    void emptyRegister()
    {
        AppFixture app;
        Form1 form(app.context);
        chooseOrderWhenShown(0);
        form.pct_Click();
        QCOMPARE(app.prompter.shown, QStringList{u"Ne POSTOI Nitu Eden Trelok !"_s});
        QCOMPARE(app.context.state.p_tre_br, u"0"_s);
        QVERIFY(!form.printService().preview());
    }

    void chosen701OrderOpensWithEverySegment()
    {
        AppFixture app;
        app.storeOrder(u"3/2026"_s, u"108"_s, u"108-2026-1010-1"_s);
        app.storeOrder(u"11/2026"_s, u" 701 "_s, u"701-1020-4030999123456-7"_s);
        app.storeOrder(u"1/2025"_s, u"205"_s, u"205-2025-1010-2-1"_s);
        Form1 form(app.context);
        QStringList listed;
        chooseOrderWhenShown(0, &listed);
        form.azur_tre_Click();
        QCOMPARE(listed, (QStringList{u"11/2026"_s, u"3/2026"_s, u"1/2025"_s}));
        QCOMPARE(app.context.state.p_tre_br, u"11/2026"_s);
        QCOMPARE(app.context.state.vid_tre, u"701"_s);
        QCOMPARE(app.context.state.f_ja, EntryMode::Change);
        Trelok *entry = form.entryWindow();
        QVERIFY(entry);
        QCOMPARE(entry->windowTitle(), u"Promena na Trelok 11/2026"_s);
        QCOMPARE(entry->box(u"p_nal1"_s)->text(), u"701"_s);
        QCOMPARE(entry->box(u"p_nal3"_s)->text(), u"1020"_s);
        QCOMPARE(entry->box(u"p_nal4"_s)->text(), u"4030999123456"_s);
        QCOMPARE(entry->box(u"p_nal5"_s)->text(), u"7"_s);
        QVERIFY(!entry->box(u"p_nal2"_s)->isVisibleTo(entry));
        QCOMPARE(entry->findChild<QLabel *>(u"Label3"_s)->text(),
                 u"701-"_s + app.context.state.opi_tre);
        entry->close();
    }

    void chooserColumnsAndTyping()
    {
        AppFixture app;
        for (const char *number : {"1/2026", "2/2026", "10/2026", "1/2025"})
            app.storeOrder(QString::fromLatin1(number), u"108"_s, u"p"_s);
        izbor_trelok chooser(app.context);
        chooser.Form_Load();
        chooser.show();
        QCOMPARE(chooser.windowTitle(), u"Izbor na Trelok"_s);
        QCOMPARE(chooser.size(), QSize(672, 395));
        QCOMPARE(chooser.model()->columnCount(), 7);
        const QModelIndex first = chooser.model()->index(0, 0);
        QCOMPARE(chooser.list()->currentIndex(), first);
        // Columns: number, reference, purpose (2), date, method, kind (from storeOrder's v1..v28).
        QStringList cells;
        for (int c = 0; c < 7; ++c)
            cells << chooser.model()->index(0, c).data().toString();
        QCOMPARE(cells, (QStringList{u"10/2026"_s, u"p"_s, u"v8"_s, u"v9"_s, u"v25"_s, u"v24"_s,
                                     u"108"_s}));
        QCOMPARE(chooser.list()->columnWidth(5), 29);
        chooser.list()->setFocus();
        QTest::keyClicks(chooser.list(), u"1/"_s);
        QCOMPARE(chooser.list()->currentIndex().data().toString(), u"1/2026"_s);
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        QTest::keyClicks(chooser.list(), u"2"_s);
        QCOMPARE(chooser.list()->currentIndex().data().toString(), u"2/2026"_s);
        QCOMPARE(chooser.findChild<QPushButton *>(u"Command1"_s)->accessibleName(),
                 u"ОК - Избери"_s);
        chooser.findChild<QPushButton *>(u"Command1"_s)->click();
        QCOMPARE(app.context.state.p_tre_br, u"2/2026"_s);
    }

    // Enter or a double click on a line chooses it as "OK" does, in both
    // choosers, and Enter in the search chooses the line its exact number
    // selected; each line gives a screen reader the letters shown.
    void aLineChosenFromTheKeyboardOrTheMouse_data()
    {
        QTest::addColumn<bool>("orders");
        QTest::addColumn<QString>("how");
        QTest::newRow("orders, Enter") << true << u"Enter"_s;
        QTest::newRow("orders, double click") << true << u"double click"_s;
        QTest::newRow("orders, Enter in the search") << true << u"search"_s;
        QTest::newRow("kinds, Enter") << false << u"Enter"_s;
        QTest::newRow("kinds, double click") << false << u"double click"_s;
    }
    void aLineChosenFromTheKeyboardOrTheMouse()
    {
        QFETCH(bool, orders);
        QFETCH(QString, how);
        AppFixture app;
        app.storeOrder(u"1/2026"_s, u"205"_s, u"Dava~ki"_s);
        app.storeOrder(u"2/2026"_s, u"108"_s, u"p"_s);
        QAbstractItemView *list = nullptr;
        const std::unique_ptr<QDialog> window =
            orders ? std::unique_ptr<QDialog>(loadedListWindow<izbor_trelok>(app.context, list))
                   : loadedListWindow<izbor_vid>(app.context, list);
        QVERIFY(window);
        window->show();
        const QModelIndex second = list->model()->index(1, 0);
        list->setCurrentIndex(second);
        QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(list);
        QVERIFY(shown && shown->tableInterface());
        QCOMPARE(shown->tableInterface()->cellAt(1, 1)->text(QAccessible::Name),
                 orders ? u"Давачки"_s : u"Давачки по електронска царинска декларација"_s);
        if (how == u"double click"_s) {
            const QPoint at = list->visualRect(second).center();
            QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        } else if (how == u"search"_s) {
            QLineEdit *search = static_cast<izbor_trelok *>(window.get())->searchBox();
            search->setFocus();
            QTest::keyClicks(search, u"1/2026"_s);
            QTest::keyClick(search, Qt::Key_Return);
        } else {
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Return);
        }
        QVERIFY(!window->isVisible());
        if (orders) {
            QCOMPARE(app.context.state.p_tre_br, u"1/2026"_s);
            QCOMPARE(app.context.state.vid_tre, u"205"_s);
        } else {
            QCOMPARE(app.context.state.vid_tre, u"205"_s);
            QCOMPARE(app.context.state.opi_tre, u"Dava~ki po elektronska carinska deklaracija"_s);
        }
    }
};

QTEST_MAIN(TestOrderWindow)
#include "tst_order_window.moc"
