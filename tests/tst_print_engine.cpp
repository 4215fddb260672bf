#include "app_fixture.h"
#include "literal_messages.h"

#include "data/statements.h"
#include "platform/fonts.h"
#include "print/pdf_output.h"
#include "print/print_engine.h"
#include "print/print_job.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

// Records what the engine draws where.
struct RecordingSurfaces : PrintSurfaces {
    QList<PrintJob> previews;
    QList<PrintJob> pages;
    void showPreview(const PrintJob &job) override { previews.append(job); }
    void printPage(const PrintJob &job) override { pages.append(job); }
    QList<QList<PrintJob>> shownPages, printedPages;
    void showPreviewPages(const QList<PrintJob> &jobs) override { shownPages.append(jobs); }
    void printPages(const QList<PrintJob> &jobs) override { printedPages.append(jobs); }
};

QString missingPrinter(const QString &name)
{
    return literal::printerMissing(name);
}

struct PrintFixture : AppFixture {
    RecordingSurfaces surfaces;
    PrintFixture()
    {
        printers.names = {u"Office"_s, u"PDF-Queue"_s};
        context.state.def_prn = u"PDF-Queue"_s;
        storeOrder(u"1/2026"_s, u"108"_s, u"108-2026-1010-5"_s);
    }
    void print(const QString &mode, const QString &number = u"1/2026"_s)
    {
        tre_pct(context, surfaces, number, printModeOf(mode).value());
    }
};

} // namespace

