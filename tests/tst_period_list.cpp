#include "app_fixture.h"

#include "platform/fonts.h"
#include "print/lista_period.h"
#include "print/period_list.h"
#include "print/period_list_page.h"
#include "shell/command_line.h"
#include "shell/headless_commands.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QTextStream>
#include <QTreeView>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

// number, date, kind, whole denars, decimals
const char16_t *const orders[][5] = {
    {u"1/2026", u"28.02.2026", u"108", u"1 000", u"00"}, // the day before the period
    {u"2/2026", u"01.03.2026", u"108", u"1 234", u"50"}, // its first day
    {u"10/2026", u"15.03.2026", u"108", u"12abc", u"00"},
    {u"3/2026", u"15.03.2026", u"205", u"0,50", u""},
    {u"7/2026", u" 20.03.2026 ", u"108", u"2 000", u" 50 "},
    {u"4/2026", u"31.03.2026", u"205", u"", u"00"},  // its last day
    {u"5/2026", u"01.04.2026", u"108", u"7", u"00"}, // the day after
    {u"6/2026", u"1.3.2026", u"108", u"9", u"00"},   // no date of the form
};

void storeOrders(TestDb &db)
{
    for (const auto &o : orders) {
        QVariantList values;
        for (int i = 0; i < 28; ++i)
            values.append(QString());
        values[0] = QString::fromUtf16(o[0]);
        values[1] = u"Firma "_s + QString::fromUtf16(o[0]);
        values[6] = u"108-2026-1010"_s;
        values[7] = u"4030999123456"_s;
        values[8] = u"Carina"_s;
        values[13] = QString::fromUtf16(o[3]);
        values[14] = QString::fromUtf16(o[4]);
        values[24] = QString::fromUtf16(o[1]);
        values[26] = QString::fromUtf16(o[2]);
        db.exec(sql::trel::insert, values);
    }
    db.exec("UPDATE tbl_cnf SET nalog1='Primer DOOEL' WHERE trelok_br='0000000000'");
}

const Period march{QDate(2026, 3, 1), QDate(2026, 3, 31), {}};

QStringList numbers(const PeriodList &list)
{
    QStringList n;
    for (const PeriodLine &l : list.lines)
        n.append(l.number);
    return n;
}

// With TRELOK_SHOT_DIR set, a window is also kept there as a picture to
// look at.
void keepPicture(QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("TRELOK_SHOT_DIR");
    if (!dir.isEmpty())
        window->grab().save(dir + u"/"_s + name + u".png"_s);
}

QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

} // namespace

