// The list of a period: a year of N orders, dated day by day as they were
// entered (one in ten a day before the order entered before it), a few with
// amounts or dates the list names apart.
// - streamPeriod in this process (every order read in the list's order, its
//   amount read exactly, summed per kind; what the command and the window
//   run) beside the sqlite3 tool running
//   the same statement: "period_list <rows> <trelok_s> <floor_s> <ratio>",
//   and on a loaded machine the processor time of both:
//   "period_list_cpu <rows> <trelok_s> <floor_s> <ratio>";
// - the program itself, `trelok --list 01.01.2026 31.12.2026 --csv FILE`,
//   beside its floor, `sqlite3 -csv` writing the same nine columns sorted by
//   date and number to a file, taking turns: "period_list_csv <rows>
//   <trelok_s> <floor_s> <ratio> <trelok_peak_MB> <floor_peak_MB>" (peak:
//   the most resident memory of the process).
// Each figure is also a ROW| line of bench/run_all.sh's table.
// Usage: bench_period_list [rows] [runs]   (defaults 100000 5; needs sqlite3
// and /usr/bin/time)
// Exit status 1 when streamPeriod takes more than 5 us of processor time per
// order or the command's peak passes 64 MB.
#include "register_fill.h"
#include "table_row.h"

#include "data/installer.h"
#include "data/statements.h"
#include "data/store.h"
#include "print/period_rows.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <vector>

extern char **environ;

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

const Period year{QDate(2026, 1, 1), QDate(2026, 12, 31), {}};

void fill(Store &store, int rows)
{
    const QString kinds[] = {u"108"_s, u"205"_s, u"GAR"_s, u"701"_s};
    const QDate first(2026, 1, 1);
    auto filled = store.transaction([&]() -> DbStatus {
        QList<QVariantList> orders;
        for (int i = 0; i < rows; ++i) {
            QVariantList order;
            for (int c = 0; c < 28; ++c)
                order.append(u"kolona %1 na red %2"_s.arg(c).arg(i));
            order[0] = u"%1/2026"_s.arg(i + 1);
            order[13] = i % 1000 == 7 ? u"12abc"_s : i % 2 ? u"1 234"_s : QString::number(i);
            order[14] = i % 3 ? u"50"_s : u"00"_s;
            const int day = int(qint64(i) * 365 / rows) - (i % 10 == 9 ? 1 : 0);
            order[24] = i % 5000 == 11 ? u"1.3.2026"_s
                                       : first.addDays(std::max(day, 0)).toString(u"dd.MM.yyyy"_s);
            order[26] = kinds[i % 4];
            orders.append(order);
            if (orders.size() == 10000 || i == rows - 1) {
                if (auto stored = store.execEach(sql::trel::insert, orders); !stored)
                    return stored;
                orders.clear();
            }
        }
        return succeeded();
    });
    if (!filled)
        qFatal("fill: %s", qPrintable(filled.error()));
}

