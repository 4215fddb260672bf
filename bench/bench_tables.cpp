// The work on whole tables, each figure beside its floor measured in the
// same run: builds databases of N orders and N taxpayers for every size
// asked, runs the program built beside this one (trelok) and the floor
// (sqlite3, psql, or a minimal Qt program) as child processes, and prints
// one table with both times, the ratio and the peak resident memory of each
// child (getrusage). Order chooser figures come from bench_chooser when it
// is built beside this program; PostgreSQL rows need a private server
// (tests/pg_server.py), else they are skipped with a note.
// Usage: bench_tables [sizes...]   (default 10000 100000; add 1000000)
#include "data/installer.h"
#include "data/server.h"
#include "data/server_copy.h"
#include "data/statements.h"
#include "data/store.h"

#include "register_fill.h"
#include "table_row.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>
#include <QUrlQuery>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

extern char **environ;

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

struct Run {
    double ms = -1;
    double cpuMs = -1; // user and system time
    double peakMb = -1;
    bool ok = false;
};

// The measuring process: runs the program of args to its end and writes
// its wall time (ms), peak resident memory (kB) and exit status into
// report. A child's peak memory counts the memory of the process it was
// forked from, so the children are forked from this small process, not
// from the benchmark that holds the data.
int measureChild(const char *report, char **args)
{
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(args[0], args);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return 127;
    clock_gettime(CLOCK_MONOTONIC, &end);
    const double ms = double(end.tv_sec - start.tv_sec) * 1e3 +
                      double(end.tv_nsec - start.tv_nsec) / 1e6;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    if (FILE *f = std::fopen(report, "w")) {
        const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
        std::fprintf(f, "%f %ld %d %f\n", ms, usage.ru_maxrss, code, cpu);
        std::fclose(f);
    }
    return code;
}

QString reportFile;

// Runs a program to its end, standard input and output from and to files
// (or /dev/null), with extra environment entries; time and peak memory are
// the child's own (measureChild).
Run runChild(const QStringList &arguments, const QString &output = {}, const QString &input = {},
             const QStringList &extraEnv = {})
{
    std::vector<QByteArray> argStore, envStore;
    argStore.push_back(QCoreApplication::applicationFilePath().toLocal8Bit());
    argStore.push_back("--measure");
    argStore.push_back(reportFile.toLocal8Bit());
    for (const QString &a : arguments)
        argStore.push_back(a.toLocal8Bit());
    for (char **e = environ; *e; ++e)
        envStore.emplace_back(*e);
    for (const QString &e : extraEnv)
        envStore.push_back(e.toLocal8Bit());
    std::vector<char *> argv, envp;
    for (auto &a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto &e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray in = input.isEmpty() ? QByteArray("/dev/null") : input.toLocal8Bit();
    const QByteArray out = output.isEmpty() ? QByteArray("/dev/null") : output.toLocal8Bit();
    posix_spawn_file_actions_addopen(&actions, 0, in.constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run run;
    QFile::remove(reportFile);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid)
        return run;
    QFile report(reportFile);
    if (!report.open(QIODevice::ReadOnly))
        return run;
    const QList<QByteArray> fields = report.readAll().trimmed().split(' ');
    if (fields.size() != 4)
        return run;
    run.cpuMs = fields[3].toDouble();
    run.ms = fields[0].toDouble();
    run.peakMb = fields[1].toDouble() / 1024.0;
    run.ok = fields[2].toInt() == 0;
    return run;
}

// The median run of several (by time); the peak memory is the highest.
// The run of median time, with the highest peak of all and ok when all were.
Run median(std::vector<Run> runs)
{
    double peak = 0;
    bool ok = true;
    for (const Run &r : runs) {
        peak = std::max(peak, r.peakMb);
        ok = ok && r.ok;
    }
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.ms < b.ms; });
    Run m = runs[runs.size() / 2];
    m.peakMb = peak;
    m.ok = ok;
    return m;
}

