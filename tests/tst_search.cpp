#include "app_fixture.h"
#include "gui_support.h"

#include "entry/izbor_trelok.h"
#include "entry/order_list_model.h"
#include "platform/fonts.h"
#include "refdata/dan_ref.h"
#include "refdata/taxpayer_pages.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <memory>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

// Keys as a keyboard sends them, one character at a time (any script).
void type(QWidget *box, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void storeOrder(AppFixture &app, const QString &number, const QString &povik, const QString &cel1,
                const QString &vid)
{
    QVariantList values;
    for (int i = 0; i < 28; ++i)
        values.append(u"Skrieno"_s); // columns the chooser does not show
    values[0] = number;
    values[6] = povik;
    values[7] = cel1;
    values[8] = QString();
    values[23] = u"1"_s;
    values[24] = u"0%1.12.2026"_s.arg(number.left(1));
    values[26] = vid;
    app.db.exec(sql::trel::insert, values);
}

QStringList numbersShown(izbor_trelok &chooser)
{
    QStringList numbers;
    for (int r = 0; r < chooser.model()->rowCount(); ++r)
        numbers << chooser.model()->index(r, 0).data().toString();
    return numbers;
}

void addTaxpayer(AppFixture &app, const QString &code, const QString &name, const QString &city)
{
    app.db.exec("INSERT INTO tbl_obvr (dec_cod, dec_nam, dec_ad3, dec_tlx) VALUES (?,?,?,?)",
                {code, name, u"ul. 1"_s, city});
}

// With TRELOK_SCREENSHOTS=DIR, the window as shown, to look at.
void screenshot(AppFixture &app, QWidget &window, const QString &name)
{
    const QString dir = qEnvironmentVariable("TRELOK_SCREENSHOTS");
    if (dir.isEmpty())
        return;
    registerApplicationFonts(app.db.dir.path());
    window.update();
    QVERIFY(window.grab().save(dir + u"/"_s + name));
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QVERIFY(openWindows().isEmpty()); }

    void chooserShowsTheOrdersWithTheText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("nothing") << u""_s << QStringList{u"3/2026"_s, u"2/2026"_s, u"1/2026"_s};
        QTest::newRow("other case") << u"CARINA"_s << QStringList{u"1/2026"_s};
        QTest::newRow("number") << u"2/20"_s << QStringList{u"2/2026"_s};
        QTest::newRow("reference and kind") << u"701"_s << QStringList{u"2/2026"_s};
        QTest::newRow("date") << u"03.12"_s << QStringList{u"3/2026"_s};
        // `{` and `[` are the font's ш and Ш.
        QTest::newRow("other case of a font letter") << u"{TIP"_s << QStringList{u"2/2026"_s};
        QTest::newRow("Cyrillic keyboard") << u"Шеќер"_s << QStringList{u"3/2026"_s};
        // `~` and `^` are the font's ч and Ч.
        QTest::newRow("other case, Cyrillic keyboard") << u"ч"_s << QStringList{u"1/2026"_s};
        QTest::newRow("column not shown") << u"Skrieno"_s << QStringList();
        QTest::newRow("not across columns") << u"uvoz01"_s << QStringList();
    }
    void chooserShowsTheOrdersWithTheText()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        AppFixture app;
        storeOrder(app, u"1/2026"_s, u"108-2026-01"_s, u"^aj, Carina za uvoz"_s, u"108"_s);
        storeOrder(app, u"2/2026"_s, u"701-2026"_s, u"Akcizi [tip"_s, u"701"_s);
        storeOrder(app, u"3/2026"_s, u"205-2026"_s, u"{e}er"_s, u"205"_s);
        izbor_trelok chooser(app.context);
        chooser.Form_Load();
        chooser.show();
        type(chooser.searchBox(), typed);
        QCOMPARE(numbersShown(chooser), shown);
        // The first line shown is the one "OK - Izberi" takes.
        if (!shown.isEmpty())
            QCOMPARE(chooser.list()->currentIndex().data().toString(), shown.first());
        chooser.close();
    }

    void choosingFromASearchAndEscape()
    {
        AppFixture app;
        storeOrder(app, u"1/2026"_s, u"108-2026-01"_s, u"Carina za uvoz"_s, u"108"_s);
        storeOrder(app, u"2/2026"_s, u"701-2026"_s, u"Akcizi"_s, u"701"_s);
        storeOrder(app, u"3/2026"_s, u"205-2026"_s, u"Akcizi"_s, u"205"_s);
        app.context.state.p_tre_br = u"9/2026"_s;
        izbor_trelok chooser(app.context);
        chooser.Form_Load();
        chooser.show();
        QLineEdit *box = chooser.searchBox();
        QCOMPARE(box->accessibleName(), u"Барај:"_s);
        QCOMPARE(chooser.findChild<QLabel *>(u"lbl_baraj"_s)->text(), u"&Baraj:"_s);
        type(box, u"akc"_s);
        QCOMPARE(numbersShown(chooser), (QStringList{u"3/2026"_s, u"2/2026"_s}));
        screenshot(app, chooser, u"chooser-filtered.png"_s);
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(box->text(), QString());
        QVERIFY(chooser.isVisible());
        QCOMPARE(app.context.state.p_tre_br, u"9/2026"_s);
        QCOMPARE(numbersShown(chooser).size(), 3);
        // The second line of a search is the order it shows.
        type(box, u"akcizi"_s);
        chooser.list()->setCurrentIndex(chooser.model()->index(1, 0));
        // A change of the search that still shows the chosen line keeps it.
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(chooser.list()->currentIndex().data().toString(), u"2/2026"_s);
        chooser.findChild<QPushButton *>(u"Command1"_s)->click();
        QCOMPARE(app.context.state.p_tre_br, u"2/2026"_s);
        QCOMPARE(app.context.state.vid_tre, u"701"_s);
        QVERIFY(!chooser.isVisible());
    }

    // A number typed whole chooses its order, whatever else the search shows.
    void aWholeNumberChoosesItsOrder()
    {
        AppFixture app;
        for (const QString &number : {u"2/2025"_s, u"12/2025"_s, u"42/2025"_s})
            storeOrder(app, number, u"108-2025"_s, u"Carina"_s, u"108"_s);
        izbor_trelok chooser(app.context);
        chooser.Form_Load();
        chooser.show();
        type(chooser.searchBox(), u"2/2025"_s);
        QCOMPARE(numbersShown(chooser), (QStringList{u"42/2025"_s, u"12/2025"_s, u"2/2025"_s}));
        chooser.findChild<QPushButton *>(u"Command1"_s)->click();
        QCOMPARE(app.context.state.p_tre_br, u"2/2025"_s);
    }

    // A search typed before every line is read answers from the lines read
    // and shows the busy pointer until the rest are looked at too.
    void aSearchBeforeTheLinesAreReadFillsOn()
    {
        AppFixture app;
        QList<QVariantList> rows;
        for (int n = 1; n <= 6000; ++n) {
            rows.append(QVariantList(28, QString()));
            rows.last()[0] = u"%1/2026"_s.arg(n);
        }
        QVERIFY(app.db.store
                    .transaction([&] { return app.db.store.execEach(sql::trel::insert, rows); })
                    .ok());
        izbor_trelok chooser(app.context);
        QVERIFY(chooser.Form_Load());
        chooser.show();
        type(chooser.searchBox(), u"17/"_s);
        QVERIFY(!chooser.model()->allRead());
        QCOMPARE(chooser.cursor().shape(), Qt::BusyCursor);
        QTRY_VERIFY(chooser.model()->allRead());
        QCOMPARE(chooser.cursor().shape(), Qt::ArrowCursor);
        // 17/2026, 117/2026, ..., 5917/2026, newest first.
        QCOMPARE(chooser.model()->rowCount(), 60);
        QCOMPARE(numbersShown(chooser).last(), u"17/2026"_s);
    }

    // Another clerk stores or removes an order before or while the chooser
    // reads its lines: the chosen line stays with its order, and every order
    // is listed once.
    void theChosenLineFollowsItsOrder_data()
    {
        QTest::addColumn<int>("readBefore");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("stored");
        QTest::newRow("stored before reading") << 0 << 1 << true;
        QTest::newRow("stored while reading, line read") << 600 << 1 << true;
        QTest::newRow("stored while reading, line not read") << 600 << 1500 << true;
        QTest::newRow("removed while reading") << 600 << 1500 << false;
    }
    void theChosenLineFollowsItsOrder()
    {
        QFETCH(int, readBefore);
        QFETCH(int, chosen);
        QFETCH(bool, stored);
        AppFixture app;
        QList<QVariantList> rows;
        for (int n = 1; n <= 2000; ++n) {
            rows.append(QVariantList(28, QString()));
            rows.last()[0] = u"%1/2026"_s.arg(n);
        }
        QVERIFY(app.db.store.execEach(sql::trel::insert, rows).ok());
        izbor_trelok chooser(app.context);
        QVERIFY(chooser.Form_Load());
        chooser.list()->setCurrentIndex(chooser.model()->index(chosen, 0));
        const QString number = u"%1/2026"_s.arg(2000 - chosen);
        QCOMPARE(chooser.list()->currentIndex().data().toString(), number);
        if (readBefore > 0)
            QVERIFY(chooser.model()->readMore(readBefore).ok());
        if (stored)
            storeOrder(app, u"2001/2026"_s, u"108-2026"_s, u"Carina"_s, u"108"_s);
        else
            app.db.exec(sql::trel::remove, {u"2000/2026"_s});
        QVERIFY(chooser.model()->readAll().ok());
        QCOMPARE(chooser.list()->currentIndex().data().toString(), number);
        QStringList listed;
        const auto lines = listOrders(app.db.store);
        for (const OrderLine &line : lines.value())
            listed << line.trelok_br;
        QCOMPARE(numbersShown(chooser), listed);
    }

    // Both lists show and move as a tree view of the same lines does: lines
    // of the same height and place, the same keys moving the same line, and
    // Tab leaving the list.
    void listsShowAndMoveAsATree_data()
    {
        QTest::addColumn<bool>("orders");
        QTest::newRow("order chooser") << true;
        QTest::newRow("taxpayer register") << false;
    }
    void listsShowAndMoveAsATree()
    {
        QFETCH(bool, orders);
        AppFixture app;
        for (int n = 1; n <= 60; ++n) {
            storeOrder(app, u"%1/2026"_s.arg(n), u"108-2026"_s, u"Carina"_s, u"108"_s);
            addTaxpayer(app, u"40309990%1"_s.arg(n, 5, 10, QChar(u'0')), u"Firma"_s, u"Skopje"_s);
        }
        LineView *list = nullptr;
        const std::unique_ptr<QDialog> window =
            orders ? std::unique_ptr<QDialog>(loadedListWindow<izbor_trelok>(app.context, list))
                   : loadedListWindow<dan_ref>(app.context, list);
        QVERIFY(window);
        window->show();
        QTreeView tree;
        tree.setFont(list->font());
        tree.setRootIsDecorated(false);
        tree.setAllColumnsShowFocus(true);
        tree.setUniformRowHeights(true);
        tree.setHeaderHidden(list->header()->isHidden());
        tree.setModel(list->model());
        // Both take the widths given, under any style.
        tree.header()->setMinimumSectionSize(list->header()->minimumSectionSize());
        for (int column = 0; column < list->model()->columnCount(); ++column)
            tree.setColumnWidth(column, list->columnWidth(column));
        tree.resize(list->size());
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        const QModelIndex cell = list->model()->index(2, 1);
        QCOMPARE(list->visualRect(cell), tree.visualRect(cell));
        tree.setCurrentIndex(cell);
        list->setCurrentIndex(cell);
        for (int key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Up, Qt::Key_PageUp,
                        Qt::Key_Right, Qt::Key_Home, Qt::Key_Left, Qt::Key_F}) {
            QTest::keyClick(&tree, Qt::Key(key));
            QTest::keyClick(list, Qt::Key(key));
            QCOMPARE(list->currentIndex(), tree.currentIndex());
        }
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), u"Command1"_s);
        window->close();
    }

    void registerSearchSortAndChange()
    {
        AppFixture app;
        addTaxpayer(app, u"4030999000001"_s, u"Zito"_s, u"Skopje"_s);
        addTaxpayer(app, u"4030999000002"_s, u"Alkaloid"_s, u"Skopje"_s);
        addTaxpayer(app, u"4030999000003"_s, u"Makpetrol"_s, u"[tip"_s);
        addTaxpayer(app, u"4030999000004"_s, u"Bitolska"_s, u"Bitola"_s);
        dan_ref window(app.context);
        QVERIFY(window.Form_Load());
        window.show();
        type(window.searchBox(), u"скопје"_s);
        QCOMPARE(window.searchBox()->text(), u"skopje"_s);
        QCOMPARE(window.model().rowCount(), 2);
        // The chosen line stays with its taxpayer through the sort.
        window.list()->setCurrentIndex(window.model().index(0, 0));
        QCOMPARE(window.model().index(0, 1).data().toString(), u"Zito"_s);
        window.ListView1_ColumnClick(1);
        QCOMPARE(window.model().index(0, 1).data().toString(), u"Alkaloid"_s);
        QCOMPARE(window.list()->currentIndex().row(), 1);
        screenshot(app, window, u"register-filtered.png"_s);
        window.findChild<QPushButton *>(u"Command3"_s)->click();
        QCOMPARE(window.findChild<QLineEdit *>(u"Text1"_s)->text(), u"4030999000001"_s);
        QCOMPARE(window.findChild<QLineEdit *>(u"Text2"_s)->text(), u"Zito"_s);
        QTest::keyClick(window.searchBox(), Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QCOMPARE(window.model().rowCount(), 4);
        window.close();
    }

    void typedCyrillicIsStoredAsTheFontShowsIt()
    {
        AppFixture app;
        dan_ref window(app.context);
        window.show();
        window.Command4_Click();
        auto *name = window.findChild<QLineEdit *>(u"Text2"_s);
        type(name, u"Жито"_s);
        QCOMPARE(name->text(), u"@ito"_s);
        QVERIFY(name->isModified());
        // Pasted in the middle: converted, the cursor after the pasted text.
        name->setCursorPosition(1);
        QGuiApplication::clipboard()->setText(u"Шd€"_s);
        name->paste();
        QCOMPARE(name->text(), u"@[d€ito"_s);
        QCOMPARE(name->cursorPosition(), 4);
        // Text the program sets is never converted.
        name->setText(u"Жито"_s);
        QCOMPARE(name->text(), u"Жито"_s);
        window.close();
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
