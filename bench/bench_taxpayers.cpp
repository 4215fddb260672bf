// The taxpayer register at the size of a whole country: imports N generated
// taxpayers from a CSV file, then measures side by side, in one run, the
// time the register window needs to fill and show its list, the time the
// sqlite3 command-line tool needs to read the same rows, the time to sort by
// each column, a search keystroke once every line is read for searching,
// and the memory the open window holds (shown, and with every line read).
// Usage: bench_taxpayers [taxpayers] [runs]   (defaults 100000 and 5)
#include "context/app_context.h"
#include "data/installer.h"
#include "data/statements.h"
#include "data/store.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/printers.h"
#include "platform/recording_prompter.h"
#include "refdata/dan_ref.h"
#include "refdata/taxpayer_import.h"
#include "refdata/taxpayer_pages.h"
#include "refdata/taxpayers.h"

#include "table_row.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeView>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

// Resident memory of this process, MB.
double residentMb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

QString word(QRandomGenerator &random, int minLength, int maxLength)
{
    // Letters as the "MAC C Times" font shows them, with its Cyrillic marks.
    static const QString letters = u"abvgdeziklmnoprstufhc~{[]`ABVGDEZIKLMNOPRSTUFHC"_s;
    QString w;
    const int length = minLength + int(random.bounded(maxLength - minLength + 1));
    for (int i = 0; i < length; ++i)
        w.append(letters[int(random.bounded(letters.size()))]);
    return w;
}