template <class F> Run medianOf(int times, F once)
{
    std::vector<Run> runs;
    for (int i = 0; i < times; ++i)
        runs.push_back(once());
    return median(std::move(runs));
}

// Two programs run times times each, taking turns, so that a change in the
// machine's load while they run (a server's own maintenance, the disk
// writing back) falls on both alike; the median of each.
template <class A, class B> std::pair<Run, Run> mediansTakingTurns(int times, A first, B second)
{
    std::vector<Run> a, b;
    for (int i = 0; i < times; ++i) {
        a.push_back(first());
        b.push_back(second());
    }
    return {median(std::move(a)), median(std::move(b))};
}

struct Line {
    QString work, size, program, floorName;
    Run mine, floor;
    QString note;
};
QList<Line> lines;

QString fmtMs(double ms)
{
    if (ms < 0)
        return u"failed"_s;
    return ms >= 1000 ? u"%1 s"_s.arg(ms / 1000, 0, 'f', 2) : u"%1 ms"_s.arg(ms, 0, 'f', 1);
}

void add(const QString &work, int size, const Run &mine, const QString &floorName,
         const Run &floor, const QString &note = {})
{
    lines.append({work, QString::number(size), {}, floorName, mine, floor, note});
}

void note(const QString &work, int size, const QString &text)
{
    Line l;
    l.work = work;
    l.size = size > 0 ? QString::number(size) : u"-"_s;
    l.note = text;
    lines.append(l);
}

QString beside(const char *name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(name));
}

QString program()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(u"../src/trelok"_s);
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) < 0)
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray orderCsv(int n)
{
    QByteArray csv = "VID,NALOG1,DAN_BR,CEL1,MKD_CEL,MKD_DEC,UP_SMET2,NACIN,DATUM,POVIK\r\n";
    for (int i = 0; i < n; ++i)
        csv += "108,Firma " + QByteArray::number(i) + "," + bench::taxNumber(i).toLatin1() + "," +
               bench::taxNumber(i).toLatin1() + ",1500,00,004,2,08.12.2026,108-2026-1010-" +
               QByteArray::number(i) + "\r\n";
    return csv;
}

// The same rows as SQL statements, each in its own transaction or all in
// one.
QByteArray insertScript(int n, bool oneTransaction, const QString &prefix)
{
    QByteArray sqlText = oneTransaction ? "BEGIN;\n" : "";
    for (int i = 0; i < n; ++i) {
        sqlText += "INSERT INTO tbl_Trel VALUES ('" + prefix.toLatin1() + QByteArray::number(i) +
                   "/2026'";
        for (int c = 1; c < 28; ++c)
            sqlText += ",'v" + QByteArray::number(c) + "'";
        sqlText += ");\n";
    }
    if (oneTransaction)
        sqlText += "COMMIT;\n";
    return sqlText;
}

QByteArray registerCsv(int n)
{
    QByteArray csv = "dec_cod,dec_nam,dec_ad3,dec_tlx\n";
    for (int i = 0; i < n; ++i)
        csv += QByteArray::number(4100000000000LL + qint64(i) * 7919) + ",Firma {ar " +
               QByteArray::number(i) + " DOOEL,\"ul. Partizanska, br. " +
               QByteArray::number(i % 200) + "\",Skopje\n";
    return csv;
}

// A copy of an installed directory (fonts, database), for a run that
// writes into it.
QString copyDirectory(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files))
        QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name));
    return to;
}

QString lastOrderNumber(const QString &dbFile)
{
    Store store;
    if (!store.open(dbFile))
        return {};
    auto rows = store.texts("SELECT trelok_br FROM tbl_Trel ORDER BY rowid DESC LIMIT 1");
    return rows && !rows.value().isEmpty() ? rows.value().first().value(0) : QString();
}

