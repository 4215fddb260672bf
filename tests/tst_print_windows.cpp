#include "app_fixture.h"
#include "gui_support.h"
#include "literal_messages.h"

#include "context/messages.h"
#include "data/statements.h"
#include "entry/izbor_trelok.h"
#include "platform/fonts.h"
#include "print/calibration_sheet.h"
#include "print/pec_pod.h"
#include "print/print_engine.h"
#include "print/trelok_pogled.h"
#include "shell/form1.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeView>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

struct Stored {
    QString right, down;
};
Stored storedOffsets(TestDb &db)
{
    auto row = db.store.first(sql::cnf::configRow);
    return {row.value()->text(u"up_smet3"_s), row.value()->text(u"bu_smet1"_s)};
}

// With TRELOK_SHOT_DIR set, a window is also kept there as a picture to
// look at.
void keepPicture(QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("TRELOK_SHOT_DIR");
    if (!dir.isEmpty())
        window->grab().save(dir + u"/"_s + name + u".png"_s);
}

void step(QScrollBar *bar, QAbstractSlider::SliderAction action, int times)
{
    for (int i = 0; i < times; ++i)
        bar->triggerAction(action);
}

} // namespace

class TestPrintWindows : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QVERIFY(openWindows().isEmpty()); }

    void previewOfAStoredOrder()
    {
        AppFixture app;
        app.storeOrder(u"3/2026"_s, u"108"_s, u"108-2026-1010-5"_s);
        app.storeOrder(u"4/2026"_s, u"900"_s, u"G1"_s);
        app.printers.names = {u"PDF-Queue"_s};
        app.context.state.def_prn = u"PDF-Queue"_s;
        Form1 form(app.context);
        whenIdle([] {
            auto *chooser = waitForWindow<izbor_trelok>();
            QVERIFY(chooser);
            QTest::keyClicks(chooser->list(), u"3"_s);
            chooser->findChild<QPushButton *>(u"Command1"_s)->click();
        });
        form.findChild<QAction *>(u"pct"_s)->trigger();
        QCOMPARE(app.context.state.p_tre_br, u"3/2026"_s);
        Trelok_pogled *preview = form.printService().preview();
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->windowTitle(), u"Pogled na Trelok pred Pecatenje"_s);
        QCOMPARE(preview->size(), QSize(580, 364));
        QCOMPARE(preview->findChild<QLabel *>(u"Label1"_s)->text(), u"PDF-Queue"_s);
        QCOMPARE(preview->findChild<QLabel *>(u"lbl_trelok"_s)->text(), u"Trelok: 3/2026"_s);
        QVERIFY(!preview->findChild<QLabel *>(u"lbl_strana"_s)->isVisible());
        QCOMPARE(preview->job().number, u"3/2026"_s);
        QCOMPARE(preview->job().fields.size(), 26);

        // The drawing stays while the window is open and is repainted alike.
        const QImage first = preview->surface()->grab().toImage();
        QVERIFY(first != QImage());
        preview->hide();
        preview->show();
        QCOMPARE(preview->surface()->grab().toImage(), first);

        // A new request reuses the window and draws the other order.
        form.printService().print(u"4/2026"_s, PrintMode::Preview);
        QCOMPARE(form.printService().preview(), preview);
        QCOMPARE(preview->job().number, u"4/2026"_s);
        QVERIFY(preview->surface()->grab().toImage() != first);
        preview->findChild<QPushButton *>(u"Command2"_s)->click();
        QTRY_VERIFY(!form.printService().preview());
    }

    // Shift with the arrow keys chooses several lines (the change command
    // keeps one); the preview pages through them and names each.
    void severalOrdersArePreviewedOneAfterTheOther()
    {
        AppFixture app;
        for (const QString &number : {u"3/2026"_s, u"4/2026"_s, u"5/2026"_s})
            app.storeOrder(number, u"108"_s, u"108-2026-1010-5"_s);
        app.printers.names = {u"PDF-Queue"_s};
        app.context.state.def_prn = u"PDF-Queue"_s;
        Form1 form(app.context);
        app.db.exec("UPDATE tbl_koor SET box = 'MKD_CELL' WHERE box = 'MKD_CEL'");
        whenIdle([] {
            auto *chooser = waitForWindow<izbor_trelok>();
            QVERIFY(chooser);
            QTest::keyClick(chooser->list(), Qt::Key_Down, Qt::ShiftModifier);
            QTest::keyClick(chooser->list(), Qt::Key_Down, Qt::ShiftModifier);
            QCOMPARE(chooser->chosenNumbers(),
                     QStringList({u"5/2026"_s, u"4/2026"_s, u"3/2026"_s}));
            chooser->findChild<QPushButton *>(u"Command1"_s)->click();
        });
        form.findChild<QAction *>(u"pct"_s)->trigger();
        Trelok_pogled *preview = form.printService().preview();
        QVERIFY(preview && preview->isVisible());
        auto *place = preview->findChild<QLabel *>(u"lbl_strana"_s);
        auto *order = preview->findChild<QLabel *>(u"lbl_trelok"_s);
        auto *label2 = preview->findChild<QLabel *>(u"Label2"_s);
        QVERIFY(place->isVisible());
        QCOMPARE(place->text(), u"1 / 3"_s);
        QCOMPARE(order->text(), u"Trelok: 5/2026"_s);
        QCOMPARE(label2->text(), u"Trelok 5/2026: Ne se pecatat polinjata od tbl_koor koi ne se "
                                 "koloni na tbl_Trel: 'MKD_CELL'"_s);
        QTest::keyClick(preview, Qt::Key_PageDown);
        QTest::keyClick(preview, Qt::Key_PageDown);
        QTest::keyClick(preview, Qt::Key_PageDown); // past the last page: stays
        QCOMPARE(place->text(), u"3 / 3"_s);
        QCOMPARE(preview->job().number, u"3/2026"_s);
        QCOMPARE(order->text(), u"Trelok: 3/2026"_s);
        QVERIFY(label2->text().startsWith(u"Trelok 3/2026: "_s));
        preview->findChild<QPushButton *>(u"cmd_prethoden"_s)->click();
        QCOMPARE(place->text(), u"2 / 3"_s);
        QCOMPARE(order->text(), u"Trelok: 4/2026"_s);
        // One order again: as before, without the page's place or the prefix.
        form.printService().print(u"4/2026"_s, PrintMode::Preview);
        QVERIFY(!place->isVisible());
        QVERIFY(label2->text().startsWith(u"Ne se pecatat"_s));
        preview->close();
        QTRY_VERIFY(!form.printService().preview());

        izbor_trelok change(app.context);
        QCOMPARE(change.list()->selectionMode(), QAbstractItemView::SingleSelection);
    }

    void thePreviewNamesThePassedOverBoxes()
    {
        AppFixture app;
        app.storeOrder(u"3/2026"_s, u"108"_s, u"108-2026-1010-5"_s);
        app.storeOrder(u"4/2026"_s, u"108"_s, u"108-2026-1010-6"_s);
        app.printers.names = {u"PDF-Queue"_s};
        app.context.state.def_prn = u"PDF-Queue"_s;
        Form1 form(app.context);
        app.db.exec("UPDATE tbl_koor SET box = 'MKD_CELL' WHERE box = 'MKD_CEL'");
        form.printService().print(u"3/2026"_s, PrintMode::Preview);
        Trelok_pogled *preview = form.printService().preview();
        QVERIFY(preview);
        auto *label2 = preview->findChild<QLabel *>(u"Label2"_s);
        QVERIFY(label2->isVisible());
        QCOMPARE(label2->text(), u"Ne se pecatat polinjata od tbl_koor koi ne se koloni na "
                                 "tbl_Trel: 'MKD_CELL'"_s);
        QCOMPARE(preview->job().fields.size(), 25);
        // Mended, the next order is shown without the notice.
        app.db.exec("UPDATE tbl_koor SET box = 'MKD_CEL' WHERE box = 'MKD_CELL'");
        form.printService().print(u"4/2026"_s, PrintMode::Preview);
        QVERIFY(!label2->isVisible());
        QCOMPARE(preview->job().fields.size(), 26);
        preview->close();
        QTRY_VERIFY(!form.printService().preview());
    }

    void overflowingFieldsAreMarked_data()
    {
        QTest::addColumn<QString>("nalog1");
        QTest::addColumn<QString>("cel1");
        QTest::addColumn<QString>("line");
        QTest::newRow("fits") << u"Primer DOOEL"_s << u"Uplata"_s << QString();
        QTest::newRow("two too wide")
            << QString(60, u'M') << QString(45, u'W')
            << u"Tekstot e podolg od poleto i ke navleze vo sosednoto pole: NALOG1, CEL1"_s;
    }
    void overflowingFieldsAreMarked()
    {
        QFETCH(QString, nalog1);
        QFETCH(QString, cel1);
        QFETCH(QString, line);
        AppFixture app;
        QVERIFY(registerApplicationFonts(app.db.dir.path()) == 4);
        app.storeOrder(u"3/2026"_s, u"108"_s, u"108-2026-1010-5"_s);
        app.db.exec("UPDATE tbl_Trel SET NALOG1 = ?, CEL1 = ?", {nalog1, cel1});
        app.context.state.def_prn = u"PDF-Queue"_s;
        app.printers.names = {u"PDF-Queue"_s};
        Form1 form(app.context);
        form.printService().print(u"3/2026"_s, PrintMode::Preview);
        Trelok_pogled *preview = form.printService().preview();
        QVERIFY(preview);
        auto *label3 = preview->findChild<QLabel *>(u"Label3"_s);
        QCOMPARE(label3->isVisible(), !line.isEmpty());
        QCOMPARE(label3->text(), line);
        // Red frames only where a field overflows.
        const QImage page = preview->surface()->grab().toImage();
        int red = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                red += c.red() > 180 && c.green() < 80 && c.blue() < 80;
            }
        QCOMPARE(red > 0, !line.isEmpty());
        keepPicture(preview, u"preview-"_s + QString::fromLatin1(QTest::currentDataTag()));
        preview->close();
        QTRY_VERIFY(!form.printService().preview());
    }

    void thePageShownIsSavedAsPdf()
    {
        REQUIRE_PDF_TOOLS();
        AppFixture app;
        app.storeOrder(u"3/2026"_s, u"108"_s, u"108-2026-1010-5"_s);
        app.context.state.def_prn = u"PDF-Queue"_s;
        app.printers.names = {u"PDF-Queue"_s};
        Form1 form(app.context);
        QTemporaryDir out;
        QStringList suggested;
        QString answer;
        form.printService().setFileChooser([&](QWidget *, const QString &name) {
            suggested.append(name);
            return answer;
        });
        form.printService().print(u"3/2026"_s, PrintMode::Preview);
        Trelok_pogled *preview = form.printService().preview();
        auto *command3 = preview->findChild<QPushButton *>(u"Command3"_s);
        QCOMPARE(command3->accessibleName(), u"Сними како ПДФ"_s);
        // Cancelled: nothing written.
        command3->click();
        QCOMPARE(suggested, QStringList{u"3-2026.pdf"_s});
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList());
        // The page shown, even after the order was changed meanwhile.
        app.db.exec("UPDATE tbl_Trel SET POVIK = 'changed'");
        answer = out.filePath(u"trelok 3.pdf"_s);
        command3->click();
        QFile pdf(answer);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray data = pdf.readAll();
        QVERIFY(data.startsWith("%PDF-"));
        QProcess text;
        text.start(u"pdftotext"_s, {answer, u"-"_s});
        QVERIFY(text.waitForFinished(30000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(words.contains(u"108-2026-1010-5"_s) && !words.contains(u"changed"_s),
                 qPrintable(words));
        QVERIFY(app.prompter.shown.isEmpty());
        // A refused target is said and nothing is written.
        answer = QDir(app.db.dir.path()).filePath(u"trelok.db"_s);
        const QByteArray before = digest(answer);
        command3->click();
        QCOMPARE(app.prompter.shown,
                 QStringList{u"%1 e datoteka na programata i ne smee da se prezapise"_s.arg(
                     answer)});
        QCOMPARE(digest(answer), before);
        preview->close();
        QTRY_VERIFY(!form.printService().preview());
    }

    void cancelledChooserOpensNoPreview()
    {
        AppFixture app;
        app.context.state.def_prn = u"PDF-Queue"_s;
        Form1 form(app.context);
        app.storeOrder(u"3/2026"_s, u"108"_s, QString());
        whenIdle([] { waitForWindow<izbor_trelok>()->close(); });
        form.pct_Click();
        QCOMPARE(app.context.state.p_tre_br, u"0"_s);
        QVERIFY(!form.printService().preview());
        QVERIFY(app.prompter.shown.isEmpty());
    }

    void printingRefusedAfterThePrinterWasFoundMissing()
    {
        AppFixture app;
        app.storeOrder(u"3/2026"_s, u"108"_s, QString());
        app.context.state.def_prn = u"Removed"_s;
        Form1 form(app.context);
        form.printService().print(u"3/2026"_s, PrintMode::Preview);
        Trelok_pogled *preview = form.printService().preview();
        QVERIFY(preview && preview->isVisible());
        preview->findChild<QPushButton *>(u"Command1"_s)->click();
        QCOMPARE(app.prompter.shown,
                 (QStringList{literal::printerMissing(u"Removed"_s), noPrinterMessage()}));
        preview->close();
    }

    void calibrationWithTheScrollBars_data()
    {
        QTest::addColumn<QString>("storedRight");
        QTest::addColumn<QString>("storedDown");
        QTest::addColumn<int>("right"); // arrow clicks, negative: left
        QTest::addColumn<int>("down");
        QTest::addColumn<QString>("text1");
        QTest::addColumn<QString>("text2");
        QTest::newRow("three right") << u"0"_s << u"0"_s << 3 << 0 << u"3"_s << u"0"_s;
        QTest::newRow("one left from -2") << u"-2"_s << u"0"_s << -1 << 0 << u"-3"_s << u"0"_s;
        QTest::newRow("down 12 twips") << u"0"_s << u"1.5"_s << 0 << 2 << u"0"_s << u"3.5"_s;
        QTest::newRow("up") << u"4"_s << u"0"_s << 0 << -5 << u"4"_s << u"-5"_s;
    }
    void calibrationWithTheScrollBars()
    {
        QFETCH(QString, storedRight);
        QFETCH(QString, storedDown);
        QFETCH(int, right);
        QFETCH(int, down);
        QFETCH(QString, text1);
        QFETCH(QString, text2);
        AppFixture app;
        app.db.exec(sql::cnf::updateOffsets, {storedRight, storedDown});
        pec_pod window(app.context, {});
        QVERIFY(window.Form_Load());
        auto *image = window.findChild<QLabel *>(u"Image1"_s);
        const QPoint design = image->pos();
        auto *h = window.findChild<QScrollBar *>(u"HScroll1"_s);
        auto *v = window.findChild<QScrollBar *>(u"VScroll1"_s);
        QCOMPARE(h->minimum(), -32767);
        QCOMPARE(h->maximum(), 32767);
        step(h,
             right > 0 ? QAbstractSlider::SliderSingleStepAdd
                       : QAbstractSlider::SliderSingleStepSub,
             qAbs(right));
        step(v,
             down > 0 ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub,
             qAbs(down));
        QCOMPARE(window.findChild<QLineEdit *>(u"Text1"_s)->text(), text1);
        QCOMPARE(window.findChild<QLineEdit *>(u"Text2"_s)->text(), text2);
        QCOMPARE(image->pos(), design + QPoint(qRound(right * 6 / 15.0), qRound(down * 6 / 15.0)));
    }

    void dragsGiveFractionsAndSavingStoresTheTexts()
    {
        AppFixture app;
        app.db.exec(sql::prnt::setPrinter, {u"PDF-Queue"_s});
        pec_pod window(app.context, {});
        QVERIFY(window.Form_Load());
        window.findChild<QScrollBar *>(u"HScroll1"_s)->setValue(21); // a dragged thumb
        QCOMPARE(window.findChild<QLineEdit *>(u"Text1"_s)->text(), u"3.5"_s);
        auto *text2 = window.findChild<QLineEdit *>(u"Text2"_s);
        text2->clear();
        QTest::keyClicks(text2, u"-1x2'.5.3"_s); // only a number can be typed
        QCOMPARE(text2->text(), u"-12.53"_s);
        window.findChild<QPushButton *>(u"Command3"_s)->click();
        QCOMPARE(app.prompter.shown, QStringList{u"Uspesno Snimeno Podesuvanje za Pecatar !"_s});
        QVERIFY(!window.isVisible());
        const Stored stored = storedOffsets(app.db);
        QCOMPARE(stored.right, u"3.5"_s);
        QCOMPARE(stored.down, u"-12.53"_s);
    }

    void resetAndLeave_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("resets");
        QTest::newRow("yes") << int(Answer::Yes) << true;
        QTest::newRow("no") << int(Answer::No) << false;
        QTest::newRow("cancel") << int(Answer::Cancel) << false;
    }
    void resetAndLeave()
    {
        QFETCH(int, answer);
        QFETCH(bool, resets);
        AppFixture app;
        app.db.exec(sql::prnt::setPrinter, {u"PDF-Queue"_s});
        app.db.exec(sql::cnf::updateOffsets, {u"7"_s, u"-2"_s});
        app.prompter.answers = {Answer(answer)};
        pec_pod window(app.context, {});
        QVERIFY(window.Form_Load());
        window.show();
        window.findChild<QPushButton *>(u"Command4"_s)->click();
        QCOMPARE(app.prompter.shown.first(),
                 u"Dali Navistina sakate da gi Vratam podesuvanjata za Pecatenje na pocetna "
                 "(Fabricka) Sostojba ? "_s);
        const Stored stored = storedOffsets(app.db);
        QCOMPARE(stored.right, resets ? u"0"_s : u"7"_s);
        QCOMPARE(stored.down, resets ? u"0"_s : u"-2"_s);
        QCOMPARE(window.isVisible(), !resets);
        if (resets)
            QCOMPARE(app.prompter.shown.last(),
                     u"Uspesno Vrateni Podesuvanja za Pecatar na POCETNA sostojba !"_s);
        // Leaving after moving the bars stores nothing.
        if (!resets) {
            window.findChild<QScrollBar *>(u"HScroll1"_s)->setValue(60);
            window.findChild<QPushButton *>(u"Command2"_s)->click();
            QCOMPARE(storedOffsets(app.db).right, u"7"_s);
            QVERIFY(!window.isVisible());
        }
    }

    void help()
    {
        AppFixture app;
        app.db.exec(sql::prnt::setPrinter, {u"PDF-Queue"_s});
        pec_pod window(app.context, {});
        QVERIFY(window.Form_Load());
        window.Command1_Click();
        QCOMPARE(
            app.prompter.shown,
            QStringList{u"So pomos na strelkite LEVO/DESNO . GORE/DOLE podesete go PECATAROT \n"
                        " AKO NE PECATI TOCNO VO RUBRIKITE NA TRELOKOT"_s});
    }

    void choosingThePrinter()
    {
        AppFixture app;
        app.printers.names = {u"Office"_s, u"PDF-Queue"_s};
        Form1 form(app.context);
        QString told;
        pec_pod window(app.context, [&](const QString &name) {
            told = name;
            form.setPrinterLabel(name);
        });
        QVERIFY(window.Form_Load());
        QCOMPARE(
            app.prompter.shown,
            QStringList{u"Izberete Default Pecatar za Proektot so kopceto Izberi Pecatar !"_s});
        window.show();
        auto *list = window.findChild<QListWidget *>(u"List1"_s);
        auto *command5 = window.findChild<QPushButton *>(u"Command5"_s);
        auto *command6 = window.findChild<QPushButton *>(u"Command6"_s);
        QVERIFY(!list->isVisible() && !command6->isVisible() && command5->isVisible());
        command5->click();
        QVERIFY(list->isVisible() && command6->isVisible() && !command5->isVisible());
        QCOMPARE(list->count(), 2);
        command6->click();
        QCOMPARE(app.prompter.shown.last(), u"Izberi Pecatar od listata !"_s);
        QVERIFY(list->isVisible());
        list->setCurrentRow(1);
        command6->click();
        QVERIFY(!list->isVisible() && command5->isVisible());
        QCOMPARE(told, u"PDF-Queue"_s);
        QCOMPARE(app.context.state.def_prn, u"PDF-Queue"_s);
        QCOMPARE(app.printers.current(), u"PDF-Queue"_s);
        QCOMPARE(window.findChild<QLabel *>(u"Label5"_s)->text(), u"PDF-Queue"_s);
        QCOMPARE(form.findChild<QLabel *>(u"Label1"_s)->text(), u"PDF-Queue"_s);
        QCOMPARE(app.db.store.first(sql::prnt::all).value()->text(u"def_print"_s), u"PDF-Queue"_s);
        window.close();
    }

    void theChosenNameIsStoredWithoutBlanks()
    {
        AppFixture app;
        app.printers.names = {u"  Office Laser "_s};
        pec_pod window(app.context, {});
        QVERIFY(window.Form_Load());
        window.show();
        window.findChild<QPushButton *>(u"Command5"_s)->click();
        auto *list = window.findChild<QListWidget *>(u"List1"_s);
        list->setCurrentRow(0);
        window.findChild<QPushButton *>(u"Command6"_s)->click();
        // Read back as stored, not through the trimming reader.
        const QVariant stored = app.db.store.first(sql::prnt::all).value()->raw(u"def_print"_s);
        QCOMPARE(stored.toString(), u"Office Laser"_s);
        QCOMPARE(app.context.state.def_prn, u"Office Laser"_s);
        QCOMPARE(window.findChild<QLabel *>(u"Label5"_s)->text(), u"Office Laser"_s);
        window.close();
    }

    void calibrationSheet_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("printed");
        QTest::newRow("chosen printer") << u"PDF-Queue"_s << QString() << true;
        QTest::newRow("no printer chosen")
            << QString()
            << u"Nepozete Da pecatite Trelok bidejki nemate izbrano Pecatar za Aplikacijata, "
               "Odete na menito Servis/Podesuvanje na pecatar !"_s
            << false;
        QTest::newRow("printer removed")
            << u"Removed"_s
            << u"Definiraniot Pecatar Removed Nepostoi, Izberete nov Printer "
               "(Servis/Podesuvanje na Pecatar)"_s
            << false;
    }
    void calibrationSheet()
    {
        QFETCH(QString, printer);
        QFETCH(QString, message);
        QFETCH(bool, printed);
        AppFixture app;
        app.printers.names = {u"PDF-Queue"_s};
        app.db.exec(sql::prnt::setPrinter, {printer});
        app.db.exec(sql::cnf::updateOffsets, {u"4"_s, u"1"_s});
        pec_pod window(app.context, {});
        QList<CalibrationSheet> sheets;
        QStringList printers;
        window.setSheetPrinter([&](const QString &name, const CalibrationSheet &sheet) {
            printers.append(name);
            sheets.append(sheet);
            return QString();
        });
        QVERIFY(window.Form_Load());
        app.prompter.shown.clear();
        window.show();
        auto *command7 = window.findChild<QPushButton *>(u"Command7"_s);
        QVERIFY(command7->isVisible());
        QCOMPARE(command7->accessibleName(), u"Печати калибрациски лист"_s);
        // The offsets shown, not yet saved: two steps right, five typed down.
        window.findChild<QScrollBar *>(u"HScroll1"_s)
            ->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        window.findChild<QScrollBar *>(u"HScroll1"_s)
            ->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        window.findChild<QLineEdit *>(u"Text2"_s)->setText(u"-5"_s);
        keepPicture(&window, u"printer-window"_s);
        command7->click();
        QCOMPARE(app.prompter.shown, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(sheets.size(), printed ? 1 : 0);
        if (printed) {
            QCOMPARE(printers, QStringList{u"PDF-Queue"_s});
            QCOMPARE(sheets.first().desno, 36.0);
            QCOMPARE(sheets.first().dole, -30.0);
            QCOMPARE(sheets.first().marks.size(), 26);
            QCOMPARE(storedOffsets(app.db).right, u"4"_s); // nothing saved
        }
        window.close();
    }

    void printerTableEmptiedEndsTheApplication()
    {
        AppFixture app;
        app.db.exec("DELETE FROM tbl_prnt");
        pec_pod window(app.context, {});
        QVERIFY(!window.Form_Load());
        QCOMPARE(app.prompter.shown, QStringList{literal::configMissing()});
        QCOMPARE(app.ended, QList<int>{1});
    }
};

QTEST_MAIN(TestPrintWindows)
#include "tst_print_windows.moc"