class TestPrintEngine : public QObject {
    Q_OBJECT
private slots:
    void modes_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("previews");
        QTest::addColumn<int>("pages");
        QTest::newRow("E") << u"E"_s << 1 << 0;
        QTest::newRow("P") << u"P"_s << 1 << 1;
        QTest::newRow("e") << u"e"_s << 1 << 0;
        QTest::newRow("p") << u"p"_s << 1 << 1;
        QTest::newRow("other letter") << u"X"_s << 0 << 0;
    }
    void modes()
    {
        QFETCH(QString, mode);
        QFETCH(int, previews);
        QFETCH(int, pages);
        PrintFixture f;
        // A letter that is no mode is refused where the text is read.
        QCOMPARE(printModeOf(mode).has_value(), previews > 0);
        if (!printModeOf(mode))
            return;
        f.print(mode);
        QVERIFY(f.prompter.shown.isEmpty());
        QCOMPARE(f.surfaces.previews.size(), previews);
        QCOMPARE(f.surfaces.pages.size(), pages);
        QCOMPARE(f.context.state.pub_tre_br, u"1/2026"_s);
        QCOMPARE(f.context.state.pub_ek_pr, mode.toUpper());
        QCOMPARE(f.printers.current(), u"PDF-Queue"_s);
    }

    void noPrinterChosenDrawsNothing()
    {
        PrintFixture f;
        f.context.state.def_prn.clear();
        f.print(u"E"_s);
        QCOMPARE(f.prompter.shown, QStringList{noPrinterMessage()});
        QVERIFY(f.surfaces.previews.isEmpty());
        QCOMPARE(f.context.state.pub_tre_br, QString());
    }

    // With the printer uninstalled the preview is still shown, and the
    // following "OK - Pecati" is refused.
    void uninstalledPrinter()
    {
        PrintFixture f;
        f.context.state.def_prn = u"pdf-queue"_s; // differs in letter case only
        f.print(u"E"_s);
        QCOMPARE(f.prompter.shown, QStringList{missingPrinter(u"pdf-queue"_s)});
        QCOMPARE(f.surfaces.previews.size(), 1);
        QCOMPARE(f.context.state.def_prn, QString());
        f.print(u"P"_s);
        QCOMPARE(f.prompter.shown.last(), noPrinterMessage());
        QCOMPARE(f.surfaces.pages.size(), 0);
        auto stored = f.db.store.first(sql::prnt::all);
        QCOMPARE(stored.value()->text(u"def_print"_s), QString());
    }

    void missingOrder()
    {
        PrintFixture f;
        f.print(u"P"_s, u"99/2026"_s);
        QCOMPARE(f.prompter.shown, QStringList{u"Trelokot broj: 99/2026 Ne postoi !"_s});
        QVERIFY(f.surfaces.previews.isEmpty());
        QVERIFY(f.surfaces.pages.isEmpty());
    }

    // Several orders: all shown and printed together, or, when one is
    // missing, that one told and nothing drawn.
    void severalOrders_data()
    {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<int>("drawn");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("all there") << QStringList{u"2/2026"_s, u"1/2026"_s} << 1 << QStringList();
        QTest::newRow("one missing")
            << QStringList{u"1/2026"_s, u"99/2026"_s, u"2/2026"_s} << 0
            << QStringList{u"Trelokot broj: 99/2026 Ne postoi !"_s};
    }
    void severalOrders()
    {
        QFETCH(QStringList, numbers);
        QFETCH(int, drawn);
        QFETCH(QStringList, told);
        PrintFixture f;
        f.storeOrder(u"2/2026"_s, u"108"_s, u"108-2026-1010-6"_s);
        QVERIFY(tre_pct_batch({f.db.store, f.printers, f.prompter, f.context.state.def_prn},
                              f.surfaces, numbers, PrintMode::Print)
                    .ok());
        QCOMPARE(f.prompter.shown, told);
        QCOMPARE(f.surfaces.shownPages.size(), drawn);
        QCOMPARE(f.surfaces.printedPages.size(), drawn);
        if (drawn) {
            QCOMPARE(f.surfaces.printedPages.first().size(), 2);
            QCOMPARE(f.surfaces.printedPages.first().first().number, u"2/2026"_s);
        }
    }

    void missingConfigurationEndsTheApplication()
    {
        PrintFixture f;
        f.db.exec("DELETE FROM tbl_cnf");
        f.print(u"E"_s);
        QCOMPARE(f.prompter.shown, QStringList{literal::configMissing()});
        QCOMPARE(f.ended, QList<int>{1});
        QVERIFY(f.surfaces.previews.isEmpty());
    }

    void offsetsAreReloadedOnEveryPrint_data()
    {
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("down");
        QTest::addColumn<double>("desno");
        QTest::addColumn<double>("dole");
        QTest::newRow("factory") << u"0"_s << u"0"_s << 0.0 << 0.0;
        QTest::newRow("10 and -5") << u"10"_s << u"-5"_s << 60.0 << -30.0;
        QTest::newRow("fraction, blanks") << u" 2.5 "_s << u"-3.5"_s << 15.0 << -21.0;
        QTest::newRow("not a number") << u"abc"_s << QString() << 0.0 << 0.0;
        QTest::newRow("leading number") << u"12mm"_s << u"3,5"_s << 72.0 << 18.0;
    }
    void offsetsAreReloadedOnEveryPrint()
    {
        QFETCH(QString, right);
        QFETCH(QString, down);
        QFETCH(double, desno);
        QFETCH(double, dole);
        PrintFixture f;
        f.print(u"E"_s);
        f.db.exec(sql::cnf::updateOffsets, {right, down});
        f.print(u"E"_s);
        QCOMPARE(f.surfaces.previews.last().desno, desno);
        QCOMPARE(f.surfaces.previews.last().dole, dole);
        QCOMPARE(f.context.state.desno, desno);
        QCOMPARE(f.context.state.dole, dole);
    }

    void fieldsOfTheOrder()
    {
        PrintFixture f;
        f.db.exec("UPDATE tbl_Trel SET CEL2 = NULL, MKD_CEL = '  12500 '");
        f.db.exec("UPDATE tbl_koor SET box = 'mkd_cel' WHERE box = 'MKD_CEL'");
        f.db.exec("INSERT INTO tbl_koor (box, z_x, z_y, z_len) VALUES ('NO_SUCH', '1', '1', '1')");
        auto loaded = loadPrintJob(f.db.store, u"1/2026"_s);
        QVERIFY(loaded.ok());
        const QList<PlacedField> &fields = loaded.value().job.fields;
        QCOMPARE(fields.size(), 26);
        double lastY = -1, lastX = -1;
        for (const PlacedField &field : fields) {
            QVERIFY(field.z_y > lastY || (field.z_y == lastY && field.z_x >= lastX));
            lastY = field.z_y;
            lastX = field.z_x;
            if (field.box == u"CEL2"_s)
                QCOMPARE(field.text, u" "_s);
            if (field.box == u"mkd_cel"_s) {
                QCOMPARE(field.jsft, u'R');
                QCOMPARE(field.text, u"12500"_s);
            } else {
                QCOMPARE(field.jsft, u'L');
            }
        }
    }

    void fieldPosition_data()
    {
        QTest::addColumn<QChar>("jsft");
        QTest::addColumn<double>("desno");
        QTest::addColumn<double>("x");
        QTest::newRow("left") << QChar(u'L') << 0.0 << 500.0;
        QTest::newRow("left, offset") << QChar(u'L') << 60.0 << 560.0;
        QTest::newRow("right ends at the edge") << QChar(u'R') << 0.0 << 600.0;
        QTest::newRow("right, offset") << QChar(u'R') << -30.0 << 570.0;
    }
    void fieldPosition()
    {
        QFETCH(QChar, jsft);
        QFETCH(double, desno);
        QFETCH(double, x);
        PlacedField field;
        field.z_x = 500;
        field.z_len = 400;
        field.jsft = jsft;
        QCOMPARE(*fieldX(field, desno, 300), x);
        field.jsft = u'C';
        QVERIFY(!fieldX(field, desno, 300));
    }

    void pdfOfAnOrder()
    {
        PrintFixture f;
        QTemporaryDir out;
        const QString file = out.filePath(u"order.pdf"_s);
        QCOMPARE(writeOrderPdf(f.db.store, u"1/2026"_s, file), QString());
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray data = pdf.readAll();
        QVERIFY(data.startsWith("%PDF"));
        QVERIFY(data.contains("/MediaBox [0 0 595"));
        QCOMPARE(writeOrderPdf(f.db.store, u"2/2026"_s, file),
                 u"Trelokot broj: 2/2026 Ne postoi !"_s);
    }

    void passedOverBoxesAreListed()
    {
        PrintFixture f;
        f.db.exec("INSERT INTO tbl_koor (box, z_x, z_y, z_len) VALUES "
                  "('MKD CEL', '100', '10', '1'), (' ', '100', '20', '1'), "
                  "('NO_SUCH', '100', '30', '1')");
        auto loaded = loadPrintJob(f.db.store, u"1/2026"_s);
        QVERIFY(loaded.ok());
        QCOMPARE(loaded.value().status, JobStatus::Ready);
        QCOMPARE(loaded.value().job.fields.size(), 26);
        QCOMPARE(loaded.value().job.skippedBoxes,
                 (QStringList{u"MKD CEL"_s, QString(), u"NO_SUCH"_s}));
        QCOMPARE(skippedBoxesMessage(loaded.value().job.skippedBoxes),
                 u"Ne se pecatat polinjata od tbl_koor koi ne se koloni na tbl_Trel: "
                 "'MKD CEL', (prazno), 'NO_SUCH'"_s);
        f.print(u"E"_s);
        QCOMPARE(f.surfaces.previews.size(), 1);
        QCOMPARE(f.surfaces.previews.first().skippedBoxes.size(), 3);
    }

    void anEmptyCoordinateTableIsAnError()
    {
        PrintFixture f;
        f.db.exec("DELETE FROM tbl_koor");
        const QString message =
            u"Tabelata tbl_koor nema nitu eden red, Trelokot ne moze da se pecati !"_s;
        auto loaded = loadPrintJob(f.db.store, u"1/2026"_s);
        QVERIFY(loaded.ok());
        QCOMPARE(loaded.value().status, JobStatus::NoCoordinates);
        f.print(u"P"_s);
        QCOMPARE(f.prompter.shown, QStringList{message});
        QVERIFY(f.surfaces.previews.isEmpty() && f.surfaces.pages.isEmpty());
        QTemporaryDir out;
        const QString file = out.filePath(u"order.pdf"_s);
        QCOMPARE(writeOrderPdf(f.db.store, u"1/2026"_s, file), message);
        QVERIFY(!QFile::exists(file));
    }

    void theTextLineStartsAtZy()
    {
        PrintFixture f;
        QVERIFY(registerApplicationFonts(f.db.dir.path()) == 4);
        // 288 dpi: five twips to a pixel.
        QImage page(1740, 972, QImage::Format_RGB32);
        page.setDotsPerMeterX(qRound(288 / 0.0254));
        page.setDotsPerMeterY(qRound(288 / 0.0254));
        page.fill(Qt::white);
        PrintJob job;
        PlacedField field;
        field.box = u"NALOG1"_s;
        field.z_x = 1440;
        field.z_y = 1440;
        field.text = u"HHHH"_s;
        job.fields = {field};
        QPainter painter(&page);
        useTwips(painter);
        paintJob(painter, job);
        const double ascent = QFontMetricsF(pageFont(), painter.device()).ascent();
        painter.end();
        int top = -1, bottom = -1;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                    break;
                }
        // The letters stand below z_y, on the baseline one ascent lower.
        QVERIFY2(top > 1440 / 5, qPrintable(QString::number(top)));
        QVERIFY2(qAbs(bottom + 1 - (1440 + ascent) / 5) <= 1.5,
                 qPrintable(u"%1 %2"_s.arg(bottom).arg((1440 + ascent) / 5)));
    }

    void pdfTargetsThatAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("database") << u"trelok.db"_s
                                  << u"%1 e datoteka na programata i ne smee da se prezapise"_s;
        QTest::newRow("font") << u"MCTIMEB.TTF"_s
                              << u"%1 e datoteka na programata i ne smee da se prezapise"_s;
        QTest::newRow("licence") << u"OFL.txt"_s
                                 << u"%1 e datoteka na programata i ne smee da se prezapise"_s;