// The figures bench_chooser prints: name and value.
QHash<QString, double> chooserFigures(const QString &dbFile, const QString &scratch)
{
    QHash<QString, double> figures;
    const QString chooser = beside("bench_chooser");
    if (!QFile::exists(chooser))
        return figures;
    const QString output = QDir(scratch).filePath(u"chooser.txt"_s);
    if (!runChild({chooser, dbFile}, output, {}, {u"QT_QPA_PLATFORM=offscreen"_s}).ok)
        return figures;
    QFile file(output);
    if (!file.open(QIODevice::ReadOnly))
        return figures;
    static const QRegularExpression line(u"^(\\w+)\\s+([0-9.]+)"_s);
    for (const QByteArray &text : file.readAll().split('\n')) {
        const auto match = line.match(QString::fromUtf8(text));
        if (match.hasMatch())
            figures.insert(match.captured(1), match.captured(2).toDouble());
    }
    return figures;
}

Run figure(double ms, double peakMb = -1)
{
    Run r;
    r.ms = ms;
    r.peakMb = peakMb;
    r.ok = ms >= 0;
    return r;
}

struct PgServer {
    QString state;
    QUrl url;
    QString socketDir;
    QString problem;
};

PgServer startServer(const QString &state)
{
    PgServer server;
    server.state = state;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TRELOK_PG_FSYNC"_s, u"on"_s);
    process.setProcessEnvironment(env);
    process.start(u"python3"_s, {QStringLiteral(TRELOK_SOURCE_DIR) + u"/tests/pg_server.py"_s,
                                 u"start"_s, state});
    process.waitForFinished(120000);
    QFile urlFile(state + u"/url"_s);
    if (!urlFile.open(QIODevice::ReadOnly)) {
        QFile skipped(state + u"/skipped"_s);
        server.problem = skipped.open(QIODevice::ReadOnly)
                             ? QString::fromUtf8(skipped.readAll()).trimmed()
                             : u"no private PostgreSQL server could be started"_s;
        return server;
    }
    server.url = QUrl(QString::fromUtf8(urlFile.readAll()).trimmed());
    server.socketDir = QUrlQuery(server.url).queryItemValue(u"host"_s);
    return server;
}

void stopServer(const PgServer &server)
{
    QProcess process;
    process.start(u"python3"_s, {QStringLiteral(TRELOK_SOURCE_DIR) + u"/tests/pg_server.py"_s,
                                 u"stop"_s, server.state});
    process.waitForFinished(120000);
}

bool psql(const PgServer &server, const QString &database, const QString &command)
{
    return runChild({u"psql"_s, u"-h"_s, server.socketDir, u"-U"_s, u"trelok"_s, u"-d"_s,
                     database, u"-q"_s, u"-v"_s, u"ON_ERROR_STOP=1"_s, u"-c"_s, command})
        .ok;
}

