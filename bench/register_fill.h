#pragma once

// What several benchmarks build and compare with: a register of N taxpayers
// and N orders, and the sqlite3 command-line tool timed running a statement.

#include "data/installer.h"
#include "data/statements.h"
#include "data/store.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QVariantList>

#include <cstdio>

namespace bench {

// The i-th taxpayer's tax number (13 digits).
inline QString taxNumber(int i)
{
    return QString::number(4000000000000LL + qint64(i) * 7919);
}

// Installs the program's database into dir and opens it in store.
inline void openInstalled(const QString &dir, trelok::Store &store)
{
    if (!trelok::installIfMissing(dir))
        qFatal("installation failed");
    if (!store.open(trelok::databasePath(dir)))
        qFatal("open failed");
}

// N taxpayers and N orders, in one transaction: the orders numbered 1 to
// perYear in each year, the last year 2026, the counter of 2026 at N. Rows
// go in 10,000 at a time, so a million fit in little memory.
inline void fillRegister(trelok::Store &store, int n, int perYear)
{
    using namespace Qt::StringLiterals;
    const int firstYear = 2026 - (n - 1) / perYear;
    auto filled = store.transaction([&]() -> trelok::DbStatus {
        QList<QVariantList> taxpayers, orders;
        for (int i = 0; i < n; ++i) {
            taxpayers.append(
                {taxNumber(i), u"Firma %1 DOOEL"_s.arg(i), u"ul. %1 br. 3"_s.arg(i), u"Skopje"_s});
            QVariantList order{u"%1/%2"_s.arg(i % perYear + 1).arg(firstYear + i / perYear)};
            for (int c = 1; c < 28; ++c)
                order.append(u"kolona %1 na red %2"_s.arg(c).arg(i));
            orders.append(order);
            if (orders.size() == 10000 || i == n - 1) {
                if (auto t = store.execEach(trelok::sql::obvr::insert, taxpayers); !t)
                    return t;
                if (auto o = store.execEach(trelok::sql::trel::insert, orders); !o)
                    return o;
                taxpayers.clear();
                orders.clear();
            }
        }
        return store.exec(trelok::sql::broj::insert, {u"2026"_s, u"TRELOK"_s, u"%1/2026"_s.arg(n)});
    });
    if (!filled)
        qFatal("fill: %s", qPrintable(filled.error()));
}

// The milliseconds sqlite3 takes to run statement on file, its output thrown
// away; negative when it fails.
inline double timedSqlite(const QString &file, const QString &statement, int timeoutMs = 600000)
{
    QProcess sqlite;
    sqlite.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    sqlite.start(QStringLiteral("sqlite3"), {file, statement});
    if (!sqlite.waitForFinished(timeoutMs) || sqlite.exitCode() != 0) {
        std::fprintf(stderr, "sqlite3 failed: %s\n", qPrintable(sqlite.errorString()));
        return -1;
    }
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace bench
