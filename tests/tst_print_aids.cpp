#include "app_fixture.h"

#include "data/statements.h"
#include "platform/fonts.h"
#include "print/calibration_sheet.h"
#include "print/overflow.h"
#include "print/pdf_archive.h"
#include "print/pdf_output.h"
#include "print/print_job.h"
#include "shell/command_line.h"
#include "platform/printers.h"
#include "shell/headless_commands.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>

#include <csignal>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;
using namespace trelok;

// The calibration sheet read back from its PDF, the overflow warning, and
// the archive of printed pages.
namespace {

constexpr int dpi = 600;
constexpr double tenthMmTwips = 1440 / 254.0;

double px(double twips)
{
    return twips * dpi / 1440.0;
}

// The top of page 1 as a grey image, drawn by poppler from the file.
QImage renderTop(const QString &pdf, const QString &dir)
{
    const QString base = QDir(dir).filePath(u"page"_s);
    QProcess::execute(u"pdftoppm"_s,
                      {u"-r"_s, QString::number(dpi), u"-gray"_s, u"-png"_s, u"-singlefile"_s,
                       u"-W"_s, u"4960"_s, u"-H"_s, u"2400"_s, pdf, base});
    return QImage(base + u".png"_s).convertToFormat(QImage::Format_Grayscale8);
}

// Where the cross near the expected point stands: the column and the row
// that hold most of the dark pixels of a window around it (its arms), in
// twips; nothing when no cross is there.
std::optional<QPointF> crossNear(const QImage &image, QPointF expected)
{
    const int half = qRound(px(95));
    const int cx = qRound(px(expected.x())), cy = qRound(px(expected.y()));
    QList<int> columns(2 * half + 1), rows(2 * half + 1);
    for (int dy = -half; dy <= half; ++dy)
        for (int dx = -half; dx <= half; ++dx) {
            const int x = cx + dx, y = cy + dy;
            if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
                continue;
            if (qGray(image.pixel(x, y)) < 128) {
                ++columns[dx + half];
                ++rows[dy + half];
            }
        }
    // The arm is the run of lines around the fullest one; ruler ticks and
    // letters nearby are not part of it.
    const auto centre = [half](const QList<int> &counts) -> std::optional<double> {
        const auto fullest = std::max_element(counts.cbegin(), counts.cend());
        const int most = *fullest;
        if (most < px(2 * crossArm) * 0.8)
            return std::nullopt;
        qsizetype first = fullest - counts.cbegin(), last = first;
        while (first > 0 && counts[first - 1] >= most / 2)
            --first;
        while (last + 1 < counts.size() && counts[last + 1] >= most / 2)
            ++last;
        double sum = 0, n = 0;
        for (qsizetype i = first; i <= last; ++i) {
            sum += (i - half + 0.5) * counts[i];
            n += counts[i];
        }
        return sum / n;
    };
    const auto x = centre(columns), y = centre(rows);
    if (!x || !y)
        return std::nullopt;
    return QPointF((cx + *x) * 1440.0 / dpi, (cy + *y) * 1440.0 / dpi);
}

QMultiMap<QString, QRectF> pdfWords(const QString &pdf)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    process.waitForFinished(30000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    QMultiMap<QString, QRectF> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.insert(m.captured(5),
                     QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                            QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    }
    return words;
}

struct Printed {
    int status = -1;
    QString err;
};

// Runs the command line in this process, as the program does.
Printed runCommand(const QStringList &arguments)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    ListedPrinters printers;
    const CommandLine line = parseCommandLine(QStringList{u"trelok"_s} + arguments);
    Printed printed;
    printed.status = runHeadless(line, outStream, errStream, printers);
    printed.err = err;
    return printed;
}

void writeConfig(const QString &appDir, const QByteArray &text)
{
    QFile conf(QDir(appDir).filePath(u"trelok.conf"_s));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(text);
}

QStringList everyFile(const QString &dir)
{
    QStringList files;
    for (const QFileInfo &info :
         QDir(dir).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
        files.append(info.fileName());
    return files;
}

} // namespace