void measureSize(int n, const QString &root, const PgServer *server)
{
    std::fprintf(stderr, "building %d orders and taxpayers ...\n", n);
    const QString dir = QDir(root).filePath(u"n%1"_s.arg(n));
    if (!installIfMissing(dir))
        qFatal("installation failed");
    const QString db = databasePath(dir);
    {
        Store store;
        if (!store.open(db))
            qFatal("open failed");
        // N orders over three years.
        bench::fillRegister(store, n, (n + 2) / 3);
    }
    const QString scratch = QDir(root).filePath(u"scratch%1"_s.arg(n));
    QDir().mkpath(scratch);
    const QString exported = QDir(scratch).filePath(u"export.csv"_s);
    const int bigRuns = n > 100000 ? 1 : 3;

    // --export beside sqlite3 writing the same rows as CSV with a header.
    std::fprintf(stderr, "  export ...\n");
    const auto [exportRun, sqliteCsv] = mediansTakingTurns(
        bigRuns,
        [&] { return runChild({program(), u"--dir"_s, dir, u"--export"_s, exported}); },
        [&] {
            return runChild({u"sqlite3"_s, u"-csv"_s, u"-header"_s, db,
                             u"SELECT * FROM tbl_Trel ORDER BY rowid DESC"_s},
                            exported + u".floor"_s);
        });
    add(u"--export"_s, n, exportRun, u"sqlite3 -csv -header"_s, sqliteCsv);

    // --import of 1,000 orders beside the same rows inserted by sqlite3,
    // one transaction per row and all in one transaction.
    std::fprintf(stderr, "  import ...\n");
    const QString importDir = copyDirectory(dir, QDir(scratch).filePath(u"import"_s));
    const QString importDb = databasePath(importDir);
    const QString orders = QDir(scratch).filePath(u"orders.csv"_s);
    writeFile(orders, orderCsv(1000));
    const Run importRun =
        runChild({program(), u"--dir"_s, importDir, u"--import"_s, orders, u"--accept-unknown"_s});
    const QString perRow = QDir(scratch).filePath(u"per_row.sql"_s);
    const QString together = QDir(scratch).filePath(u"together.sql"_s);
    writeFile(perRow, insertScript(1000, false, u"r"_s));
    writeFile(together, insertScript(1000, true, u"t"_s));
    const Run perRowRun = runChild({u"sqlite3"_s, importDb}, {}, perRow);
    const Run togetherRun = runChild({u"sqlite3"_s, importDb}, {}, together);
    add(u"--import 1,000 orders"_s, n, importRun, u"sqlite3, a transaction per row"_s, perRowRun);
    add(u"--import 1,000 orders"_s, n, importRun, u"sqlite3, one transaction"_s, togetherRun);
    const QString printed = lastOrderNumber(importDb);

    // --import-taxpayers beside sqlite3 .import of the same file, each into
    // an empty register.
    std::fprintf(stderr, "  import-taxpayers ...\n");
    const QString registerFile = QDir(scratch).filePath(u"register.csv"_s);
    writeFile(registerFile, registerCsv(n));
    const QString script = QDir(scratch).filePath(u"import.sqlite"_s);
    writeFile(script, "DELETE FROM tbl_obvr;\n.import --csv --skip 1 " + registerFile.toLocal8Bit() +
                          " tbl_obvr\n");
    const auto [taxpayerRun, sqliteImport] = mediansTakingTurns(
        bigRuns,
        [&] {
            const QString d = copyDirectory(root + u"/fresh"_s, QDir(scratch).filePath(u"tp"_s));
            const Run r =
                runChild({program(), u"--dir"_s, d, u"--import-taxpayers"_s, registerFile});
            QDir(d).removeRecursively();
            return r;
        },
        [&] {
            const QString d = copyDirectory(root + u"/fresh"_s, QDir(scratch).filePath(u"tp"_s));
            const Run r = runChild({u"sqlite3"_s, databasePath(d)}, {}, script);
            QDir(d).removeRecursively();
            return r;
        });
    add(u"--import-taxpayers"_s, n, taxpayerRun, u"sqlite3 .import"_s, sqliteImport);

    // The order chooser and the register, by bench_chooser.
    std::fprintf(stderr, "  chooser ...\n");
    const auto chooser = chooserFigures(db, scratch);
    if (chooser.isEmpty()) {
        note(u"order chooser, register"_s, n,
             u"bench_chooser is not built beside this program (or failed): not measured"_s);
    } else {
        const double peak = chooser.value(u"peak_mb"_s, -1);
        const double read = chooser.value(u"sqlite3_read_ms"_s, -1);
        add(u"order chooser opens"_s, n, figure(chooser.value(u"chooser_open_ms"_s, -1), peak),
            u"sqlite3 reads the 7 columns sorted"_s, figure(read));
        add(u"order chooser search keystroke"_s, n,
            figure(chooser.value(u"chooser_search_ms"_s, -1)), u"limit"_s,
            figure(n >= 1000000 ? 300 : 50));
        // The register's floor: its own four columns in tax number order.
        const Run registerRead = medianOf(3, [&] {
            return runChild({u"sqlite3"_s, db, QString::fromLatin1(sql::obvr::listing)},
                            QDir(scratch).filePath(u"register.floor"_s));
        });
        add(u"taxpayer register opens"_s, n, figure(chooser.value(u"register_open_ms"_s, -1)),
            u"sqlite3 reads the register's 4 columns sorted"_s, registerRead);
        add(u"taxpayer register sorts by a column"_s, n,
            figure(chooser.value(u"register_sort_ms"_s, -1)), u"limit"_s, figure(300));
    }

    // --export from the server beside psql's \copy of the same rows.
    if (server) {
        std::fprintf(stderr, "  server export ...\n");
        const QString name = u"bench%1"_s.arg(n);
        QUrl url = server->url;
        url.setPath(u"/"_s + name);
        const QString ws = copyDirectory(root + u"/fresh"_s, QDir(scratch).filePath(u"ws"_s));
        Store source;
        // The tables as an office's server keeps them: vacuumed and analysed
        // (its own maintenance would otherwise run during the measurement).
        if (!psql(*server, u"postgres"_s, u"CREATE DATABASE "_s + name) || !source.open(db) ||
            !copyToServer(source, url.toString()) ||
            !psql(*server, name, u"VACUUM ANALYZE"_s)) {
            note(u"PostgreSQL --export"_s, n, u"the server database could not be filled"_s);
        } else {
            const QString out = QDir(scratch).filePath(u"server.csv"_s);
            const auto [mine, floor] = mediansTakingTurns(
                bigRuns,
                [&] {
                    return runChild({program(), u"--dir"_s, ws, u"--db"_s, url.toString(),
                                     u"--export"_s, out});
                },
                [&] {
                    return runChild({u"psql"_s, u"-h"_s, server->socketDir, u"-U"_s, u"trelok"_s,
                                     u"-d"_s, name, u"-q"_s, u"-c"_s,
                                     u"\\copy (SELECT * FROM tbl_trel) TO '%1' CSV HEADER"_s.arg(
                                         out + u".floor"_s)});
                });
            add(u"PostgreSQL --export"_s, n, mine, u"psql \\copy"_s, floor);
        }
    }

    // The first start of a day: until the main window shows, with the day's
    // copy due and with it made, beside a minimal Qt main window.
    std::fprintf(stderr, "  start ...\n");
    const QStringList shown{u"TRELOK_EXIT_WHEN_SHOWN=1"_s, u"QT_QPA_PLATFORM=offscreen"_s};
    const QString backups = QDir(dir).filePath(u"backup"_s);
    const auto minimalWindow = [&] {
        return runChild({beside("floor_window")}, {}, {}, {u"QT_QPA_PLATFORM=offscreen"_s});
    };
    const auto [due, windowBeside] = mediansTakingTurns(
        5,
        [&] {
            QDir(backups).removeRecursively();
            return runChild({program(), u"--dir"_s, dir}, {}, {}, shown);
        },
        minimalWindow);
    // One start that waits for its copy, so the next ones find it made.
    QDir(backups).removeRecursively();
    const Run made = runChild({program(), u"--dir"_s, dir}, {}, {},
                              {u"TRELOK_EXIT_WHEN_SHOWN=backup"_s, u"QT_QPA_PLATFORM=offscreen"_s});
    const auto [notDue, window] = mediansTakingTurns(
        5, [&] { return runChild({program(), u"--dir"_s, dir}, {}, {}, shown); }, minimalWindow);
    add(u"first start of a day, copy due"_s, n, due, u"minimal Qt main window"_s, windowBeside);
    add(u"start, the day's copy made"_s, n, notDue, u"minimal Qt main window"_s, window,
        made.ok ? QString() : u"the start that makes the copy failed"_s);
    add(u"start and make the day's copy (to its end)"_s, n, made, u"start, copy made"_s, notDue);

    // --print N --pdf beside a minimal one-page PDF of 26 texts.
    const QString pdf = QDir(scratch).filePath(u"order.pdf"_s);
    const auto [print, floorPdf] = mediansTakingTurns(
        5,
        [&] {
            return runChild(
                {program(), u"--dir"_s, importDir, u"--print"_s, printed, u"--pdf"_s, pdf}, {}, {},
                {u"QT_QPA_PLATFORM=offscreen"_s});
        },
        [&] {
            return runChild(
                {beside("floor_pdf"), QDir(dir).filePath(u"MCTIME.TTF"_s), pdf + u".floor"_s}, {},
                {}, {u"QT_QPA_PLATFORM=offscreen"_s});
        });
    add(u"--print N --pdf"_s, n, print, u"minimal one-page PDF, 26 texts"_s, floorPdf);
    QDir(scratch).removeRecursively();
    QDir(dir).removeRecursively();
}

