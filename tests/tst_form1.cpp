#include "gui_support.h"
#include "literal_messages.h"
#include "test_db.h"

#include "context/app_context.h"
#include "context/pictures.h"
#include "data/statements.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/printers.h"
#include "platform/recording_prompter.h"
#include "shell/application.h"
#include "shell/form1.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QResource>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace trelok;

class TestForm1 : public QObject {
    Q_OBJECT

    struct Fixture {
        TestDb db;
        RecordingPrompter prompter;
        ListedPrinters printers;
        FixedClock clock{QDate(2026, 12, 8)};
        AppContext context{db.store, prompter, printers, clock, db.dir.path(), {}, {}};
        QList<int> ended;
        Fixture()
        {
            context.endApplication = [this](int code) { ended.append(code); };
        }
    };
    QList<QUrl> m_opened;

public slots:
    // Where the guides go instead of the user's viewer.
    void openFile(const QUrl &url) { m_opened.append(url); }

private slots:
    void cleanup()
    {
        MessageBoxPrompter::redirect(nullptr);
        QVERIFY(openWindows().isEmpty());
    }

    // The main window shows the pictures drawn while building, each the
    // same as drawn now in the form font; another size is drawn when asked.
    void picturesAreThoseDrawn_data()
    {
        QTest::addColumn<QString>("label"); // empty: not on the main window
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("built");
        QTest::newRow("background") << u"background"_s << u"background"_s << mainBackgroundSize
                                    << true;
        QTest::newRow("emblem") << u"Image1"_s << u"emblem"_s << mainEmblemPlace.size() << true;
        QTest::newRow("emblem of the entry window")
            << QString() << u"emblem"_s << QSize(387, 383) << false;
    }
    void picturesAreThoseDrawn()
    {
#ifdef Q_OS_WIN
        QSKIP("the pictures are drawn by the build machine's Qt, whose fonts and rasterizer "
              "are not Windows'");
#endif
        QFETCH(QString, label);
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(bool, built);
        Fixture f;
        QCOMPARE(registerApplicationFonts(f.db.dir.path()), 4);
        const bool background = name == u"background"_s;
        const QImage drawn = background ? drawMainBackground(size) : drawEmblem(size);
        const QImage shown = background ? mainBackground(size) : emblem(size);
        QCOMPARE(shown, drawn);
        // A built copy is shown from the program's own bytes.
        const QResource copy(u":/pictures/"_s + name);
        QVERIFY(copy.isValid());
        QCOMPARE(shown.constBits() == copy.data() + 3 * sizeof(qint32), built);
        if (label.isEmpty())
            return;
        Form1 form(f.context);
        QCOMPARE(form.findChild<QLabel *>(label)->pixmap().toImage(), drawn);
    }