class TestPeriodList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { engineRows(); }
    void init() { USE_ENGINE_OF_ROW(); }

    void amounts_data()
    {
        QTest::addColumn<QString>("whole");
        QTest::addColumn<QString>("decimals");
        QTest::addColumn<qint64>("hundredths"); // -1: set apart
        QTest::addColumn<QString>("stored");    // as a set-apart order shows it
        QTest::newRow("grouped") << u"1 234"_s << u"50"_s << qint64(123450) << QString();
        QTest::newRow("blanks around") << u" 7 "_s << u" 50 "_s << qint64(750) << QString();
        QTest::newRow("decimal comma") << u"0,50"_s << u""_s << qint64(50) << QString();
        QTest::newRow("one decimal digit") << u"0,5"_s << u"00"_s << qint64(50) << QString();
        QTest::newRow("no decimals") << u"99"_s << u""_s << qint64(9900) << QString();
        QTest::newRow("letters") << u"12abc"_s << u"00"_s << qint64(-1) << u"12abc"_s;
        QTest::newRow("empty") << u""_s << u"00"_s << qint64(-1) << u""_s;
        QTest::newRow("two decimal parts") << u"1,50"_s << u"50"_s << qint64(-1) << u"1,50,50"_s;
        QTest::newRow("point") << u"15.7"_s << u"00"_s << qint64(-1) << u"15.7"_s;
        QTest::newRow("sign") << u"-5"_s << u"00"_s << qint64(-1) << QString();
        QTest::newRow("three decimals") << u"5"_s << u"500"_s << qint64(-1) << u"5,500"_s;
        QTest::newRow("too many digits") << u"1234567890123"_s << u""_s << qint64(-1) << QString();
    }
    void amounts()
    {
        QFETCH(QString, whole);
        QFETCH(QString, decimals);
        QFETCH(qint64, hundredths);
        QFETCH(QString, stored);
        QCOMPARE(orderHundredths(whole, decimals).value_or(-1), hundredths);
        if (!stored.isNull())
            QCOMPARE(storedAmount(whole, decimals), stored);
    }

    void denarsAreWritten()
    {
        QCOMPARE(denars(0), u"0,00"_s);
        QCOMPARE(denars(50), u"0,50"_s);
        QCOMPARE(denars(123456789), u"1 234 567,89"_s);
    }

    void listAndTotals_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("totals");
        QTest::newRow("every kind")
            << QString() << QStringList{u"2/2026"_s, u"3/2026"_s, u"10/2026"_s, u"7/2026"_s, u"4/2026"_s}
            << QStringList{u"Izdvoeni treloci: 2 ne se sobrani, 1 ne se vo listata"_s,
                           u"Vkupno za vid 108: 2 treloci, 3 235,00 den."_s,
                           u"Vkupno za vid 205: 1 treloci, 0,50 den."_s,
                           u"VKUPNO: 3 treloci, 3 235,50 den."_s,
                           u"Ne se sobrani, iznosot ne e samo cifri (2):"_s,
                           u"    10/2026 (vid 108): \"12abc\""_s,
                           u"    4/2026 (vid 205): \"\""_s,
                           u"Ne se vo listata, datumot ne e DD.MM.GGGG (1):"_s,
                           u"    6/2026 (vid 108): \"1.3.2026\""_s};
        QTest::newRow("one kind")
            << u" 205"_s << QStringList{u"3/2026"_s, u"4/2026"_s}
            << QStringList{u"Izdvoeni treloci: 1 ne se sobrani, 0 ne se vo listata"_s,
                           u"Vkupno za vid 205: 1 treloci, 0,50 den."_s,
                           u"VKUPNO: 1 treloci, 0,50 den."_s,
                           u"Ne se sobrani, iznosot ne e samo cifri (1):"_s,
                           u"    4/2026 (vid 205): \"\""_s};
    }
    void listAndTotals()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, totals);
        TestDb db;
        storeOrders(db);
        Period period = march;
        period.kind = kind;
        auto list = readPeriodList(db.store, period);
        QVERIFY2(list.ok(), qPrintable(list.error()));
        QCOMPARE(numbers(list.value()), listed);
        QCOMPARE(totalsText(list.value().totals), totals);
        QCOMPARE(list.value().company, u"Primer DOOEL"_s);
    }

    void csvBytes()
    {
        TestDb db;
        storeOrders(db);
        Period period = march;
        period.from = QDate(2026, 3, 15);
        auto list = readPeriodList(db.store, period);
        QVERIFY(list.ok());
        const QString file = db.dir.filePath(u"lista.csv"_s);
        QCOMPARE(writePeriodCsv(list.value(), file, db.dir.path()), QString());
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(),
                 QByteArray("Broj,Datum,Vid,Nalogodavac,Povikuvanje na broj,Cel na doznaka,Iznos\r\n"
                            "3/2026,15.03.2026,205,Firma 3/2026,108-2026-1010,4030999123456 Carina,0.50\r\n"
                            "10/2026,15.03.2026,108,Firma 10/2026,108-2026-1010,4030999123456 Carina,12abc (ne e sobran)\r\n"
                            "7/2026,20.03.2026,108,Firma 7/2026,108-2026-1010,4030999123456 Carina,2000.50\r\n"
                            "4/2026,31.03.2026,205,Firma 4/2026,108-2026-1010,4030999123456 Carina,"
                            "\"(prazen, ne e sobran)\"\r\n"
                            "Vkupno,,108,1,,,2000.50\r\n"
                            "Vkupno,,205,1,,,0.50\r\n"
                            "Vkupno,,,2,,,2001.00\r\n"
                            "Ne se sobrani,,,2,,,\r\n"
                            "Ne se vo listata,,,1,,,\r\n"
                            "Ne e sobran,,108,10/2026,,,12abc\r\n"
                            "Ne e sobran,,205,4/2026,,,\r\n"
                            "Datumot ne se cita,1.3.2026,108,6/2026,,,\r\n"));
    }

    void pdfPagesCarryHeaderNumbersAndTotals()
    {
        REQUIRE_PDF_TOOLS();
        TestDb db;
        QVERIFY(registerApplicationFonts(db.dir.path()) == 4);
        PeriodList list;
        list.period = march;
        list.company = u"Primer DOOEL"_s;
        for (int i = 1; i <= 70; ++i)
            list.lines.append({u"%1/2026"_s.arg(i), u"02.03.2026"_s, u"108"_s, u"Firma"_s,
                               u"108-2026"_s, u"Carina"_s, u"1,00"_s, true, 100});
        list.lines.append({u"71/2026"_s, u"02.03.2026"_s, u"108"_s, u"Firma"_s, u"108-2026"_s,
                           u"Carina"_s, u"1234567890123"_s});
        list.totals.all = {QString(), 70, 7000};
        list.totals.amountApart = {{u"71/2026"_s, u"108"_s, u"1234567890123"_s}};
        QCOMPARE(periodPageCount(list), 2);
        const QString file = db.dir.filePath(u"lista.pdf"_s);
        QCOMPARE(writePeriodPdf(list, file, db.dir.path()), QString());
        const QString text = pdfText(file);
        QCOMPARE(text.count(u"Primer DOOEL"_s), 2);
        QCOMPARE(text.count(u"Lista na Treloci za Period 01.03.2026 - 31.03.2026"_s), 2);
        QVERIFY2(text.contains(u"Strana 1 / 2"_s) && text.contains(u"Strana 2 / 2"_s),
                 qPrintable(text));
        QVERIFY(text.indexOf(u"VKUPNO: 70 treloci, 70,00 den."_s) > text.indexOf(u"Strana 1 / 2"_s));
        // Every line, the last of the full first page among them.
        QSet<QString> drawn;
        for (const auto &number : QRegularExpression(u"\\b(\\d+)/2026\\b"_s).globalMatch(text))
            drawn.insert(number.captured(1));
        QCOMPARE(drawn.size(), 71);
        // A stored amount too long for its column keeps its end and its mark.
        QVERIFY2(text.contains(u"90123 (ne e sobran)"_s), qPrintable(text));
        QVERIFY(text.contains(u"Izdvoeni treloci: 1 ne se sobrani, 0 ne se vo listata"_s));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        const QString from = u"01.03.2026"_s, to = u"31.03.2026"_s;
        QTest::newRow("csv") << QStringList{u"--list"_s, from, to, u"--csv"_s, u"DIR/l.csv"_s}
                             << 0 << QString();
        QTest::newRow("pdf of a kind")
            << QStringList{u"--list"_s, from, to, u"--kind"_s, u"205"_s, u"--pdf"_s, u"DIR/l.pdf"_s}
            << 0 << QString();
        QTest::newRow("no date")
            << QStringList{u"--list"_s, u"32.03.2026"_s, to, u"--csv"_s, u"DIR/l.csv"_s} << 2
            << u"trelok: Pogresen datum: 32.03.2026 (datumot se pisuva DD.MM.GGGG)\n"_s;
        QTest::newRow("dates the wrong way")
            << QStringList{u"--list"_s, to, from, u"--csv"_s, u"DIR/l.csv"_s} << 2
            << u"trelok: Pocetniot datum 31.03.2026 e posle krajniot 01.03.2026\n"_s;
        QTest::newRow("no file") << QStringList{u"--list"_s, from, to} << 2
                                 << u"trelok: So --list odi tocno edna od opciite --pdf FILE i "
                                    "--csv FILE\n"_s;
        QTest::newRow("two files")
            << QStringList{u"--list"_s, from, to, u"--csv"_s, u"DIR/l.csv"_s, u"--pdf"_s,
                           u"DIR/l.pdf"_s}
            << 2 << u"trelok: So --list odi tocno edna od opciite --pdf FILE i --csv FILE\n"_s;
        QTest::newRow("unknown kind")
            << QStringList{u"--list"_s, from, to, u"--kind"_s, u"XYZ"_s, u"--csv"_s, u"DIR/l.csv"_s}
            << 2 << u"trelok: Nepoznat vid na uplata: XYZ\n"_s;
        QTest::newRow("into a directory")
            << QStringList{u"--list"_s, from, to, u"--csv"_s, u"DIR"_s} << 1
            << u"trelok: DIR e direktorium, ne datoteka za CSV\n"_s;
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, err);
        TestDb db;
        storeOrders(db);
        const QString dir = db.dir.path();
        arguments.replaceInStrings(u"DIR"_s, dir);
        const CommandLine line =
            parseCommandLine(QStringList{u"trelok"_s, u"--dir"_s, dir} + arguments);
        QCOMPARE(line.use, CommandLine::Use::Headless);
        QString out, errors;
        QTextStream outStream(&out), errStream(&errors);
        ListedPrinters printers;
        HeadlessRun run{db.store, line, dir, outStream, errStream, printers};
        QCOMPARE(line.command->run(run), status);
        QCOMPARE(errors, QString(err).replace(u"DIR"_s, dir));
        const QString written = arguments.last();
        QCOMPARE(QFileInfo(written).isFile(), status == 0);
    }

    void windowListsPrintsAndSaves()
    {
        AppFixture app;
        storeOrders(app.db);
        app.context.state.def_prn = u"Laser"_s;
        app.printers.names = {u"Laser"_s};
        lista_period window(app.context);
        QVERIFY(window.Form_Load());
        // Every control has a name to speak and a place in the tab order.
        for (QWidget *control : window.findChildren<QWidget *>())
            if (control->focusPolicy() & Qt::TabFocus && control->parent() == &window)
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        auto *from = window.findChild<QLineEdit *>(u"dat_od"_s);
        QCOMPARE(from->text(), u"01.12.2026"_s); // the current month
        QStringList tabOrder;
        for (QWidget *w = from; tabOrder.size() < 10; w = w->nextInFocusChain())
            if (w->parent() == &window && w->focusPolicy() & Qt::TabFocus)
                tabOrder.append(w->objectName());
        QCOMPARE(tabOrder, (QStringList{u"dat_od"_s, u"dat_do"_s, u"vid"_s, u"Command1"_s,
                                        u"ListView1"_s, u"vkupno"_s, u"Command2"_s, u"Command3"_s,
                                        u"Command4"_s, u"Command5"_s}));
        from->setText(u"01.03.2026"_s);
        window.findChild<QLineEdit *>(u"dat_do"_s)->setText(u"31.03.2026"_s);
        // Shown as the user has it: a shown view lays itself out over the
        // lines up to the window's end.
        registerApplicationFonts(app.db.dir.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Command1_Click();
        // Amounts not summed are marked, in a column wide enough for them
        // (with room for the item's margins).
        auto *view = window.findChild<QTreeView *>(u"ListView1"_s);
        QCOMPARE(view->model()->index(2, 6).data().toString(), u"12abc (ne e sobran)"_s);
        QCOMPARE(view->model()->index(4, 6).data().toString(), u"(prazen, ne e sobran)"_s);
        QVERIFY(view->fontMetrics().horizontalAdvance(u"(prazen, ne e sobran)"_s) + 10 <=
                view->columnWidth(6));
        // Of every kind the totals run below the box's fold; the count of the
        // orders set apart is its top line.
        auto *totals = window.findChild<QPlainTextEdit *>(u"vkupno"_s);
        QVERIFY(totals->verticalScrollBar()->maximum() > 0);
        QCOMPARE(totals->cursorForPosition(QPoint(2, 2)).block().text(),
                 u"Izdvoeni treloci: 2 ne se sobrani, 1 ne se vo listata"_s);
        keepPicture(&window, u"lista_period"_s);
        auto *kind = window.findChild<QComboBox *>(u"vid"_s);
        kind->setCurrentIndex(kind->findData(u"205"_s));
        window.Command1_Click();
        QCOMPARE(window.findChild<QTreeView *>(u"ListView1"_s)->model()->rowCount(), 2);
        QVERIFY(window.findChild<QPlainTextEdit *>(u"vkupno"_s)->toPlainText().contains(
            u"VKUPNO: 1 treloci, 0,50 den."_s));
        QStringList printed;
        window.setListPrinter([&printed](const QString &printer, const PeriodList &list) {
            printed << printer + u": "_s + numbers(list).join(u' ');
            return QString();
        });
        window.Command2_Click();
        QCOMPARE(printed, QStringList{u"Laser: 3/2026 4/2026"_s});
        const QString csv = app.db.dir.filePath(u"w.csv"_s);
        window.setFileChooser([&csv](QWidget *, const QString &, const QString &suggested,
                                     const QString &) {
            return suggested == u"lista-20260301-20260331.csv"_s ? csv : QString();
        });
        window.Command4_Click();
        QFile written(csv);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), periodCsv(window.shown()));
        // "Snimi CSV" onto the database is refused, the database as it was.
        const QString db = app.db.store.path();
        const QByteArray before = digest(db);
        window.setFileChooser([&db](QWidget *, const QString &, const QString &, const QString &) {
            return db;
        });
        window.Command4_Click();
        QVERIFY(app.prompter.shown.last().contains(u"e datoteka na programata"_s));
        QCOMPARE(digest(db), before);
        from->setText(u"1.3.2026"_s);
        window.Command1_Click();
        QCOMPARE(app.prompter.shown.last(), u"Vnesi go datumot vo oblik DD.MM.GGGG !"_s);
        from->setText(u"31.03.2026"_s);
        window.findChild<QLineEdit *>(u"dat_do"_s)->setText(u"01.03.2026"_s);
        window.Command1_Click();
        QCOMPARE(app.prompter.shown.last(), u"Datumot DO e pred datumot OD !"_s);
    }
};

QTEST_MAIN(TestPeriodList)
#include "tst_period_list.moc"