// A register of n taxpayers in random order of tax number.
void writeRegister(const QString &path, int n)
{
    QRandomGenerator random(20261208);
    std::vector<qint64> codes(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        codes[size_t(i)] = 4000000000000LL + qint64(i) * 7919;
    std::shuffle(codes.begin(), codes.end(), std::mt19937(7));
    static const QStringList cities{u"Skopje"_s, u"Bitola"_s,   u"Kumanovo"_s, u"Prilep"_s,
                                    u"Tetovo"_s, u"Veles"_s,    u"Ohrid"_s,    u"Gostivar"_s,
                                    u"[tip"_s,   u"Strumica"_s, u""_s};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    QTextStream out(&file);
    out << "dec_cod,dec_nam,dec_ad3,dec_tlx\n";
    for (int i = 0; i < n; ++i) {
        const QString name = word(random, 4, 14) + u' ' + word(random, 3, 12) + u" DOOEL"_s;
        const QString address = u"\"ul. "_s + word(random, 4, 14) + u", br. "_s +
                                QString::number(random.bounded(200) + 1) + u'"';
        out << codes[size_t(i)] << ',' << name << ',' << address << ','
            << cities[int(random.bounded(cities.size()))] << '\n';
    }
}

// The time the sqlite3 command-line tool takes to run a statement, its
// output thrown away; negative when it fails.
double sqliteRead(const QString &db, const QString &statement)
{
    QProcess sqlite;
    sqlite.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    sqlite.start(u"sqlite3"_s, {db, statement});
    if (!sqlite.waitForFinished(60000) || sqlite.exitCode() != 0) {
        std::fprintf(stderr, "sqlite3 failed: %s\n", qPrintable(sqlite.errorString()));
        return -1;
    }
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    QTemporaryDir dir;
    if (!installIfMissing(dir.path()).ok())
        return 1;
    registerApplicationFonts(dir.path());
    Store store;
    const QString db = databasePath(dir.path());
    if (!store.open(db).ok())
        return 1;

    const QString csv = dir.filePath(u"register.csv"_s);
    writeRegister(csv, n);
    QString importOut, importErr;
    QTextStream out(&importOut), err(&importErr);
    QElapsedTimer timer;
    timer.start();
    const int status = importTaxpayers(store, csv, out, err);
    const double importMs = timer.nsecsElapsed() / 1e6;
    if (status != 0) {
        std::fprintf(stderr, "import failed:\n%s%s", qPrintable(importOut), qPrintable(importErr));
        return 1;
    }

    RecordingPrompter prompter;
    ListedPrinters printers;
    FixedClock clock{QDate(2026, 12, 8)};
    AppContext context{store, prompter, printers, clock, dir.path(), {}, {}};
    context.endApplication = [](int) { std::exit(1); };

    // The window: fill the list and show it, painted. A first opening, not
    // counted, loads fonts and styles.
    const auto openWindow = [&context] {
        auto window = std::make_unique<dan_ref>(context);
        if (!window->Form_Load())
            std::exit(1);
        window->show();
        window->repaint();
        QCoreApplication::processEvents();
        return window;
    };
    // Memory: before the first opening (fonts and styles are counted with
    // the window) and while it is open. The memory the import freed is given
    // back first, so the window cannot hide in it.
    malloc_trim(0);
    const double rssBefore = residentMb();
    timer.restart();
    std::unique_ptr<dan_ref> window = openWindow();
    const double firstMs = timer.nsecsElapsed() / 1e6;
    const double rssOpen = residentMb();
    std::vector<double> fillMs, sqliteMs, sqliteAllMs, readMs;
    for (int r = 0; r < runs; ++r) {
        window.reset();
        QCoreApplication::processEvents();
        timer.restart();
        window = openWindow();
        fillMs.push_back(timer.nsecsElapsed() / 1e6);

        timer.restart();
        if (loadTaxpayers(store).value().size() != n)
            return 1;
        readMs.push_back(timer.nsecsElapsed() / 1e6);

        const double tool = sqliteRead(db, QString::fromLatin1(sql::obvr::listing));
        const double toolAll = sqliteRead(db, u"SELECT *  FROM tbl_obvr order by 1"_s);
        if (tool < 0 || toolAll < 0)
            return 1;
        sqliteMs.push_back(tool);
        sqliteAllMs.push_back(toolAll);
    }
    if (window->list()->model()->rowCount() != n) {
        std::fprintf(stderr, "the list holds %d lines, not %d\n",
                     window->list()->model()->rowCount(), n);
        return 1;
    }

    double sortMax = 0;
    QStringList sorts;
    for (const int column : {1, 1, 2, 3, 0}) {
        timer.restart();
        window->ListView1_ColumnClick(column);
        window->list()->viewport()->repaint();
        const double ms = timer.nsecsElapsed() / 1e6;
        sortMax = std::max(sortMax, ms);
        sorts << u"%1: %2 ms"_s.arg(column).arg(ms, 0, 'f', 1);
    }
    // One keystroke of a new search each, every line read first (as the
    // open window does in the background); the memory then.
    if (!window->model().readAll())
        return 1;
    const double rssAll = residentMb();
    std::vector<double> searchMs;
    for (const QString &typed : {u"a"_s, u"7"_s, u"z"_s, u"skopje"_s, u"DOOEL"_s}) {
        window->searchBox()->setText(QString());
        QCoreApplication::processEvents();
        timer.restart();
        window->searchBox()->setText(typed);
        window->list()->viewport()->repaint();
        searchMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    window.reset();

    const double fill = median(fillMs), sqlite = median(sqliteMs), read = median(readMs);
    std::printf("taxpayers: %d, runs: %d (medians)\n", n, runs);
    std::printf("import from CSV:        %8.1f ms  (limit 3000 ms, ratio %.2f)\n", importMs,
                importMs / 3000);
    std::printf("sqlite3 reads the rows: %8.1f ms  (the window's statement; all twelve "
                "columns: %.1f ms)\n",
                sqlite, median(sqliteAllMs));
    std::printf("window fills and shows: %8.1f ms  (ratio to sqlite3 %.2f, limit 1.0; "
                "limit 300 ms, ratio %.2f)\n",
                fill, fill / sqlite, fill / 300);
    std::printf("  reading the rows alone:%7.1f ms\n", read);
    std::printf("  first opening:        %8.1f ms  (loads fonts and styles too)\n", firstMs);
    std::printf("sort by column:         %8.1f ms  max of %s (limit 300 ms, ratio %.2f)\n", sortMax,
                qPrintable(sorts.join(u", "_s)), sortMax / 300);
    const double search = median(searchMs);
    const double searchLimit = n >= 1000000 ? 300 : 50;
    std::printf("search keystroke:       %8.1f ms  (limit %.0f ms, ratio %.2f)\n", search,
                searchLimit, search / searchLimit);
    std::printf("memory: %.1f MB before opening, %.1f MB with the window open, %.1f MB with "
                "every line read (window holds %.1f MB, limit 150 MB)\n",
                rssBefore, rssOpen, rssAll, rssAll - rssBefore);
    const QByteArray size = QByteArray::number(n);
    tableRow(QByteArray("taxpayer register: fill and show ").append(size).constData(), fill,
             "sqlite3 reads the register's 4 columns sorted", sqlite);
    tableRow(QByteArray("taxpayer register: sort by a column (max), ").append(size).constData(),
             sortMax, "limit", 300.0);
    tableRow(QByteArray("taxpayer register: search keystroke, ").append(size).constData(), search,
             "limit", searchLimit);
    tableRow(QByteArray("taxpayer register: import ").append(size).constData(), importMs, "limit",
             3000.0);
    tableRow(QByteArray("taxpayer register: memory of the open window, every line read, ")
                 .append(size)
                 .constData(),
             rssAll - rssBefore, "limit", 150.0, "MB");
    return 0;
}