#ifndef Q_OS_WIN // QFile::link makes a shortcut there, a file of its own
        QTest::newRow("link to the database")
            << u"link.pdf"_s << u"%1 e datoteka na programata i ne smee da se prezapise"_s;
#endif
        QTest::newRow("directory") << u"."_s << u"%1 e direktorium, ne datoteka za PDF"_s;
    }
    void pdfTargetsThatAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        PrintFixture f;
        const QDir dir(f.db.dir.path());
        QVERIFY(QFile::link(dir.filePath(u"trelok.db"_s), dir.filePath(u"link.pdf"_s)));
        QMap<QString, QByteArray> before;
        for (const QString &file : dir.entryList(QDir::Files))
            before.insert(file, digest(dir.filePath(file)));
        const QString target = dir.filePath(name);
        QCOMPARE(writeOrderPdf(f.db.store, u"1/2026"_s, target), message.arg(target));
        QMap<QString, QByteArray> after;
        for (const QString &file : dir.entryList(QDir::Files))
            after.insert(file, digest(dir.filePath(file)));
        QCOMPARE(after, before);
    }

    void aPdfThatCannotBeWrittenIsAnError()
    {
        PrintFixture f;
        const QString error = writeOrderPdf(f.db.store, u"1/2026"_s, u"/proc/version"_s);
        QVERIFY(error.startsWith(u"Datotekata /proc/version ne moze da se zapise"_s));
    }

    void aPdfIsCompleteAndReplacesTheOldFile()
    {
        PrintFixture f;
        QTemporaryDir out;
        const QString file = out.filePath(u"order.pdf"_s);
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older file");
        old.close();
        QCOMPARE(writeOrderPdf(f.db.store, u"1/2026"_s, file), QString());
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray data = pdf.readAll();
        QVERIFY(data.startsWith("%PDF-"));
        QVERIFY(data.trimmed().endsWith("%%EOF"));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"order.pdf"_s});
    }

    void aPdfThroughALinkGoesToTheLinkedFile()
    {
#ifdef Q_OS_WIN
        QSKIP("QFile::link makes a shortcut on Windows, a file of its own");
#endif
        PrintFixture f;
        QTemporaryDir out;
        const QString file = out.filePath(u"archive.pdf"_s);
        const QString link = out.filePath(u"latest.pdf"_s);
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        QVERIFY(QFile::link(file, link));
        QCOMPARE(writeOrderPdf(f.db.store, u"1/2026"_s, link), QString());
        QVERIFY(QFileInfo(link).isSymLink());
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF-"));
    }
};

QTEST_MAIN(TestPrintEngine)
#include "tst_print_engine.moc"
