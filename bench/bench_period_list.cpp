// The list of a period: N orders of one month listed and summed per kind
// (listPeriod, every order read, its amount read exactly) beside the time
// the sqlite3 command-line tool runs the same statement over the same rows
// in the same run. Prints "period_list <rows> <trelok_s> <floor_s> <ratio>".
// On a loaded machine the processor time of both (this process, the
// sqlite3 child) is printed too: "period_list_cpu <rows> <trelok_s> <floor_s> <ratio>".
// Usage: bench_period_list [rows] [runs]   (defaults 100000 5; needs sqlite3)
#include "register_fill.h"
#include "table_row.h"

#include "data/installer.h"
#include "data/statements.h"
#include "data/store.h"
#include "print/period_list.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

void fill(Store &store, int rows)
{
    const QString kinds[] = {u"108"_s, u"205"_s, u"GAR"_s, u"701"_s};
    QList<QVariantList> orders;
    for (int i = 0; i < rows; ++i) {
        QVariantList order;
        for (int c = 0; c < 28; ++c)
            order.append(u"kolona %1 na red %2"_s.arg(c).arg(i));
        order[0] = u"%1/2026"_s.arg(i + 1);
        order[13] = i % 2 ? u"1 234"_s : QString::number(i);
        order[14] = i % 3 ? u"50"_s : u"00"_s;
        order[24] = u"%1.03.2026"_s.arg(1 + i % 31, 2, 10, QChar(u'0'));
        order[26] = kinds[i % 4];
        orders.append(order);
    }
    auto filled = store.transaction([&] { return store.execEach(sql::trel::insert, orders); });
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

// The same statement, its keys written in, through the sqlite3 tool.
double sqliteSeconds(const QString &db)
{
    QString statement = QString::fromLatin1(sql::period::orders);
    statement.replace(statement.indexOf(u'?'), 1, u"'20260301'"_s);
    statement.replace(statement.indexOf(u'?'), 1, u"'20260331'"_s);
    const double ms = bench::timedSqlite(db, statement, 60000);
    if (ms < 0)
        qFatal("sqlite3 failed");
    return ms / 1e3;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir dir;
    Store store;
    bench::openInstalled(dir.path(), store);
    fill(store, rows);
    const Period march{QDate(2026, 3, 1), QDate(2026, 3, 31), {}};
    std::vector<double> listed, floor, listedCpu, floorCpu;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        const double cpu = processorSeconds(RUSAGE_SELF);
        t.start();
        qint64 lines = 0;
        auto totals = listPeriod(store, march, [&lines](const PeriodLine &) { ++lines; });
        if (!totals || lines != rows || totals.value().all.count != rows)
            qFatal("the list is not complete");
        listed.push_back(double(t.nsecsElapsed()) / 1e9);
        listedCpu.push_back(processorSeconds(RUSAGE_SELF) - cpu);
        const double children = processorSeconds(RUSAGE_CHILDREN);
        floor.push_back(sqliteSeconds(store.path()));
        floorCpu.push_back(processorSeconds(RUSAGE_CHILDREN) - children);
    }
    const double trelok = median(listed), tool = median(floor);
    std::printf("period_list %d %.3f %.3f %.2f\n", rows, trelok, tool, trelok / tool);
    const double trelokCpu = median(listedCpu), toolCpu = median(floorCpu);
    std::printf("period_list_cpu %d %.3f %.3f %.2f\n", rows, trelokCpu, toolCpu,
                trelokCpu / toolCpu);
    tableRow(qPrintable(QLocale(QLocale::English).toString(rows)
                            .prepend(u"list and sum a period of "_s)
                            .append(u" orders"_s)),
             trelok * 1000, "sqlite3 runs the statement",
             tool * 1000);
    // Held to 0.5 s of processor time: the wall time also counts other programs.
    return trelokCpu < 0.5 ? 0 : 1;
}