    void windowAndMenu()
    {
        Fixture f;
        Form1 form(f.context);
        QCOMPARE(form.windowTitle(), u"PP 50"_s);
        QCOMPARE(form.centralWidget()->size(), QSize(619, 382));
        auto *label = form.findChild<QLabel *>(u"Label1"_s);
        QCOMPARE(label->geometry(), QRect(8, 360, 297, 17));
        QCOMPARE(form.findChild<QLabel *>(u"Image1"_s)->geometry(), QRect(96, 64, 131, 127));

        QStringList menus;
        for (QAction *a : form.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{u"&Vnes"_s, u"P&romeni"_s, u"&Pecati"_s, u"&Servis"_s,
                                     u"Po&mos"_s, u"&Izlez"_s}));
        const QList<QPair<QString, QString>> items{
            {u"ntrel"_s, u"Nov &Trelok"_s},
            {u"azur_tre"_s, u"&Postoecki Trelok"_s},
            {u"pct"_s, u"&Pecatenje na Postoecki Snimen Trelok"_s},
            {u"lista_per"_s, u"&Lista na Treloci za Period"_s},
            {u"rasp_pol"_s, u"&Raspored na Polinjata"_s},
            {u"pec_podes"_s, u"&Podesuvanje na Pecatar"_s},
            {u"vfpd"_s, u"&Vasi Fiksni Podatoci"_s},
            {u"sdb"_s, u"&Sifrarnik na Danocni Broevi"_s},
            {u"uinstall"_s, u"Upatstvo za &Instalacija"_s},
            {u"upkor"_s, u"Upatstvo za &Koristenje"_s},
            {u"abbo"_s, u"&About"_s},
            {u"izl"_s, u"&Izlez"_s}};
        for (const auto &[name, caption] : items) {
            auto *action = form.findChild<QAction *>(name);
            QVERIFY2(action, qPrintable(name));
            QCOMPARE(action->text(), caption);
        }
        // Every item has an access key, none twice in its menu.
        for (QMenu *menu : form.menuBar()->findChildren<QMenu *>()) {
            QSet<QChar> keys;
            for (QAction *a : menu->actions()) {
                const QString after = a->text().section(u'&', 1).toLower();
                const QChar key = after.isEmpty() ? QChar() : after.front();
                QVERIFY2(!key.isNull() && !keys.contains(key), qPrintable(a->text()));
                keys.insert(key);
            }
        }
        form.setPrinterLabel(u"PDF-Queue"_s);
        QCOMPARE(label->text(), u"PDF-Queue"_s);
    }

    void aboutAndTheGuides()
    {
        Fixture f;
        Form1 form(f.context);
        // The guides open in the user's viewer: here, in this test.
        QDesktopServices::setUrlHandler(u"file"_s, this, "openFile");
        m_opened.clear();
        form.findChild<QAction *>(u"uinstall"_s)->trigger();
        form.findChild<QAction *>(u"upkor"_s)->trigger();
        QDesktopServices::unsetUrlHandler(u"file"_s);
        QCOMPARE(m_opened.size(), 2);
        QVERIFY(m_opened[0].toLocalFile().endsWith(u"/share/trelok/guide/instalacija.html"_s));
        QVERIFY(m_opened[1].toLocalFile().endsWith(u"/share/trelok/guide/koristenje.html"_s));
        for (const QUrl &url : m_opened) {
            QFile guide(url.toLocalFile());
            QVERIFY(guide.open(QIODevice::ReadOnly));
            QVERIFY(guide.readAll().contains("<h1>Upatstvo za "));
        }
        QVERIFY(f.prompter.shown.isEmpty());
        form.findChild<QAction *>(u"abbo"_s)->trigger();
        QCOMPARE(f.prompter.shown,
                 QStringList{
                     u"Priprema / Pecatenje na Treloki za uplata prema Carinska Uprava na RM\n"_s +
                     QString(45, u' ') + u"Verzija 1.1"_s});
    }

    void izlezEndsTheApplication()
    {
        Fixture f;
        Form1 form(f.context);
        form.show();
        form.findChild<QAction *>(u"izl"_s)->trigger();
        QCOMPARE(f.ended, QList<int>{0});
        QVERIFY(!form.isVisible());
    }

    void messageBoxWrapper_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("press");
        QTest::addColumn<int>("answer");
        QTest::newRow("ok") << int(Buttons::Ok) << int(QMessageBox::Ok) << int(Answer::Ok);
        QTest::newRow("yes") << int(Buttons::YesNo) << int(QMessageBox::Yes) << int(Answer::Yes);
        QTest::newRow("no") << int(Buttons::YesNoCancel) << int(QMessageBox::No) << int(Answer::No);
        QTest::newRow("cancel") << int(Buttons::YesNoCancel) << int(QMessageBox::Cancel)
                                << int(Answer::Cancel);
    }
    void messageBoxWrapper()
    {
        QFETCH(int, buttons);
        QFETCH(int, press);
        QFETCH(int, answer);
        QString title;
        QString text;
        whenIdle([&] {
            auto *box = waitForWindow<QMessageBox>();
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            box->button(QMessageBox::StandardButton(press))->click();
        });
        const Answer got = messageBoxes().ask(u"Prv red\nVtor\rTret"_s, Buttons(buttons));
        QCOMPARE(int(got), answer);
        QCOMPARE(title, u"trelok"_s);
        QCOMPARE(text, u"Prv red\nVtor\nTret"_s);
    }

    void messageBoxWrapperCanBeScripted()
    {
        RecordingPrompter scripted;
        scripted.answers = {Answer::No};
        MessageBoxPrompter::redirect(&scripted);
        QCOMPARE(messageBoxes().ask(u"Pra{awe ?"_s, Buttons::YesNo), Answer::No);
        QCOMPARE(scripted.shown, QStringList{u"Pra{awe ?"_s});
    }

    // The whole program: installation into an empty directory, start-up with
    // its printer message, the main window, and "&Izlez".
    void wholeProgramInstallsAndStarts()
    {
        QTemporaryDir dir;
        const QString appDir = dir.filePath(u"app"_s);
        RecordingPrompter scripted;
        MessageBoxPrompter::redirect(&scripted);
        QString title;
        whenIdle([&] {
            auto *form = waitForWindow<Form1>();
            QVERIFY(form);
            title = form->windowTitle();
            form->findChild<QAction *>(u"izl"_s)->trigger();
        });
        const int status = runApplication({u"trelok"_s, u"--dir"_s, appDir});
        QCOMPARE(status, 0);
        QCOMPARE(title, u"PP 50"_s);
        QCOMPARE(scripted.shown, QStringList{literal::choosePrinterInMenu()});
        QVERIFY(QFile::exists(databasePath(appDir)));

        // A second start changes nothing in the file.
        const QByteArray before = digest(databasePath(appDir));
        whenIdle([&] { waitForWindow<Form1>()->close(); });
        QCOMPARE(runApplication({u"trelok"_s, u"--dir"_s, appDir}), 0);
        QCOMPARE(digest(databasePath(appDir)), before);
    }

    void wholeProgramEndsWithoutPrinterTable()
    {
        TestDb db;
        db.exec("DELETE FROM tbl_prnt");
        RecordingPrompter scripted;
        MessageBoxPrompter::redirect(&scripted);
        QVERIFY(runApplication({u"trelok"_s, u"--dir"_s, db.dir.path()}) != 0);
        QCOMPARE(scripted.shown, QStringList{literal::configMissing()});
    }

    void wholeProgramRefusesADamagedDatabase()
    {
        QTemporaryDir dir;
        QFile file(databasePath(dir.path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a database");
        file.close();
        RecordingPrompter scripted;
        MessageBoxPrompter::redirect(&scripted);
        QVERIFY(runApplication({u"trelok"_s, u"--dir"_s, dir.path()}) != 0);
        QCOMPARE(scripted.shown.size(), 1);
        QVERIFY(QFile(databasePath(dir.path())).open(QIODevice::ReadOnly));
        QFile again(databasePath(dir.path()));
        again.open(QIODevice::ReadOnly);
        QCOMPARE(again.readAll(), QByteArray("not a database"));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
