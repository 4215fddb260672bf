#include "app_fixture.h"
#include "gui_support.h"

#include "platform/fonts.h"
#include "print/calibration_sheet.h"
#include "print/layout.h"
#include "print/print_job.h"
#include "print/raspored_polinja.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

const QString number = u"0000012026"_s;
const QString saved = u"Rasporedot na polinjata e snimen !"_s;

QImage render(const PrintJob &job)
{
    QImage image(1240, 700, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(0.1, 0.1);
    paintJob(painter, job);
    return image;
}

PrintJob printed(Store &store)
{
    return loadPrintJob(store, number).value().job;
}

PlacedField *fieldOf(PrintJob &job, const QString &box)
{
    for (PlacedField &field : job.fields)
        if (field.box == box)
            return &field;
    return nullptr;
}

void keepPicture(QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("TRELOK_SHOT_DIR");
    if (!dir.isEmpty())
        window->grab().save(dir + u"/"_s + name + u".png"_s);
}

// The window opened on the fixture's database with NALOG1 chosen in the list.
struct OpenWindow {
    explicit OpenWindow(AppFixture &app) : window(app.context)
    {
        // The form font, from a directory that lives as long as the test.
        static QTemporaryDir fontDir;
        static const bool fonts = installIfMissing(fontDir.path()).ok() &&
                                  registerApplicationFonts(fontDir.path()) > 0;
        Q_UNUSED(fonts);
        if (!window.Form_Load())
            qFatal("the layout window did not load");
        window.show();
        list = window.findChild<QListWidget *>(u"List1"_s);
        list->setCurrentRow(0);
        surface = window.findChild<QWidget *>(u"surface"_s);
    }
    QPushButton *command(int n)
    {
        return window.findChild<QPushButton *>(u"Command%1"_s.arg(n));
    }
    raspored_polinja window;
    QListWidget *list = nullptr;
    QWidget *surface = nullptr;
};

} // namespace

class TestLayoutWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QVERIFY(openWindows().isEmpty()); }

    // Keys, typing and dragging move exactly the chosen row; the window's
    // page and the printed page follow.
    void movingAField_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("len");
        // The arrows step whole tenths of a millimetre (1440/254 twips
        // each, rounded): one between two tenths goes to the next one first.
        QTest::newRow("right") << u"Right"_s << 119.0 << 699.0 << 3962.0;
        QTest::newRow("ten steps make a millimetre")
            << QStringList(10, u"Right"_s).join(u',') << 170.0 << 699.0 << 3962.0;
        QTest::newRow("up, between two tenths") << u"Up"_s << 113.0 << 697.0 << 3962.0;
        QTest::newRow("shift down") << u"Shift+Down"_s << 113.0 << 754.0 << 3962.0;
        QTest::newRow("left stops at 0") << u"Shift+Left,Shift+Left"_s << 0.0 << 699.0 << 3962.0;
        QTest::newRow("up stops at 0") << QStringList(14, u"Shift+Up"_s).join(u',') << 113.0 << 0.0
                                       << 3962.0;
        // Typed in true tenths of a millimetre: 20 mm, 10.05 mm, 50 mm.
        QTest::newRow("typed left") << u"Text1=200"_s << 1134.0 << 699.0 << 3962.0;
        QTest::newRow("typed top") << u"Text2=100.5"_s << 113.0 << 570.0 << 3962.0;
        QTest::newRow("typed width") << u"Text3=500"_s << 113.0 << 699.0 << 2835.0;
        // Chosen in the list with the mouse or Return: the arrows then move it.
        QTest::newRow("list clicked, then Right") << u"click,Right"_s << 119.0 << 699.0 << 3962.0;
        QTest::newRow("Return in the list, then Right")
            << u"Return,Right"_s << 119.0 << 699.0 << 3962.0;
        QTest::newRow("dragged") << u"drag"_s << 163.0 << 719.0 << 3962.0;
        QTest::newRow("dragged in small moves") << u"drag in steps"_s << 163.0 << 719.0 << 3962.0;
        // The boxes show rounded values (660.3 for 3962 twips): leaving them
        // untyped keeps the row as it is.
        QTest::newRow("boxes left untyped") << u"leave"_s << 113.0 << 699.0 << 3962.0;
    }
    void movingAField()
    {
        QFETCH(QString, how);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, len);
        AppFixture app;
        app.storeOrder(number, u"108"_s, u"108-2026"_s);
        const QList<QStringList> before = app.db.store.texts(sql::koor::list).value();
        PrintJob expected = printed(app.db.store);
        *fieldOf(expected, u"NALOG1"_s) = {u"NALOG1"_s, x, y, len, u"v2"_s, u'L'};
        {
            OpenWindow w(app);
            QCOMPARE(w.list->item(0)->text(), u"NALOG1 \u2013 Налогодавач"_s);
            if (how.startsWith(u"drag"_s)) {
                const QPoint from(20, 72); // inside NALOG1's frame, 10 twips a pixel
                QTest::mousePress(w.surface, Qt::LeftButton, {}, from);
                if (how == u"drag in steps"_s) // each move follows the mouse from where it is
                    for (int step = 1; step < 5; ++step)
                        QTest::mouseMove(w.surface, from + QPoint(step, step / 2));
                QTest::mouseMove(w.surface, from + QPoint(5, 2));
                QTest::mouseRelease(w.surface, Qt::LeftButton, {}, from + QPoint(5, 2));
            } else if (how == u"leave"_s) {
                for (auto *box : w.window.findChildren<QLineEdit *>())
                    emit box->editingFinished();
            } else if (how.startsWith(u"Text"_s)) {
                auto *box = w.window.findChild<QLineEdit *>(how.section(u'=', 0, 0));
                box->setFocus();
                box->selectAll();
                QTest::keyClicks(box, how.section(u'=', 1));
                QTest::keyClick(box, Qt::Key_Return);
            } else if (how.startsWith(u"click,"_s) || how.startsWith(u"Return,"_s)) {
                w.list->setFocus();
                if (how.startsWith(u"click"_s))
                    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {},
                                      w.list->visualItemRect(w.list->item(0)).center());
                else
                    QTest::keyClick(w.list, Qt::Key_Return);
                QTest::keyClick(w.window.focusWidget(), Qt::Key_Right);
            } else {
                w.surface->setFocus();
                for (const QString &key : how.split(u','))
                    QTest::keySequence(w.surface, QKeySequence(key));
            }
            PrintJob shown = w.window.page();
            // The amount stands right-aligned, as printed.
            QCOMPARE(fieldOf(shown, u"MKD_CEL"_s)->jsft, u'R');
            const PlacedField *moved = fieldOf(shown, u"NALOG1"_s);
            QCOMPARE((QList<double>{moved->z_x, moved->z_y, moved->z_len}),
                     (QList<double>{x, y, len}));
            keepPicture(&w.window, u"layout-"_s + QString::fromLatin1(QTest::currentDataTag()));
            w.command(1)->click();
        }
        QCOMPARE(app.prompter.shown, QStringList{saved});
        QList<QStringList> after = app.db.store.texts(sql::koor::list).value();
        QCOMPARE(after.first(), (QStringList{u"NALOG1"_s, coordinateText(x), coordinateText(y),
                                            coordinateText(len)}));
        QCOMPARE(after.mid(1), before.mid(1));
        QCOMPARE(render(printed(app.db.store)), render(expected));
    }

    // Leaving writes nothing; nor does a save after another workstation
    // saved its layout.
    void leavingWritesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("Izlez / Otkaz") << u"Command4"_s << QStringList();
        QTest::newRow("close box") << u"close"_s << QStringList();
        QTest::newRow("changed meanwhile")
            << u"changed"_s
            << QStringList{u"Rasporedot na polinjata vo meguvreme e promenet od druga rabotna "
                           u"stanica, nisto ne e snimeno ! Otvorete go prozorecot povtorno."_s};
    }
    void leavingWritesNothing()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, shown);
        AppFixture app;
        OpenWindow w(app);
        QTest::keyClick(w.surface, Qt::Key_Right, Qt::ShiftModifier);
        if (how == u"changed"_s)
            app.db.exec("UPDATE tbl_koor SET z_len='10' WHERE box='MESTO'");
        const QByteArray stored = digest(app.db.store.path());
        if (how == u"close"_s)
            w.window.close();
        else
            w.command(how == u"changed"_s ? 1 : 4)->click();
        QCOMPARE(app.prompter.shown, shown);
        QCOMPARE(w.window.isVisible(), how == u"changed"_s);
        QCOMPARE(digest(app.db.store.path()), stored);
        w.window.close();
    }

    // On a server the layout is the whole office's: the save asks first,
    // and No writes nothing.
    void onAServerTheSaveAsksFirst_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes saves") << true;
        QTest::newRow("No writes nothing") << false;
    }
    void onAServerTheSaveAsksFirst()
    {
        QFETCH(bool, yes);
        if (testServer().url.isEmpty())
            QSKIP(qPrintable(u"no PostgreSQL test server: "_s + testServer().reason));
        testEngine() = Engine::Server;
        const auto onTheFile = qScopeGuard([] { testEngine() = Engine::File; });
        AppFixture app;
        app.prompter.answers = {yes ? Answer::Yes : Answer::No};
        const QList<QStringList> before = app.db.store.texts(sql::koor::list).value();
        {
            OpenWindow w(app);
            QTest::keyClick(w.surface, Qt::Key_Right, Qt::ShiftModifier);
            w.command(1)->click();
            w.window.close();
        }
        const QString question = u"Rasporedot na polinjata e zaednicki za celata kancelarija: so "
                                 u"snimanjeto se menuva za sekoja rabotna stanica. Da se snimi ?"_s;
        QCOMPARE(app.prompter.shown, (yes ? QStringList{question, saved} : QStringList{question}));
        QCOMPARE(app.db.store.texts(sql::koor::list).value() == before, !yes);
    }

    void restoringGivesTheDeliveredLayout()
    {
        AppFixture app;
        app.db.exec("UPDATE tbl_koor SET z_x='999' WHERE box='NALOG1'");
        app.db.exec("DELETE FROM tbl_koor WHERE box='VALUTA'");
        app.prompter.answers = {Answer::Yes};
        {
            OpenWindow w(app);
            QCOMPARE(w.list->count(), 25);
            w.command(2)->click();
            QCOMPARE(w.list->count(), 26);
            w.command(1)->click();
        }
        QCOMPARE(app.prompter.shown,
                 (QStringList{u"Da se vrati isporacaniot raspored na site polinja ? (Se snimuva "
                              u"duri so OK - Snimi)"_s,
                              saved}));
        QCOMPARE(readLayout(app.db.store).value(), deliveredLayout());
        QCOMPARE(deliveredLayout().size(), 26);
    }

    // The sheet shows the layout on the screen, unsaved, with the stored
    // offsets, on the application's printer.
    void calibrationSheetOfTheLayoutShown()
    {
        AppFixture app;
        app.printers.names = {u"PDF-Queue"_s};
        app.context.state.def_prn = u"PDF-Queue"_s;
        app.db.exec(sql::cnf::updateOffsets, {u"4"_s, u"1"_s});
        const QByteArray stored = digest(app.db.store.path());
        QList<CalibrationSheet> sheets;
        QStringList printers;
        OpenWindow w(app);
        w.window.setSheetPrinter([&](const QString &name, const CalibrationSheet &sheet) {
            printers.append(name);
            sheets.append(sheet);
            return QString();
        });
        QTest::keyClick(w.surface, Qt::Key_Down);
        w.command(3)->click();
        QCOMPARE(printers, QStringList{u"PDF-Queue"_s});
        QCOMPARE(sheets.size(), 1);
        QCOMPARE(sheets.first().desno, 24.0);
        QCOMPARE(sheets.first().dole, 6.0);
        QCOMPARE(sheets.first().marks.size(), 26);
        QCOMPARE(sheets.first().marks.first().z_y, 703.0);
        QCOMPARE(digest(app.db.store.path()), stored);
        w.surface->setFocus();
        QCOMPARE(tabWalk(&w.window, 9),
                 (QStringList{u"surface"_s, u"List1"_s, u"Text1"_s, u"Text2"_s, u"Text3"_s,
                              u"Command1"_s, u"Command2"_s, u"Command3"_s, u"Command4"_s}));
        QCOMPARE(w.command(3)->accessibleName(), u"Печати калибрациски лист"_s);
        w.window.close();
    }
};

QTEST_MAIN(TestLayoutWindow)

#include "tst_layout_window.moc"
