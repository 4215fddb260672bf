// The shared database on a local PostgreSQL server (a private one, started
// and stopped by tests/pg_server.py with fsync on), side by side with the
// SQLite file: validation and save of one order (median and p90), and the
// taxpayer register's window fill with N taxpayers beside the time psql
// takes to read the same rows in the same run, and --copy-to of a directory
// with C orders and the N taxpayers beside psql's own \copy of those rows.
// Usage: bench_server [orders] [taxpayers] [runs] [copied orders]
//        (defaults 200, 100000, 5, 10000)
#include "context/app_context.h"
#include "data/installer.h"
#include "data/server_copy.h"
#include "data/statements.h"
#include "data/store.h"
#include "entry/order_transfer.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/printers.h"
#include "platform/recording_prompter.h"
#include "refdata/dan_ref.h"
#include "refdata/taxpayer_pages.h"
#include "refdata/taxpayer_import.h"
#include "refdata/taxpayers.h"

#include "table_row.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QTemporaryDir>

#include <utility>
#include <QTextStream>
#include <QTreeView>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

double quantile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(double(v.size()) * q))];
}

QString script()
{
    return QStringLiteral(TRELOK_SOURCE_DIR) + u"/tests/pg_server.py"_s;
}

bool serverCommand(const QString &command, const QString &state)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TRELOK_PG_FSYNC"_s, u"on"_s);
    process.setProcessEnvironment(env);
    process.start(u"python3"_s, {script(), command, state});
    return process.waitForFinished(120000) && process.exitCode() == 0;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) < 0)
        qFatal("cannot write %s", qPrintable(path));
}

