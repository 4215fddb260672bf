#include "app_fixture.h"
#include "gui_support.h"

#include "entry/izbor_vid.h"
#include "entry/trelok_window.h"
#include "print/trelok_pogled.h"
#include "refdata/lista_isp.h"
#include "refdata/picker_dialog.h"
#include "shell/form1.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

#include <memory>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

// Chooses the kind on the given line of the kind chooser once it shows.
void chooseKindWhenShown(int line, QStringList *listed = nullptr)
{
    whenIdle([line, listed] {
        auto *chooser = waitForWindow<izbor_vid>();
        QVERIFY(chooser);
        QTreeWidget *list = chooser->list();
        if (listed)
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                *listed << list->topLevelItem(i)->text(0) + u'|' + list->topLevelItem(i)->text(1);
        list->setCurrentItem(list->topLevelItem(line));
        chooser->findChild<QPushButton *>(u"Command1"_s)->click();
    });
}

} // namespace

class TestEntryWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QVERIFY(openWindows().isEmpty()); }

    void newOrderThroughTheMenu()
    {
        AppFixture app;
        app.enterFixedData();
        Form1 form(app.context);
        QStringList listed;
        chooseKindWhenShown(0, &listed);
        form.findChild<QAction *>(u"ntrel"_s)->trigger();
        QCOMPARE(listed.size(), 5);
        QVERIFY(listed.first().startsWith(u"108|"_s));
        Trelok *entry = form.entryWindow();
        QVERIFY(entry);
        QVERIFY(entry->isVisible());
        QVERIFY(!entry->isModal());
        QCOMPARE(app.context.state.f_ja, EntryMode::New);
        QCOMPARE(app.context.state.vid_tre, u"108"_s);
        QCOMPARE(entry->windowTitle(), u"Vnes na nov Trelok "_s);
        // A screen reader is told a window opened, by its caption.
        QAccessibleInterface *announced = QAccessible::queryAccessibleInterface(entry);
        QCOMPARE(announced->role(), QAccessible::Window);
        QCOMPARE(announced->text(QAccessible::Name), u"Vnes na nov Trelok "_s);
        // Every box of the column table, each with its member.
        QCOMPARE(EntryFields::boxes().size(), 28);
        for (const auto &[name, member] : EntryFields::boxes())
            QVERIFY2(member && entry->box(name), qPrintable(name));
        QCOMPARE(entry->findChild<QLabel *>(u"Label3"_s)->text(),
                 u"108-"_s + app.context.state.opi_tre);
        QCOMPARE(entry->findChild<QPushButton *>(u"Command1"_s)->text(), u" OK - Snimi "_s);
        QCOMPARE(entry->box(u"p_nal1"_s)->text(), u"108"_s);
        QVERIFY(!entry->box(u"p_nal1"_s)->isEnabled());
        QVERIFY(!entry->box(u"p_nal5"_s)->isVisibleTo(entry));
        QCOMPARE(entry->box(u"dat"_s)->text(), u"08.12.2026"_s);
        QCOMPARE(entry->size(), QSize(617, 398));
        QCOMPARE(entry->box(u"nal1"_s)->geometry(), QRect(8, 56, 281, 19));
        QCOMPARE(entry->box(u"nal1"_s)->accessibleName(), u"Налогодавач"_s);
        QCOMPARE(entry->findChild<QPushButton *>(u"Command4"_s)->accessibleName(), u"Општина"_s);

        // Keyboard order from the place of submission round to it again.
        QCOMPARE(entry->focusWidget(), entry->box(u"mes"_s));
        const QStringList expected{
            u"mes"_s,    u"dat"_s,    u"nac"_s,      u"us2"_s,      u"mkd1"_s,     u"d_nal"_s,
            u"b_nal"_s,  u"nal2"_s,   u"nal1"_s,     u"s_pri"_s,    u"mkd2"_s,     u"s_nal"_s,
            u"c_nal1"_s, u"c_nal2"_s, u"Command1"_s, u"Command2"_s, u"Command3"_s, u"Command4"_s,
            u"p_nal2"_s, u"p_nal3"_s, u"p_nal4"_s,   u"Command5"_s, u"valu"_s,     u"mes"_s};
        QCOMPARE(tabWalk(entry, expected.size()), expected);

        entry->findChild<QPushButton *>(u"Command2"_s)->click();
        QTRY_VERIFY(!form.entryWindow());
    }

    void layoutOfKind900()
    {
        AppFixture app;
        Form1 form(app.context);
        chooseKindWhenShown(4);
        form.ntrel_Click();
        Trelok *entry = form.entryWindow();
        QVERIFY(entry);
        QLineEdit *p_nal3 = entry->box(u"p_nal3"_s);
        QCOMPARE(p_nal3->geometry(), QRect(8, 264, 80, 19));
        QCOMPARE(p_nal3->maxLength(), 10);
        QCOMPARE(p_nal3->text(), u"900"_s);
        for (const char *hidden : {"p_nal1", "p_nal2", "p_nal4", "p_nal5"})
            QVERIFY(!entry->box(QString::fromLatin1(hidden))->isVisibleTo(entry));
        QVERIFY(!entry->findChild<QPushButton *>(u"Command3"_s)->isVisibleTo(entry));
        QCOMPARE(entry->findChild<QPushButton *>(u"Command5"_s)->text(), u"(Garancija br)"_s);
        // Leaving the guarantee box fills the empty purpose line.
        p_nal3->setText(u"G-1"_s);
        entry->p_nal3_LostFocus();
        QCOMPARE(entry->box(u"c_nal1"_s)->text(), u"G-1"_s);
        entry->close();
    }

    void cancellingTheChooserOpensNothing_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("IZLEZ / Otkaz") << false;
        QTest::newRow("close box") << true;
    }
    void cancellingTheChooserOpensNothing()
    {
        QFETCH(bool, closeBox);
        AppFixture app;
        Form1 form(app.context);
        whenIdle([closeBox] {
            auto *chooser = waitForWindow<izbor_vid>();
            QVERIFY(chooser);
            if (closeBox)
                chooser->close();
            else
                chooser->findChild<QPushButton *>(u"Command2"_s)->click();
        });
        form.ntrel_Click();
        QVERIFY(!form.entryWindow());
        QCOMPARE(app.context.state.vid_tre, u"000"_s);
        QCOMPARE(app.context.state.f_ja, EntryMode::New);
    }

    void emptyKindTable()
    {
        AppFixture app;
        app.db.exec("DELETE FROM tbl_vid");
        izbor_vid chooser(app.context);
        chooser.Form_Load();
        QCOMPARE(
            app.prompter.shown,
            QStringList{
                u"Nepostoi Nitu eden Vid na Uplata !, Vnesete gi vidovite na ulpata vo tbl_Vid !"_s});
        QCOMPARE(chooser.list()->topLevelItemCount(), 0);
        chooser.Command1_Click();
        QCOMPARE(app.prompter.shown.last(), u"Izberete Vid na Uplata !"_s);
        QCOMPARE(app.context.state.vid_tre, u"000"_s);
        QCOMPARE(chooser.result(), 0);
    }

    void aSecondRequestIsRefusedWhileTheEntryIsOpen()
    {
        AppFixture app;
        app.storeOrder(u"2/2026"_s, u"108"_s, u"108-2026-1010-5"_s);
        Form1 form(app.context);
        chooseKindWhenShown(1);
        form.ntrel_Click();
        Trelok *entry = form.entryWindow();
        QVERIFY(entry);
        const SharedState before = app.context.state;
        // Neither command may show its chooser or touch the shared state.
        form.ntrel_Click();
        form.azur_tre_Click();
        QVERIFY(!waitForWindow<izbor_vid>({}, 200));
        QCOMPARE(form.entryWindow(), entry);
        QCOMPARE(app.context.state.f_ja, before.f_ja);
        QCOMPARE(app.context.state.vid_tre, before.vid_tre);
        QCOMPARE(app.context.state.p_tre_br, before.p_tre_br);
        app.context.state.f_ja = EntryMode::Change;
        QVERIFY(!form.openEntry());
        entry->close();
    }

    // What other windows later write into the shared state cannot redirect
    // the open entry window.
    void theEntryKeepsItsOwnModeKindAndNumber()
    {
        AppFixture app;
        app.storeOrder(u"9/2026"_s, u"900"_s, u"G77"_s);
        app.context.state.f_ja = EntryMode::Change;
        app.context.state.p_tre_br = u"9/2026"_s;
        app.context.state.vid_tre = u"900"_s;
        Form1 form(app.context);
        QVERIFY(form.openEntry());
        Trelok *entry = form.entryWindow();
        QCOMPARE(entry->windowTitle(), u"Promena na Trelok 9/2026"_s);
        QCOMPARE(entry->box(u"p_nal3"_s)->text(), u"G77"_s);
        app.context.state.f_ja = EntryMode::New;
        app.context.state.p_tre_br = u"1/2026"_s;
        app.context.state.vid_tre = u"108"_s;
        QCOMPARE(entry->session().mode, EntryMode::Change);
        QCOMPARE(entry->session().orderNumber, u"9/2026"_s);
        QCOMPARE(entry->session().kind, u"900"_s);
        entry->box(u"c_nal1"_s)->clear();
        entry->p_nal3_LostFocus();
        QCOMPARE(entry->box(u"c_nal1"_s)->text(), u"G77"_s);
        entry->close();
    }

    // An order whose kind is no longer in tbl_vid: told, and the kind the
    // other windows see becomes "000", not the one the chooser left.
    void changingAnOrderOfAnUnknownKind()
    {
        AppFixture app;
        app.storeOrder(u"4/2026"_s, u"ZZZ"_s, u"ZZZ-1-2"_s);
        app.context.state.f_ja = EntryMode::Change;
        app.context.state.p_tre_br = u"4/2026"_s;
        app.context.state.vid_tre = u"108"_s;
        Form1 form(app.context);
        form.openEntry();
        QCOMPARE(app.prompter.shown, QStringList{u"Nepostoecki Vid na Uplata !"_s});
        QCOMPARE(app.context.state.vid_tre, u"000"_s);
        if (Trelok *entry = form.entryWindow())
            entry->close();
    }

    void municipalityTypedAndAccepted()
    {
        AppFixture app;
        app.enterFixedData();
        Form1 form(app.context);
        chooseKindWhenShown(0);
        form.ntrel_Click();
        Trelok *entry = form.entryWindow();
        entry->box(u"us2"_s)->setText(u" 12 "_s);
        QString startText;
        whenIdle([&] {
            auto *picker = waitForWindow<prom_opst>();
            QVERIFY(picker);
            QCOMPARE(picker->windowTitle(), u"Izbor na Opstina"_s);
            startText = picker->text1()->text();
            picker->findChild<QPushButton *>(u"Command1"_s)->click(); // " 12 ": wrong length
            QVERIFY(picker->isVisible());
            picker->text1()->setText(u" 005"_s);
            picker->findChild<QPushButton *>(u"Command1"_s)->click();
        });
        entry->Command4_Click();
        QCOMPARE(startText, u" 12 "_s);
        QCOMPARE(app.prompter.shown,
                 (QStringList{u"Opstinata mora da e 3 Brojki"_s,
                              u"Kodot na Opstinata e Uspesno Izbran :  005 - Bogdanci"_s}));
        QCOMPARE(entry->box(u"us2"_s)->text(), u"005"_s);
        QCOMPARE(app.context.state.tek_opst, u"005"_s);

        // Leaving the picker at once keeps the code, without its blanks.
        entry->box(u"us2"_s)->setText(u" 007 "_s);
        whenIdle(
            [] { waitForWindow<prom_opst>()->findChild<QPushButton *>(u"Command2"_s)->click(); });
        entry->Command4_Click();
        QCOMPARE(entry->box(u"us2"_s)->text(), u"007"_s);
        entry->close();
    }

    void officePickedFromTheList()
    {
        AppFixture app;
        app.enterFixedData();
        Form1 form(app.context);
        chooseKindWhenShown(0);
        form.ntrel_Click();
        Trelok *entry = form.entryWindow();
        QString listCaption;
        QStringList headers;
        whenIdle([&] {
            auto *picker = waitForWindow<prom_isp>();
            QVERIFY(picker);
            QCOMPARE(picker->focusWidget(), picker->text1());
            whenIdle([&] {
                auto *list = waitForWindow<lista_isp>();
                QVERIFY(list);
                listCaption = list->windowTitle();
                headers << list->list()->headerItem()->text(0)
                        << list->list()->headerItem()->text(1);
                list->list()->setCurrentItem(list->list()->topLevelItem(2));
                list->findChild<QPushButton *>(u"Command3"_s)->click();
            });
            picker->findChild<QPushButton *>(u"Command3"_s)->click();
        });
        entry->Command3_Click();
        QCOMPARE(listCaption, u"Izbor na Ispostava"_s);
        QCOMPARE(headers, (QStringList{u"Sifra"_s, u"ISPOSTAVA"_s}));
        QCOMPARE(app.prompter.shown,
                 QStringList{u"Kodot na ispostava e Uspesno Izbran : 1020 - Ispostava Skopje 2"_s});
        QCOMPARE(entry->box(u"p_nal3"_s)->text(), u"1020"_s);
        QCOMPARE(app.context.state.tek_isp, u"1020"_s);
        entry->close();
    }

    void aCancelledListRechecksTheTypedCode()
    {
        AppFixture app;
        app.enterFixedData();
        Form1 form(app.context);
        chooseKindWhenShown(0);
        form.ntrel_Click();
        Trelok *entry = form.entryWindow();
        whenIdle([&] {
            auto *picker = waitForWindow<prom_isp>();
            QVERIFY(picker);
            whenIdle([] {
                waitForWindow<lista_isp>()->findChild<QPushButton *>(u"Command1"_s)->click();
            });
            picker->findChild<QPushButton *>(u"Command3"_s)->click();
            QVERIFY(picker->isVisible());
            picker->findChild<QPushButton *>(u"Command2"_s)->click();
        });
        entry->Command3_Click();
        QCOMPARE(app.prompter.shown, QStringList{u"Ispostavata mora da e 4 Brojki"_s});
        QCOMPARE(entry->box(u"p_nal3"_s)->text(), QString());
        entry->close();
    }

    // Return does what the highlighted thing says, Escape leaves as the
    // exit button does, in every window: the entry window, the two pickers,
    // the list of codes and the preview.
    void keysDoWhatTheFocusSays_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("shown");
        const QString office = u"Kodot na ispostava e Uspesno Izbran : 1020 - Ispostava Skopje 2"_s;
        const QStringList typed{u"Kodot na Opstinata e Uspesno Izbran : 005 - Bogdanci"_s};
        QTest::newRow("entry, Return on OK - Snimi") << u"entry"_s << u"Return"_s << QStringList();
        QTest::newRow("entry, Escape") << u"entry"_s << u"Escape"_s << QStringList();
        QTest::newRow("preview, Escape") << u"preview"_s << u"Escape"_s << QStringList();
        QTest::newRow("municipality, Return after the code") << u"opst"_s << u"Return"_s << typed;
        QTest::newRow("municipality, Return on Prifati") << u"opst"_s << u"Return on OK"_s << typed;
        QTest::newRow("office list, Return on a line") << u"list"_s << u"Return"_s
                                                       << QStringList{office};
        QTest::newRow("office list, double click") << u"list"_s << u"double click"_s
                                                   << QStringList{office};
        QTest::newRow("office list, Return on OK - IZBERI")
            << u"list"_s << u"Return on OK"_s << QStringList{office};
    }
    void keysDoWhatTheFocusSays()
    {
        QFETCH(QString, window);
        QFETCH(QString, key);
        QFETCH(QStringList, shown);
        AppFixture app;
        app.enterFixedData();
        if (window == u"entry"_s) {
            Form1 form(app.context);
            chooseKindWhenShown(0);
            form.ntrel_Click();
            QPointer<Trelok> entry = form.entryWindow();
            auto *ok = entry->findChild<QPushButton *>(u"Command1"_s);
            if (key == u"Escape"_s) {
                QTest::keyClick(entry->box(u"nal1"_s), Qt::Key_Escape);
                QTRY_VERIFY(!entry);
                return;
            }
            // The same messages as a click, in the same order.
            ok->setFocus();
            QTest::keyClick(ok, Qt::Key_Return);
            const QStringList byKey = std::exchange(app.prompter.shown, {});
            ok->click();
            QVERIFY(!byKey.isEmpty());
            QCOMPARE(byKey, app.prompter.shown);
            entry->close();
            return;
        }
        if (window == u"preview"_s) {
            QPointer<Trelok_pogled> preview = new Trelok_pogled(u"PDF-Queue"_s, {}, {});
            preview->show();
            // A window named by its caption to a screen reader, its printer
            // named as shown.
            QAccessibleInterface *read = QAccessible::queryAccessibleInterface(preview.data());
            QCOMPARE(read->role(), QAccessible::Window);
            QCOMPARE(read->text(QAccessible::Name), u"Pogled na Trelok pred Pecatenje"_s);
            QCOMPARE(preview->findChild<QLabel *>(u"Label1"_s)->accessibleName(), u"PDF-Queue"_s);
            QTest::keyClick(preview->findChild<QPushButton *>(u"Command1"_s), Qt::Key_Escape);
            QTRY_VERIFY(!preview);
            return;
        }
        QLineEdit target;
        prom_isp office(app.context, &target);
        prom_opst municipality(app.context, &target);
        if (window == u"opst"_s) {
            municipality.Form_Load();
            municipality.show();
            municipality.text1()->setText(u"005"_s);
            QWidget *focus = key == u"Return"_s
                                 ? static_cast<QWidget *>(municipality.text1())
                                 : municipality.findChild<QPushButton *>(u"Command1"_s);
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_Return);
            QVERIFY(!municipality.isVisible());
        } else {
            lista_isp list(&office);
            list.setWindowTitle(u"Izbor na Ispostava"_s);
            list.fill({{u"1010"_s, u"Ispostava Skopje 1"_s}, {u"1020"_s, u"Ispostava Skopje 2"_s}});
            QTreeWidget *lines = list.list();
            lines->setCurrentItem(lines->topLevelItem(1));
            list.show();
            const QRect line = lines->visualItemRect(lines->topLevelItem(1));
            // A screen reader is given the name as the form's font shows it.
            QCOMPARE(lines->topLevelItem(1)->data(1, Qt::AccessibleTextRole).toString(),
                     u"Испостава Скопје 2"_s);
            if (key == u"Return"_s) {
                lines->setFocus();
                QTest::keyClick(lines, Qt::Key_Return);
            } else if (key == u"double click"_s) {
                QTest::mouseClick(lines->viewport(), Qt::LeftButton, {}, line.center());
                QTest::mouseDClick(lines->viewport(), Qt::LeftButton, {}, line.center());
            } else {
                auto *ok = list.findChild<QPushButton *>(u"Command3"_s);
                ok->setFocus();
                QTest::keyClick(ok, Qt::Key_Return);
            }
            QVERIFY(!list.isVisible());
            QCOMPARE(office.text1()->text(), u"1020"_s);
            office.Command1_Click();
        }
        QCOMPARE(app.prompter.shown, shown);
    }

    void emptyOfficeTableWhenListing()
    {
        AppFixture app;
        app.db.exec("DELETE FROM tbl_cuo");
        QLineEdit target;
        prom_isp picker(app.context, &target);
        picker.Form_Load();
        picker.Command3_Click();
        QCOMPARE(app.prompter.shown,
                 QStringList{u"Nepostoi Nitu edna ispostava !, Vnesete gi Ispostavite !"_s});
    }

    void aKindStoredWithBlanksIsChosenTrimmed()
    {
        AppFixture app;
        app.db.exec("UPDATE tbl_vid set vid=' 701 ' where vid='701'");
        izbor_vid chooser(app.context);
        chooser.Form_Load();
        QTreeWidgetItem *item = chooser.list()->findItems(u"701"_s, Qt::MatchExactly).value(0);
        QVERIFY(item);
        chooser.list()->setCurrentItem(item);
        chooser.Command1_Click();
        QCOMPARE(app.prompter.shown, QStringList{});
        QCOMPARE(app.context.state.vid_tre, u"701"_s);
        QVERIFY(!app.context.state.opi_tre.isEmpty());
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
    }

    void theNormalPointerIsBackBeforeTheEmptyTableMessage_data()
    {
        QTest::addColumn<bool>("municipality");
        QTest::addColumn<QString>("message");
        QTest::newRow("prom_opst")
            << true << u"Nepostoi Nitu edna Opstina !, Vnesete gi Opstinite !"_s;
        QTest::newRow("prom_isp") << false
                                  << u"Nepostoi Nitu edna ispostava !, Vnesete gi Ispostavite !"_s;
    }
    void theNormalPointerIsBackBeforeTheEmptyTableMessage()
    {
        QFETCH(bool, municipality);
        QFETCH(QString, message);
        // Notes whether the hourglass was up when each message was shown.
        struct PointerPrompter : RecordingPrompter {
            QList<bool> hourglass;
            Answer ask(const QString &text, Buttons buttons) override
            {
                hourglass.append(QApplication::overrideCursor() != nullptr);
                return RecordingPrompter::ask(text, buttons);
            }
        } prompter;
        AppFixture app;
        AppContext context{app.db.store, prompter, app.printers, app.clock, app.db.dir.path(),
                           {},           {}};
        context.endApplication = [](int) {};
        app.db.exec(municipality ? "DELETE FROM tbl_opst" : "DELETE FROM tbl_cuo");
        QLineEdit target;
        std::unique_ptr<CodePickerDialog> picker;
        if (municipality)
            picker = std::make_unique<prom_opst>(context, &target);
        else
            picker = std::make_unique<prom_isp>(context, &target);
        picker->Form_Load();
        picker->Command3_Click();
        QCOMPARE(prompter.shown, QStringList{message});
        QCOMPARE(prompter.hourglass, QList<bool>{false});
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestEntryWindow)
#include "tst_entry_window.moc"