double processorSeconds(int who)
{
    rusage use{};
    getrusage(who, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The statement of the list's lines with the year's keys written in.
QString linesOfTheYear()
{
    QString statement = QString::fromLatin1(sql::period::file::lines);
    statement.replace(statement.indexOf(u'?'), 1, u"'20260101'"_s);
    statement.replace(statement.indexOf(u'?'), 1, u"'20261231'"_s);
    return statement;
}

// A program's wall time and peak resident memory; its standard output
// goes to output. Started through /usr/bin/time, whose own few pages are
// all the program takes over (a process spawned from this one would count
// this one's memory as its own).
struct Run {
    double seconds = -1;
    double peakMb = 0;
};

Run run(QStringList arguments, const QString &output, const QString &report)
{
    arguments = QStringList{u"/usr/bin/time"_s, u"-f"_s, u"%M"_s, u"-o"_s, report} + arguments;
    std::vector<QByteArray> args;
    for (const QString &a : arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray out = output.toLocal8Bit();
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        qFatal("%s failed", qPrintable(arguments.join(u' ')));
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    QFile kilobytes(report);
    if (!kilobytes.open(QIODevice::ReadOnly))
        qFatal("no peak from /usr/bin/time");
    return {seconds, kilobytes.readAll().trimmed().toDouble() / 1024};
}

QString orders(int rows)
{
    return QLocale(QLocale::English).toString(rows) + u" orders"_s;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir dir;
    const QString db = databasePath(dir.path());
    std::vector<double> listed, floor, listedCpu, floorCpu;
    {
        Store store;
        bench::openInstalled(dir.path(), store);
        fill(store, rows);
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            const double cpu = processorSeconds(RUSAGE_SELF);
            t.start();
            qint64 lines = 0;
            auto totals = streamPeriod(store, year, [&lines](const PeriodRow &) { ++lines; });
            if (!totals || lines != totals.value().all.count + totals.value().amountApart.size() ||
                lines + totals.value().dateApart.size() != rows)
                qFatal("the list is not complete");
            listed.push_back(double(t.nsecsElapsed()) / 1e9);
            listedCpu.push_back(processorSeconds(RUSAGE_SELF) - cpu);
            const double children = processorSeconds(RUSAGE_CHILDREN);
            const double ms = bench::timedSqlite(db, linesOfTheYear(), 600000);
            if (ms < 0)
                qFatal("sqlite3 failed");
            floor.push_back(ms / 1e3);
            floorCpu.push_back(processorSeconds(RUSAGE_CHILDREN) - children);
        }
    }
    const double trelok = median(listed), tool = median(floor);
    std::printf("period_list %d %.3f %.3f %.2f\n", rows, trelok, tool, trelok / tool);
    const double trelokCpu = median(listedCpu), toolCpu = median(floorCpu);
    std::printf("period_list_cpu %d %.3f %.3f %.2f\n", rows, trelokCpu, toolCpu,
                trelokCpu / toolCpu);
    tableRow(qPrintable(u"list and sum a year of "_s + orders(rows)), trelok * 1000,
             "sqlite3 runs the statement", tool * 1000);

    // The command, as a clerk runs it, and the floor, taking turns.
    const QString program =
        QDir(QCoreApplication::applicationDirPath()).filePath(u"../src/trelok"_s);
    const QString csv = dir.filePath(u"lista.csv"_s), floorCsv = dir.filePath(u"floor.csv"_s),
                  report = dir.filePath(u"peak"_s);
    std::vector<double> command, written;
    double commandPeak = 0, floorPeak = 0;
    for (int i = 0; i < runs; ++i) {
        const Run mine = run({program, u"--dir"_s, dir.path(), u"--list"_s, u"01.01.2026"_s,
                              u"31.12.2026"_s, u"--csv"_s, csv},
                             u"/dev/null"_s, report);
        const Run tool3 =
            run({u"/usr/bin/sqlite3"_s, u"-csv"_s, db, linesOfTheYear()}, floorCsv, report);
        command.push_back(mine.seconds);
        written.push_back(tool3.seconds);
        commandPeak = std::max(commandPeak, mine.peakMb);
        floorPeak = std::max(floorPeak, tool3.peakMb);
    }
    const double mine = median(command), theirs = median(written);
    std::printf("period_list_csv %d %.3f %.3f %.2f %.1f %.1f\n", rows, mine, theirs, mine / theirs,
                commandPeak, floorPeak);
    tableRow(qPrintable(u"--list of a year of %1 to CSV (peak %2 MB)"_s.arg(orders(rows))
                            .arg(commandPeak, 0, 'f', 1)),
             mine * 1000,
             qPrintable(u"sqlite3 -csv of the same rows sorted (peak %1 MB)"_s.arg(floorPeak, 0,
                                                                                   'f', 1)),
             theirs * 1000);
    return trelokCpu < 5e-6 * rows && commandPeak < 64 ? 0 : 1;
}