// Times of validating and saving one order at a time, ms.
std::vector<double> saveTimes(Store &store, const QString &dir, int orders)
{
    FixedClock clock{QDate(2026, 12, 8)};
    const QString csv = QDir(dir).filePath(u"one.csv"_s);
    std::vector<double> times;
    for (int i = 0; i < orders; ++i) {
        writeFile(csv, QByteArray("VID,NALOG1,DAN_BR,CEL1,MKD_CEL,MKD_DEC,UP_SMET2,NACIN,DATUM,"
                                  "POVIK\r\n108,Firma ") +
                           QByteArray::number(i) +
                           ",4030999123456,4030999123456,100,00,004,2,08.12.2026,108-2026-1010-" +
                           QByteArray::number(i) + "\r\n");
        QString o, e;
        QTextStream out(&o), err(&e);
        QElapsedTimer timer;
        timer.start();
        if (importOrders(store, clock, csv, {}, out, err) != 0)
            qFatal("saving failed: %s %s", qPrintable(o), qPrintable(e));
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return times;
}

// Runs psql's commands on a database of the private server.
bool psql(const QString &socketDir, const QString &database, const QStringList &commands)
{
    QStringList arguments{u"-h"_s, socketDir,   u"-U"_s, u"trelok"_s,
                          u"-d"_s, database,    u"-q"_s, u"-v"_s,
                          u"ON_ERROR_STOP=1"_s};
    for (const QString &command : commands)
        arguments << u"-c"_s << command;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(u"psql"_s, arguments);
    return process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A directory's file with the given orders and taxpayers, for --copy-to.
bool fillForCopy(Store &store, int orders, int taxpayers)
{
    QList<QVariantList> rows, register_;
    for (int i = 1; i <= orders; ++i) {
        QVariantList values{u"%1/2026"_s.arg(i)};
        for (int c = 1; c < 28; ++c)
            values << u"Tekst 'so' \"navodnici\" %1 %2"_s.arg(i).arg(c);
        rows << values;
    }
    for (int i = 0; i < taxpayers; ++i)
        register_ << QVariantList{QString::number(4030000000000LL + i), u"Firma {ar} %1"_s.arg(i),
                                  u"Ulica %1"_s.arg(i % 977), u"Skopje"_s};
    return store
        .transaction([&]() -> DbStatus {
            if (auto a = store.execEach(sql::trel::insert, rows); !a)
                return a;
            return store.execEach(sql::obvr::insert, register_);
        })
        .ok();
}

QByteArray registerCsv(int n)
{
    QByteArray csv = "dec_cod,dec_nam,dec_ad3,dec_tlx\n";
    for (int i = 0; i < n; ++i)
        csv += QByteArray::number(4000000000000LL + qint64(i) * 7919) + ",Firma {ar " +
               QByteArray::number(i) + " DOOEL,\"ul. Partizanska, br. " +
               QByteArray::number(i % 200) + "\",Skopje\n";
    return csv;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int orders = argc > 1 ? std::max(10, atoi(argv[1])) : 200;
    const int n = argc > 2 ? std::max(1, atoi(argv[2])) : 100000;
    const int runs = argc > 3 ? std::max(1, atoi(argv[3])) : 5;
    const int copiedOrders = argc > 4 ? std::max(1, atoi(argv[4])) : 10000;
    QTemporaryDir dir;
    const QString state = dir.filePath(u"server"_s);
    if (!serverCommand(u"start"_s, state))
        return 1;
    QFile urlFile(state + u"/url"_s);
    if (!urlFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no server could be started\n");
        return 1;
    }
    QUrl url(QString::fromUtf8(urlFile.readAll()).trimmed());
    const QString socketDir = QUrlQuery(url).queryItemValue(u"host"_s);
    int status = 0;
    {
        QProcess create;
        create.start(u"psql"_s, {u"-h"_s, socketDir, u"-U"_s, u"trelok"_s, u"-d"_s, u"postgres"_s,
                                 u"-c"_s, u"CREATE DATABASE bench"_s});
        create.waitForFinished(60000);
        url.setPath(u"/bench"_s);

        const QString fileDir = dir.filePath(u"file"_s), serverDir = dir.filePath(u"ws"_s);
        if (!installIfMissing(fileDir).ok() || !installIfMissing(serverDir).ok())
            return 1;
        registerApplicationFonts(serverDir);
        Store file, server;
        if (!file.open(databasePath(fileDir)).ok())
            return 1;
        if (auto opened = openApplicationDatabase(server, serverDir, url.toString()); !opened) {
            std::fprintf(stderr, "%s\n", qPrintable(opened.error()));
            return 1;
        }
        for (Store *s : {&file, &server})
            (void)s->exec(sql::obvr::insert, {u"4030999123456"_s, u"Firma"_s, u""_s, u""_s});
        const std::vector<double> fileSaves = saveTimes(file, fileDir, orders);
        const std::vector<double> serverSaves = saveTimes(server, serverDir, orders);

        const QString csv = dir.filePath(u"register.csv"_s);
        writeFile(csv, registerCsv(n));
        QString o, e;
        QTextStream out(&o), err(&e);
        QElapsedTimer timer;
        timer.start();
        if (importTaxpayers(server, csv, out, err) != 0)
            return 1;
        const double importMs = timer.nsecsElapsed() / 1e6;

        RecordingPrompter prompter;
        ListedPrinters printers;
        FixedClock clock{QDate(2026, 12, 8)};
        AppContext context{server, prompter, printers, clock, serverDir, {}, {}};
        context.endApplication = [](int) { std::exit(1); };
        const auto openWindow = [&context] {
            auto window = std::make_unique<dan_ref>(context);
            if (!window->Form_Load())
                std::exit(1);
            window->show();
            window->repaint();
            QCoreApplication::processEvents();
            return window;
        };
        auto window = openWindow(); // the first opening loads fonts and styles
        std::vector<double> fillMs, readMs, psqlMs;
        for (int r = 0; r < runs; ++r) {
            window.reset();
            QCoreApplication::processEvents();
            timer.restart();
            window = openWindow();
            fillMs.push_back(timer.nsecsElapsed() / 1e6);
            timer.restart();
            if (loadTaxpayers(server).value().size() != n + 1)
                return 1;
            readMs.push_back(timer.nsecsElapsed() / 1e6);
            QProcess psql;
            psql.setStandardOutputFile(QProcess::nullDevice());
            timer.restart();
            psql.start(u"psql"_s, {u"-h"_s, socketDir, u"-U"_s, u"trelok"_s, u"-d"_s, u"bench"_s,
                                   u"-At"_s, u"-c"_s, QString::fromLatin1(sql::obvr::listing)});
            if (!psql.waitForFinished(60000) || psql.exitCode() != 0)
                return 1;
            psqlMs.push_back(timer.nsecsElapsed() / 1e6);
        }
        // The lines read while the window stays open, as a clerk leaves it;
        // then a sort by another column, a second one and a keystroke
        // right after it.
        std::vector<double> idleMs, sortMs, secondSortMs, keyMs;
        for (int r = 0; r < runs; ++r) {
            window = openWindow();
            timer.restart();
            while (!window->model().allRead())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            idleMs.push_back(timer.nsecsElapsed() / 1e6);
            for (auto [column, into] : {std::pair{1 + r % 3, &sortMs},
                                        std::pair{1 + (r + 1) % 3, &secondSortMs}}) {
                timer.restart();
                window->ListView1_ColumnClick(column);
                window->list()->viewport()->repaint();
                into->push_back(timer.nsecsElapsed() / 1e6);
            }
            timer.restart();
            window->searchBox()->setText(u"skopje"_s);
            window->list()->viewport()->repaint();
            keyMs.push_back(timer.nsecsElapsed() / 1e6);
        }
        window.reset();

        // --copy-to into an empty database, beside psql loading the same
        // orders and taxpayers with \copy into the same tables.
        const QString copyDir = dir.filePath(u"copy"_s);
        Store source;
        if (!installIfMissing(copyDir).ok() || !source.open(databasePath(copyDir)).ok() ||
            !fillForCopy(source, copiedOrders, n))
            return 1;
        if (!psql(socketDir, u"postgres"_s, {u"CREATE DATABASE copied"_s}))
            return 1;
        QUrl copiedUrl = url;
        copiedUrl.setPath(u"/copied"_s);
        timer.restart();
        auto copied = copyToServer(source, copiedUrl.toString());
        const double copyMs = timer.nsecsElapsed() / 1e6;
        if (!copied) {
            std::fprintf(stderr, "%s\n", qPrintable(copied.error()));
            return 1;
        }
        const QString orderRows = dir.filePath(u"orders.tsv"_s);
        const QString taxpayerRows = dir.filePath(u"taxpayers.tsv"_s);
        if (!psql(socketDir, u"copied"_s,
                  {u"\\copy tbl_trel TO '%1'"_s.arg(orderRows),
                   u"\\copy tbl_obvr TO '%1'"_s.arg(taxpayerRows)}) ||
            !psql(socketDir, u"postgres"_s, {u"CREATE DATABASE floor TEMPLATE copied"_s}) ||
            !psql(socketDir, u"floor"_s, {u"TRUNCATE tbl_trel, tbl_obvr"_s}))
            return 1;
        timer.restart();
        if (!psql(socketDir, u"floor"_s,
                  {u"\\copy tbl_trel FROM '%1'"_s.arg(orderRows),
                   u"\\copy tbl_obvr FROM '%1'"_s.arg(taxpayerRows)}))
            return 1;
        const double psqlCopyMs = timer.nsecsElapsed() / 1e6;

        std::printf("validation and save of one order (%d orders, ms):\n", orders);
        std::printf("  SQLite file:        median %6.2f  p90 %6.2f\n", quantile(fileSaves, 0.5),
                    quantile(fileSaves, 0.9));
        std::printf("  PostgreSQL server:  median %6.2f  p90 %6.2f\n", quantile(serverSaves, 0.5),
                    quantile(serverSaves, 0.9));
        std::printf("register of %d taxpayers on the server (medians of %d runs):\n", n, runs);
        std::printf("  import from CSV:        %8.1f ms\n", importMs);
        std::printf("  psql reads the rows:    %8.1f ms\n", quantile(psqlMs, 0.5));
        std::printf("  window fills and shows: %8.1f ms  (ratio to psql %.2f)\n",
                    quantile(fillMs, 0.5), quantile(fillMs, 0.5) / quantile(psqlMs, 0.5));
        std::printf("  reading the rows alone: %8.1f ms\n", quantile(readMs, 0.5));
        tableRow("server: check and save one order", quantile(serverSaves, 0.5),
                 "the same on the SQLite file", quantile(fileSaves, 0.5));
        tableRow("server: check and save one order, p90", quantile(serverSaves, 0.9),
                 "SQLite file, p90", quantile(fileSaves, 0.9));
        const auto named = [n](const char *what) {
            return QStringLiteral("server: register of %1, %2").arg(n).arg(QLatin1String(what))
                .toUtf8();
        };
        tableRow(named("fill and show").constData(), quantile(fillMs, 0.5), "psql reads them",
                 quantile(psqlMs, 0.5));
        tableRow(named("lines read while open").constData(), quantile(idleMs, 0.5),
                 "psql reads them", quantile(psqlMs, 0.5));
        tableRow(named("sort by a column").constData(), quantile(sortMs, 0.5), "limit", 300);
        tableRow(named("second sort").constData(), quantile(secondSortMs, 0.5), "limit", 300);
        tableRow(named("keystroke after a sort").constData(), quantile(keyMs, 0.5), "limit", 300);
        std::printf("--copy-to of %d orders and %d taxpayers: %.1f ms (%lld rows), "
                    "psql \\copy of them %.1f ms\n",
                    copiedOrders, n, copyMs, static_cast<long long>(copied.value()), psqlCopyMs);
        tableRow("server: --copy-to 10,000 orders, 100,000 taxpayers", copyMs,
                 "psql \\copy of the same rows", psqlCopyMs);
    }
    if (!serverCommand(u"stop"_s, state))
        status = 1;
    return status;
}