class TestPrintAids : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
#ifndef Q_OS_WIN
        QVERIFY(!QStandardPaths::findExecutable(u"pdftoppm"_s).isEmpty());
#endif
    }

    void calibrationSheetCrossesReadBackFromThePdf_data()
    {
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("down");
        QTest::newRow("factory") << u"0"_s << u"0"_s;
        QTest::newRow("10 right, 5 up") << u"10"_s << u"-5"_s;
        QTest::newRow("fractions") << u"2.5"_s << u"4"_s;
    }
    void calibrationSheetCrossesReadBackFromThePdf()
    {
        REQUIRE_PDF_TOOLS();
        QFETCH(QString, right);
        QFETCH(QString, down);
        TestDb db;
        db.exec(sql::cnf::updateOffsets, {right, down});
        const double desno = 6 * right.toDouble(), dole = 6 * down.toDouble();
        QTemporaryDir out;
        const QString pdf = out.filePath(u"sheet.pdf"_s);
        const Printed printed =
            runCommand({u"--dir"_s, db.dir.path(), u"--calibration-sheet"_s, u"--pdf"_s, pdf});
        QCOMPARE(printed.err, QString());
        QCOMPARE(printed.status, 0);

        const QImage page = renderTop(pdf, out.path());
        QVERIFY(!page.isNull());
        const QMultiMap<QString, QRectF> words = pdfWords(pdf);
        auto rows = db.store.select("SELECT box, z_x, z_y FROM tbl_koor");
        QCOMPARE(rows.value().size(), 26);
        for (const Row &row : rows.value()) {
            const QString box = row.text(u"box"_s);
            const QPointF expected(desno + row.text(u"z_x"_s).toDouble(),
                                   dole + row.text(u"z_y"_s).toDouble());
            const auto found = crossNear(page, expected);
            QVERIFY2(found, qPrintable(box));
            QVERIFY2(QLineF(*found, expected).length() <= tenthMmTwips,
                     qPrintable(u"%1 at %2,%3 instead of %4,%5"_s.arg(box)
                                    .arg(found->x())
                                    .arg(found->y())
                                    .arg(expected.x())
                                    .arg(expected.y())));
            // The column's name stands just above and right of its cross.
            QVERIFY2(words.contains(box), qPrintable(box));
            QVERIFY(qAbs(words.value(box).left() * 20 - expected.x() - 40) < 20);
        }
        // Millimetre rulers along the top and the left edge: "100" stands at
        // 100 mm on each.
        const auto atMm = [](double points, double mm) {
            return qAbs(points / 72 * 25.4 - mm) < 0.5;
        };
        const QList<QRectF> hundred = words.values(u"100"_s);
        QCOMPARE(hundred.size(), 2);
        QVERIFY(std::any_of(hundred.cbegin(), hundred.cend(), [&](const QRectF &r) {
            return atMm(r.center().x(), 100) && r.top() < 20;
        }));
        QVERIFY(std::any_of(hundred.cbegin(), hundred.cend(), [&](const QRectF &r) {
            return atMm(r.center().y(), 100) && r.left() < 20;
        }));
    }

    void calibrationSheetOfAnEmptyCoordinateTable()
    {
        TestDb db;
        db.exec("DELETE FROM tbl_koor");
        QTemporaryDir out;
        const QString pdf = out.filePath(u"sheet.pdf"_s);
        const Printed printed =
            runCommand({u"--dir"_s, db.dir.path(), u"--calibration-sheet"_s, u"--pdf"_s, pdf});
        QCOMPARE(printed.status, 1);
        QCOMPARE(printed.err, u"trelok: Tabelata tbl_koor nema nitu eden red, kalibraciskiot list "
                              "ne moze da se pecati !\n"_s);
        QVERIFY(!QFile::exists(pdf));
    }

    // A text exactly as wide as fits its box passes; one character more is
    // named, and printing still succeeds.
    void overflowWarning_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("extra");
        QTest::addColumn<QString>("zLen");    // the box's width when not as delivered
        QTest::addColumn<bool>("passedOver"); // a coordinate row naming no column
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("warning");
        const QString warning =
            u"trelok: Tekstot e podolg od poleto i ke navleze vo sosednoto pole: %1\n"_s;
        const QString skipped = u"trelok: Ne se pecatat polinjata od tbl_koor koi ne se koloni "
                                "na tbl_Trel: 'NEMA'\n"_s;
        QTest::newRow("name fits") << u"NALOG1"_s << 0 << QString() << false << 0 << QString();
        QTest::newRow("name one too wide")
            << u"NALOG1"_s << 1 << QString() << false << 0 << warning.arg(u"NALOG1"_s);
        QTest::newRow("amount fits") << u"MKD_CEL"_s << 0 << QString() << false << 0 << QString();
        QTest::newRow("amount one too wide")
            << u"MKD_CEL"_s << 1 << QString() << false << 0 << warning.arg(u"MKD_CEL"_s);
        QTest::newRow("box without a width")
            << u"NALOG1"_s << 1 << u"0"_s << false << 0 << QString();
        QTest::newRow("too wide and passed over")
            << u"NALOG1"_s << 1 << QString() << true << 3 << warning.arg(u"NALOG1"_s) + skipped;
    }
    void overflowWarning()
    {
        REQUIRE_PDF_TOOLS();
        QFETCH(QString, box);
        QFETCH(int, extra);
        QFETCH(QString, zLen);
        QFETCH(bool, passedOver);
        QFETCH(int, status);
        QFETCH(QString, warning);
        TestDb db;
        QVERIFY(registerApplicationFonts(db.dir.path()) == 4);
        QTemporaryDir out;
        const QString pdf = out.filePath(u"order.pdf"_s);
        // The width of one digit as printed, read from a PDF of 40 of them.
        const QString sql = u"INSERT INTO tbl_Trel (TRELOK_BR, %1) VALUES ('1/2026', ?)"_s.arg(box);
        db.exec(sql.toLatin1().constData(), {QString(40, u'8')});
        QCOMPARE(runCommand({u"--dir"_s, db.dir.path(), u"--print"_s, u"1/2026"_s, u"--pdf"_s, pdf})
                     .status,
                 0);
        const double digit = pdfWords(pdf).value(QString(40, u'8')).width() * 20 / 40;
        QVERIFY(digit > 50);
        const double width = db.store.first("SELECT z_len FROM tbl_koor WHERE box = ?", {box})
                                 .value()
                                 ->text(u"z_len"_s)
                                 .toDouble();
        const int fits = int(width / digit);
        QVERIFY2(width - fits * digit > 2 && (fits + 1) * digit - width > 2, "too close to call");

        db.exec("UPDATE tbl_Trel SET NALOG1 = ?, MKD_CEL = ?",
                {QString(fits + extra, u'8'), QString(fits + extra, u'8')});
        if (box == u"NALOG1"_s)
            db.exec("UPDATE tbl_Trel SET MKD_CEL = '5'");
        else
            db.exec("UPDATE tbl_Trel SET NALOG1 = 'A'");
        if (!zLen.isEmpty())
            db.exec("UPDATE tbl_koor SET z_len = ? WHERE box = ?", {zLen, box});
        if (passedOver)
            db.exec("INSERT INTO tbl_koor (box, z_x, z_y, z_len) VALUES ('NEMA', '1', '1', '1')");
        const Printed printed =
            runCommand({u"--dir"_s, db.dir.path(), u"--print"_s, u"1/2026"_s, u"--pdf"_s, pdf});
        QCOMPARE(printed.err, warning);
        QCOMPARE(printed.status, status);
        QVERIFY(pdfWords(pdf).contains(QString(fits + extra, u'8')));
    }

    void archivePath_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("path");
        QTest::newRow("padded") << u"12/2026"_s << u"/a/2026/000012.pdf"_s;
        QTest::newRow("first") << u"1/2027"_s << u"/a/2027/000001.pdf"_s;
        QTest::newRow("long") << u"1234567/2026"_s << u"/a/2026/1234567.pdf"_s;
        QTest::newRow("not number/year") << u"12-2026"_s << QString();
        QTest::newRow("climbing out") << u"../1/2026"_s << QString();
    }
    void archivePath()
    {
        QFETCH(QString, number);
        QFETCH(QString, path);
        QCOMPARE(trelok::archivePath(u"/a"_s, number), path);
    }

    void theArchiveKeepsThePrintedPage_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("file"); // under the application directory
        QTest::newRow("relative") << QByteArray("archive=arhiva\n") << u"arhiva/2026/000007.pdf"_s;
        QTest::newRow("in a section, blanks")
            << QByteArray("[General]\narchive = pdf stari \n") << u"pdf stari/2026/000007.pdf"_s;
        QTest::newRow("unquoted comma")
            << QByteArray("archive=pdf, stari\n") << u"pdf,stari/2026/000007.pdf"_s;
        QTest::newRow("no archive") << QByteArray("database=x\n") << QString();
    }
    void theArchiveKeepsThePrintedPage()
    {
        REQUIRE_PDF_TOOLS();
        QFETCH(QByteArray, config);
        QFETCH(QString, file);
        AppFixture app;
        app.storeOrder(u"7/2026"_s, u"108"_s, u"108-2026-1010-5"_s);
        writeConfig(app.db.dir.path(), config);
        auto loaded = loadPrintJob(app.db.store, u"7/2026"_s);
        QCOMPARE(archivePrintedPage(app.db.dir.path(), loaded.value().job), QString());
        if (file.isEmpty()) {
            QCOMPARE(QDir(app.db.dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                     QStringList());
            return;
        }
        const QMultiMap<QString, QRectF> words = pdfWords(QDir(app.db.dir.path()).filePath(file));
        QVERIFY(words.contains(u"108-2026-1010-5"_s));
    }

    // A write that fails (here: the file size limit) leaves the older copy
    // and no part of the new one.
    void aFailedArchiveWriteLeavesNothingHalfWritten()
    {
#ifdef Q_OS_WIN
        QSKIP("no limit on a file's size on Windows");
#else
        AppFixture app;
        app.storeOrder(u"7/2026"_s, u"108"_s, u"108-2026-1010-5"_s);
        writeConfig(app.db.dir.path(), "archive=arhiva\n");
        const QString year = QDir(app.db.dir.path()).filePath(u"arhiva/2026"_s);
        QVERIFY(QDir().mkpath(year));
        QFile old(QDir(year).filePath(u"000007.pdf"_s));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the page printed before");
        old.close();
        auto loaded = loadPrintJob(app.db.store, u"7/2026"_s);

        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        const QString error = archivePrintedPage(app.db.dir.path(), loaded.value().job);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previous);

        QVERIFY2(error.startsWith(u"Trelokot 7/2026 e pecaten, no ne e zapisan vo arhivata: "
                                  "Datotekata "_s),
                 qPrintable(error));
        QCOMPARE(everyFile(year), QStringList{u"000007.pdf"_s});
        QCOMPARE(digest(old.fileName()),
                 QCryptographicHash::hash("the page printed before", QCryptographicHash::Sha256));
#endif
    }

    void anArchiveThatIsAFileIsReported()
    {
        AppFixture app;
        app.storeOrder(u"7/2026"_s, u"108"_s, QString());
        writeConfig(app.db.dir.path(), "archive=trelok.db\n");
        auto loaded = loadPrintJob(app.db.store, u"7/2026"_s);
        const QString before = QString::fromLatin1(digest(app.db.store.path()).toHex());
        QCOMPARE(archivePrintedPage(app.db.dir.path(), loaded.value().job),
                 u"Trelokot 7/2026 e pecaten, no ne e zapisan vo arhivata: direktoriumot %1 ne "
                 "moze da se napravi"_s.arg(QDir(app.db.dir.path()).filePath(u"trelok.db/2026"_s)));
        QCOMPARE(QString::fromLatin1(digest(app.db.store.path()).toHex()), before);
    }
};

QTEST_MAIN(TestPrintAids)
#include "tst_print_aids.moc"