void printTable()
{
    std::printf("\n| work | orders | trelok | floor | floor time | ratio | CPU trelok / floor (ratio) "
                "| peak MB trelok / floor |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const Line &l : lines) {
        if (!l.note.isEmpty() && l.floorName.isEmpty()) {
            std::printf("| %s | %s | - | - | - | - | - | %s |\n", qPrintable(l.work), qPrintable(l.size),
                        qPrintable(l.note));
            continue;
        }
        const QString mine = l.mine.ok ? fmtMs(l.mine.ms) : fmtMs(l.mine.ms) + u" (failed)"_s;
        const QString floor = l.floor.ok ? fmtMs(l.floor.ms) : fmtMs(l.floor.ms) + u" (failed)"_s;
        const QString ratio =
            l.floor.ms > 0 && l.mine.ms >= 0 ? QString::number(l.mine.ms / l.floor.ms, 'f', 2) : u"-"_s;
        const auto mb = [](double v) { return v < 0 ? u"-"_s : QString::number(v, 'f', 0); };
        const QString cpu = l.mine.cpuMs >= 0 && l.floor.cpuMs > 0
                                ? u"%1 / %2 (%3)"_s.arg(fmtMs(l.mine.cpuMs), fmtMs(l.floor.cpuMs))
                                      .arg(l.mine.cpuMs / l.floor.cpuMs, 0, 'f', 2)
                                : u"-"_s;
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s / %s%s |\n", qPrintable(l.work),
                    qPrintable(l.size), qPrintable(mine), qPrintable(l.floorName),
                    qPrintable(floor), qPrintable(ratio), qPrintable(cpu), qPrintable(mb(l.mine.peakMb)),
                    qPrintable(mb(l.floor.peakMb)),
                    l.note.isEmpty() ? "" : qPrintable(u" ("_s + l.note + u")"_s));
    }
    // The lines bench/run_all.sh collects.
    for (const Line &l : lines)
        if (l.floorName.size() && l.mine.ms >= 0)
            tableRow(qPrintable(u"%1, %2 orders"_s.arg(l.work, l.size)), l.mine.ms,
                     qPrintable(l.floorName), l.floor.ms);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 3 && std::strcmp(argv[1], "--measure") == 0)
        return measureChild(argv[2], argv + 3);
    QCoreApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::max(1000, std::atoi(argv[i])));
    if (sizes.empty())
        sizes = {10000, 100000};
    if (!QFile::exists(program()))
        qFatal("the program is not built beside this benchmark: %s", qPrintable(program()));
    QTemporaryDir root;
    reportFile = root.filePath(u"child.txt"_s);
    if (!installIfMissing(root.filePath(u"fresh"_s)))
        qFatal("installation failed");

    PgServer server = startServer(root.filePath(u"pg"_s));
    if (!server.problem.isEmpty())
        note(u"PostgreSQL --export"_s, 0, u"skipped: "_s + server.problem);
    for (int n : sizes)
        measureSize(n, root.path(), server.problem.isEmpty() ? &server : nullptr);
    if (server.problem.isEmpty())
        stopServer(server);

    std::printf("Machine: %d cores; load when done: ", int(sysconf(_SC_NPROCESSORS_ONLN)));
    double load[3] = {};
    if (getloadavg(load, 3) == 3)
        std::printf("%.2f %.2f %.2f", load[0], load[1], load[2]);
    std::printf("\n");
    printTable();
    return 0;
}
