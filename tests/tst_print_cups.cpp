#include "cups_jobs.h"
#include "gui_support.h"
#include "test_db.h"

#include "context/app_context.h"
#include "data/statements.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/qt_printers.h"
#include "platform/recording_prompter.h"
#include "print/pec_pod.h"
#include "print/print_service.h"
#include "print/trelok_pogled.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>

using namespace Qt::StringLiterals;
using namespace trelok;

// Runs against the CUPS queue that print_system_test.py starts; skipped
// when run on its own.
namespace {

const double tolerancePt = 72 / 25.4 * 0.1;

bool waitForJob(const QString &queue, int before)
{
    return QTest::qWaitFor([&] { return completedJobs(queue) > before; }, 60000);
}

struct Page {
    QHash<QString, QRectF> words;
    int pages = 0;
    bool operator==(const Page &) const = default;
};

Page readPage(const QString &pdf)
{
    const QString html = commandOutput(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    Page page;
    page.pages = html.count(u"<page "_s);
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        page.words.insert(m.captured(5),
                          QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                 QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    }
    return page;
}

} // namespace

class TestPrintCups : public QObject {
    Q_OBJECT

    QString m_queue;
    QString m_output;
    std::unique_ptr<TestDb> m_db;
    RecordingPrompter m_prompter;
    QtPrinterSystem m_printers;
    SystemClock m_clock;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<PrintService> m_service;

    Page printWithOk(Trelok_pogled *preview)
    {
        return printWithOk(preview, m_queue, m_output);
    }
    Page printWithOk(Trelok_pogled *preview, const QString &queue, const QString &output)
    {
        const int before = completedJobs(queue);
        preview->findChild<QPushButton *>(u"Command1"_s)->click();
        if (!waitForJob(queue, before))
            return {};
        return readPage(output);
    }

    // Chooses queue in the printer window and returns the offsets it then
    // shows; steps clicks to the right are saved, none leave the window.
    QStringList choose(const QString &queue, int steps = 0)
    {
        pec_pod window(*m_context, {});
        if (!window.Form_Load())
            return {};
        window.findChild<QPushButton *>(u"Command5"_s)->click();
        auto *list = window.findChild<QListWidget *>(u"List1"_s);
        const auto found = list->findItems(queue, Qt::MatchExactly);
        if (found.size() != 1)
            return {};
        list->setCurrentItem(found.first());
        window.findChild<QPushButton *>(u"Command6"_s)->click();
        const QStringList shown{window.findChild<QLineEdit *>(u"Text1"_s)->text(),
                                window.findChild<QLineEdit *>(u"Text2"_s)->text()};
        for (int i = 0; i < steps; ++i)
            window.findChild<QScrollBar *>(u"HScroll1"_s)
                ->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        window.findChild<QPushButton *>(steps > 0 ? u"Command3"_s : u"Command2"_s)->click();
        return shown;
    }

    // The order through the preview and the printer window's calibration
    // sheet, both on the chosen printer, queue.
    std::pair<Page, Page> printOrderAndSheet(const QString &queue, const QString &output)
    {
        m_service->print(u"1/2026"_s, PrintMode::Preview);
        const Page order = printWithOk(m_service->preview(), queue, output);
        pec_pod window(*m_context, {});
        const int before = completedJobs(queue);
        if (!window.Form_Load())
            return {};
        window.findChild<QPushButton *>(u"Command7"_s)->click();
        if (!waitForJob(queue, before))
            return {};
        return {order, readPage(output)};
    }

private slots:
    void initTestCase()
    {
        m_queue = qEnvironmentVariable("TRELOK_TEST_QUEUE");
        m_output = qEnvironmentVariable("TRELOK_TEST_OUTPUT");
        if (m_queue.isEmpty())
            QSKIP("needs the CUPS queue that print_system_test.py starts");
        m_db = std::make_unique<TestDb>();
        QCOMPARE(registerApplicationFonts(m_db->dir.path()), 4);
        QVariantList values;
        for (int i = 0; i < 28; ++i)
            values.append(u"W%1"_s.arg(i, 2, 10, QChar(u'0')));
        values[0] = u"1/2026"_s;
        values[13] = u"12500"_s;
        m_db->exec(sql::trel::insert, values);
        m_db->exec(sql::prnt::setPrinter, {m_queue});
        m_context = std::make_unique<AppContext>(
            AppContext{m_db->store, m_prompter, m_printers, m_clock, m_db->dir.path(), {}, {}});
        m_context->state.def_prn = m_queue;
        m_service = std::make_unique<PrintService>(*m_context, nullptr);
        QVERIFY(m_printers.installedPrinters().contains(m_queue));
    }

    void cleanup()
    {
        if (m_service && m_service->preview())
            m_service->preview()->close();
        QTRY_VERIFY(openWindows().isEmpty());
    }

    void thePreviewDrawsNothingOnThePrinter()
    {
        const int before = completedJobs(m_queue);
        m_service->print(u"1/2026"_s, PrintMode::Preview);
        QVERIFY(m_service->preview() && m_service->preview()->isVisible());
        QTest::qWait(1500);
        QCOMPARE(completedJobs(m_queue), before);
        QCOMPARE(commandOutput(u"lpstat"_s, {u"-o"_s, m_queue}).trimmed(), QString());
        QVERIFY(m_prompter.shown.isEmpty());
    }

    // With an archive named in trelok.conf, each press also keeps the page.
    void twoPressesGiveTwoIdenticalPages()
    {
        const QDir appDir(m_db->dir.path());
        QFile conf(appDir.filePath(u"trelok.conf"_s));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("archive=arhiva\n");
        conf.close();
        const QString archived = appDir.filePath(u"arhiva/2026/000001.pdf"_s);
        m_service->print(u"1/2026"_s, PrintMode::Preview);
        Trelok_pogled *preview = m_service->preview();
        QVERIFY(!QFile::exists(archived)); // the preview alone keeps nothing
        const Page first = printWithOk(preview);
        QCOMPARE(first.pages, 1);
        QCOMPARE(first.words.size(), 26);
        QVERIFY(preview->isVisible());
        QCOMPARE(readPage(archived).words.keys(), first.words.keys());
        QVERIFY(QFile::remove(archived));
        const Page second = printWithOk(preview);
        QCOMPARE(second.pages, 1);
        QCOMPARE(second.words, first.words);
        QVERIFY(QFile::exists(archived));
        QVERIFY(m_prompter.shown.isEmpty());
        QVERIFY(conf.remove());
    }

    // Two orders chosen: one press, one job of two pages, each page archived.
    void severalOrdersAreOneJob()
    {
        QVariantList values;
        for (int i = 0; i < 28; ++i)
            values.append(u"V%1"_s.arg(i, 2, 10, QChar(u'0')));
        values[0] = u"2/2026"_s;
        m_db->exec(sql::trel::insert, values);
        const QDir appDir(m_db->dir.path());
        QFile conf(appDir.filePath(u"trelok.conf"_s));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("archive=arhiva\n");
        conf.close();
        m_service->printSeveral({u"1/2026"_s, u"2/2026"_s}, PrintMode::Preview);
        const int before = completedJobs(m_queue);
        const Page both = printWithOk(m_service->preview());
        QCOMPARE(both.pages, 2);
        QCOMPARE(completedJobs(m_queue), before + 1);
        QVERIFY(both.words.contains(u"W01"_s) && both.words.contains(u"V01"_s));
        for (const QString &page : {u"000001.pdf"_s, u"000002.pdf"_s})
            QCOMPARE(readPage(appDir.filePath(u"arhiva/2026/"_s + page)).pages, 1);
        QVERIFY(m_prompter.shown.isEmpty());
        QVERIFY(conf.remove());
        QVERIFY(QDir(appDir.filePath(u"arhiva"_s)).removeRecursively());
    }

    // Three clicks right, saved as 3, move the next print 18 twips right.
    void aSavedCalibrationMovesTheNextPrint()
    {
        m_service->print(u"1/2026"_s, PrintMode::Preview);
        const Page before = printWithOk(m_service->preview());
        {
            pec_pod window(*m_context, {});
            QVERIFY(window.Form_Load());
            auto *bar = window.findChild<QScrollBar *>(u"HScroll1"_s);
            for (int i = 0; i < 3; ++i)
                bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            window.findChild<QPushButton *>(u"Command3"_s)->click();
        }
        auto row = m_db->store.first(sql::cnf::configRow);
        QCOMPARE(row.value()->text(u"up_smet3"_s), u"3"_s);
        const Page after = printWithOk(m_service->preview());
        QCOMPARE(after.words.size(), 26);
        for (auto it = before.words.cbegin(); it != before.words.cend(); ++it) {
            const QRectF moved = after.words.value(it.key());
            QVERIFY2(qAbs(moved.left() - it.value().left() - 0.9) <= tolerancePt,
                     qPrintable(it.key()));
            QVERIFY2(qAbs(moved.top() - it.value().top()) <= tolerancePt, qPrintable(it.key()));
        }
        m_db->exec(sql::cnf::updateOffsets, {u"0"_s, u"0"_s});
    }

    // Two printers with their own offsets: the printer window shows the
    // chosen one's, and the order and the calibration sheet move by them on
    // its queue only (three steps right on the second: 0.9 pt).
    void eachPrinterPrintsWithItsOwnOffsets()
    {
        const QString queue2 = qEnvironmentVariable("TRELOK_TEST_QUEUE2");
        const QString output2 = qEnvironmentVariable("TRELOK_TEST_OUTPUT2");
        if (queue2.isEmpty())
            QSKIP("needs the second CUPS queue that print_system_test.py starts");
        const auto [order1, sheet1] = printOrderAndSheet(m_queue, m_output);
        QCOMPARE(choose(queue2, 3), (QStringList{u"0"_s, u"0"_s}));
        const auto [order2, sheet2] = printOrderAndSheet(queue2, output2);
        QCOMPARE(choose(m_queue), (QStringList{u"0"_s, u"0"_s}));
        const auto [again1, sheetAgain1] = printOrderAndSheet(m_queue, m_output);
        QCOMPARE(choose(queue2), (QStringList{u"3"_s, u"0"_s}));
        QCOMPARE(choose(m_queue), (QStringList{u"0"_s, u"0"_s}));
        QCOMPARE(again1.words, order1.words);
        QCOMPARE(sheetAgain1.words, sheet1.words);
        QCOMPARE(order2.words.size(), 26);
        static const QRegularExpression boxName(u"^[A-Z][A-Z0-9_]+$"_s);
        int boxes = 0;
        for (const auto &[before, after] : {std::pair(&order1, &order2), {&sheet1, &sheet2}}) {
            for (auto it = before->words.cbegin(); it != before->words.cend(); ++it) {
                if (before == &sheet1 && !boxName.match(it.key()).hasMatch())
                    continue; // the rulers stay, the title names the offsets
                boxes += before == &sheet1;
                const QRectF moved = after->words.value(it.key());
                QVERIFY2(qAbs(moved.left() - it.value().left() - 0.9) <= tolerancePt,
                         qPrintable(it.key()));
                QVERIFY2(qAbs(moved.top() - it.value().top()) <= tolerancePt,
                         qPrintable(it.key()));
            }
        }
        QCOMPARE(boxes, 26);
    }
};

QTEST_MAIN(TestPrintCups)
#include "tst_print_cups.moc"
