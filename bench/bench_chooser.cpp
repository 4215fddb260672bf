// The order chooser and the taxpayer register on a database of any size:
// opens both offscreen and prints one figure a line, beside the floor of the
// same run (the sqlite3 command-line tool reading the chooser's seven
// columns in its order):
//   chooser_open_ms, chooser_read_all_ms (every line read for searching,
//   after the window shows), chooser_search_ms (one keystroke of a new
//   search), register_open_ms, register_sort_ms, base_peak_mb (the process
//   before any window), open_peak_mb (after opening it), read_peak_mb
//   (after reading every line), peak_mb (the process with the chooser open,
//   every line read and searched), chooser_rss_mb and chooser_rss_file_mb
//   (what it holds then, and the part of that which is mapped files),
//   register_read_all_ms and register_search_ms (the register's every line
//   read, one keystroke of a search), register_peak_mb (the most the process
//   held from the register's opening on: the peak is set back first to what
//   the process holds then), register_base_mb (what it holds then),
//   register_rss_mb and register_rss_file_mb (what it holds with the
//   register open, every line read and searched, and the part of that which
//   is mapped files), sqlite3_read_ms.
// Usage: bench_chooser FILE              (an existing database file)
//        bench_chooser --build N FILE    (builds FILE with N orders and N
//                                         taxpayers first; FILE must not exist)
//        bench_chooser --build-register N FILE
//                                        (the same with the rows of
//                                         fillRegister: every shown text
//                                         differs on every line)
//        bench_chooser --server FILE     (FILE copied into a private
//                                         PostgreSQL server, measured there;
//                                         the floors are psql's)
#include "context/app_context.h"
#include "data/installer.h"
#include "data/orders.h"
#include "data/server_copy.h"
#include "data/statements.h"
#include "data/store.h"
#include "entry/izbor_trelok.h"
#include "entry/order_list_model.h"
#include "platform/clock.h"
#include "platform/printers.h"
#include "platform/recording_prompter.h"
#include "refdata/dan_ref.h"
#include "refdata/taxpayer_pages.h"

#include "register_fill.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QUrlQuery>
#include <QAbstractItemView>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A figure of this process's memory in /proc/self/status, MB: VmHWM the
// most it has held, VmRSS what it holds now, RssFile the part of that which
// is files mapped into it.
double statusMb(const QByteArray &name)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

double peakMb()
{
    return statusMb("VmHWM");
}

// Sets the peak back to what the process holds now.
void resetPeak()
{
    QFile clear(u"/proc/self/clear_refs"_s);
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        std::fprintf(stderr, "the peak could not be set back\n");
}

// Orders of eight years with gaps in the numbering and numbers of one to
// six digits, stored oldest first as the program stores them; as many
// taxpayers.
bool build(int n, const QString &file)
{
    QTemporaryDir dir;
    if (!installIfMissing(dir.path()))
        return false;
    {
        Store store;
        if (!store.open(databasePath(dir.path())))
            return false;
        const int years = 8;
        const int perYear = std::max(1, n / years);
        auto filled = store.transaction([&]() -> DbStatus {
            QList<QVariantList> rows;
            const auto flush = [&](const char *statement) {
                auto done = store.execEach(statement, rows);
                rows.clear();
                return done;
            };
            for (int i = 0; i < n; ++i) {
                const int year = 2019 + std::min(years - 1, i / perYear);
                const int sequence = 1 + (i % perYear) + (i % perYear) / 7; // every 8th missing
                QVariantList order{u"%1/%2"_s.arg(sequence).arg(year)};
                for (int c = 1; c < 28; ++c)
                    order.append(QString());
                order[1] = u"Firma %1 DOOEL"_s.arg(i % 5000);
                order[5] = QString::number(4000000000000LL + qint64(i % 5000) * 7919);
                order[6] = u"108-%1-1010-%2"_s.arg(year).arg(sequence);
                order[7] = u"Carina za uvoz, faktura %1"_s.arg(i);
                order[8] = i % 3 == 0 ? u"Dava~ki"_s : QString();
                order[13] = QString::number(100 + i % 90000);
                order[14] = u"00"_s;
                order[23] = QString::number(1 + i % 2);
                order[24] = u"%1.%2.%3"_s.arg(1 + i % 28, 2, 10, QChar(u'0'))
                                .arg(1 + i % 12, 2, 10, QChar(u'0'))
                                .arg(year);
                order[26] = i % 4 == 0 ? u"701"_s : u"108"_s;
                rows.append(order);
                if (rows.size() == 10000)
                    if (auto done = flush(sql::trel::insert); !done)
                        return done;
            }
            if (auto done = flush(sql::trel::insert); !done)
                return done;
            for (int i = 0; i < n; ++i) {
                rows.append({QString::number(4000000000000LL + qint64(i) * 7919),
                             u"Firma %1 DOOEL"_s.arg(i), u"ul. Partizanska %1"_s.arg(i % 300),
                             i % 5 ? u"Skopje"_s : u"Bitola"_s});
                if (rows.size() == 10000)
                    if (auto done = flush(sql::obvr::insert); !done)
                        return done;
            }
            return flush(sql::obvr::insert);
        });
        if (!filled) {
            std::fprintf(stderr, "build: %s\n", qPrintable(filled.error()));
            return false;
        }
    }
    return QFile::rename(databasePath(dir.path()), file);
}

// The rows of fillRegister in three years, into a new file.
bool buildRegister(int n, const QString &file)
{
    QTemporaryDir dir;
    {
        Store store;
        bench::openInstalled(dir.path(), store);
        bench::fillRegister(store, n, (n + 2) / 3);
    }
    return QFile::rename(databasePath(dir.path()), file);
}

// A floor: the engine's own command-line tool running a statement on the
// database, its output let go; -1 when it failed.
struct Floor {
    QString program;
    QStringList arguments; // before the statement
    bool server = false;

    double run(const QString &statement) const
    {
        QProcess tool;
        tool.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer t;
        t.start();
        tool.start(program, arguments + QStringList{statement});
        if (!tool.waitForFinished(600000) || tool.exitCode() != 0) {
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                         qPrintable(tool.errorString()));
            return -1;
        }
        return ms(t);
    }

    // Reading the chooser's seven columns in its order.
    double chooser() const
    {
        QString statement =
            QString::fromLatin1(server ? sql::newest::server::page : sql::newest::file::page);
        statement.chop(QStringLiteral(" LIMIT ? OFFSET ?").size());
        return run(statement);
    }

    // Reading the register's four columns in the window's order by a column.
    double registerSorted(int column) const
    {
        QString statement = QString::fromLatin1(sql::obvr::pageColumns);
        const QString shown = QString::fromLatin1(sql::obvr::shown[column]);
        statement += server ? QString::fromLatin1(sql::obvr::server::lower) + shown +
                                  QString::fromLatin1(sql::obvr::server::caseless)
                            : shown + QString::fromLatin1(sql::obvr::file::caseless);
        if (server)
            for (const char *tie : sql::obvr::server::ties)
                statement += u',' + QString::fromLatin1(tie);
        else
            for (const char *tie : sql::obvr::file::ties)
                statement += u',' + QString::fromLatin1(tie);
        return run(statement);
    }
};

// A private PostgreSQL server (tests/pg_server.py) holding a copy of the
// file, for as long as it lives.
class PrivateServer {
public:
    bool start(Store &file)
    {
        if (!command(u"start"_s))
            return false;
        QFile urlFile(m_dir.filePath(u"url"_s));
        if (!urlFile.open(QIODevice::ReadOnly))
            return false;
        m_started = true;
        QUrl url(QString::fromUtf8(urlFile.readAll()).trimmed());
        m_socket = QUrlQuery(url).queryItemValue(u"host"_s);
        Floor create{u"psql"_s,
                     {u"-h"_s, m_socket, u"-U"_s, u"trelok"_s, u"-d"_s, u"postgres"_s, u"-c"_s}};
        if (create.run(u"CREATE DATABASE bench"_s) < 0)
            return false;
        url.setPath(u"/bench"_s);
        m_url = url.toString();
        QElapsedTimer t;
        t.start();
        auto copied = copyToServer(file, m_url);
        if (!copied) {
            std::fprintf(stderr, "%s\n", qPrintable(copied.error()));
            return false;
        }
        std::printf("copied %lld rows to the server in %.1f s\n",
                    static_cast<long long>(copied.value()), ms(t) / 1000);
        return true;
    }
    ~PrivateServer()
    {
        if (m_started)
            command(u"stop"_s);
    }
    QString url() const { return m_url; }
    Floor floor() const
    {
        return {u"psql"_s,
                {u"-h"_s, m_socket, u"-U"_s, u"trelok"_s, u"-d"_s, u"bench"_s, u"-At"_s, u"-c"_s},
                true};
    }

private:
    bool command(const QString &what)
    {
        QProcess process;
        process.start(u"python3"_s, {QStringLiteral(TRELOK_SOURCE_DIR) + u"/tests/pg_server.py"_s,
                                     what, m_dir.path()});
        return process.waitForFinished(120000) && process.exitCode() == 0;
    }
    QTemporaryDir m_dir;
    QString m_socket, m_url;
    bool m_started = false;
};

double processorMs()
{
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return double(used.tv_sec) * 1e3 + double(used.tv_nsec) / 1e6;
}

// A keystroke in a window's search box: until the list shows the answer.
template <typename Window> double keystroke(Window &window, const QString &typed)
{
    QElapsedTimer t;
    t.start();
    window.searchBox()->setText(typed);
    window.list()->viewport()->repaint();
    return ms(t);
}

// The window's lines read while it is open, as a clerk leaves it: the
// events run until every line is in; wall and processor time.
template <typename Model> std::pair<double, double> readWhileOpen(Model &model)
{
    QElapsedTimer t;
    t.start();
    const double cpu = processorMs();
    while (!model.allRead())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return {ms(t), processorMs() - cpu};
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && (args[1] == u"--build"_s || args[1] == u"--build-register"_s)) {
        const auto built = args[1] == u"--build"_s ? build : buildRegister;
        if (QFileInfo::exists(args[3]) || !built(args[2].toInt(), args[3])) {
            std::fprintf(stderr, "cannot build %s\n", qPrintable(args[3]));
            return 1;
        }
        // Measured in a process of its own, so building does not count.
        return QProcess::execute(args[0], {args[3]});
    }
    const bool onServer = args.size() == 3 && args[1] == u"--server"_s;
    if (args.size() != 2 && !onServer) {
        std::fprintf(stderr, "usage: bench_chooser FILE | bench_chooser --build[-register] N FILE "
                             "| bench_chooser --server FILE\n");
        return 2;
    }
    const QString file = QFileInfo(args.last()).absoluteFilePath();
    Store fileStore, serverStore;
    if (auto opened = fileStore.open(file); !opened) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.error()));
        return 1;
    }
    PrivateServer server;
    Floor floorTool{u"sqlite3"_s, {file}};
    if (onServer) {
        if (!server.start(fileStore))
            return 1;
        if (auto opened = serverStore.openServer(server.url(), file); !opened) {
            std::fprintf(stderr, "%s\n", qPrintable(opened.error()));
            return 1;
        }
        floorTool = server.floor();
    }
    Store &store = onServer ? serverStore : fileStore;
    RecordingPrompter prompter;
    ListedPrinters printers;
    FixedClock clock(QDate(2026, 12, 8));
    AppContext context{store, prompter, printers, clock, QFileInfo(file).absolutePath(), {}, {}};
    context.endApplication = [](int) { std::exit(1); };
    const int runs = 3;
    // The process before any window: Qt and the open database.
    const double basePeak = peakMb();

    std::vector<double> floor;
    for (int run = 0; run < runs; ++run)
        floor.push_back(floorTool.chooser());

    // A letter typed the moment the window shows, and the lines read while
    // it stays open, taking turns with the floor.
    std::vector<double> firstKey, idleRead, idleCpu, floorTurns;
    for (int run = 0; run < runs; ++run) {
        floorTurns.push_back(floorTool.chooser());
        izbor_trelok window(context);
        if (!window.Form_Load())
            return 1;
        window.show();
        window.list()->viewport()->repaint();
        firstKey.push_back(keystroke(window, QStringList{u"a"_s, u"7"_s, u"z"_s}[run % 3]));
        window.searchBox()->setText(QString());
        const auto [wall, cpu] = readWhileOpen(*window.model());
        idleRead.push_back(wall);
        idleCpu.push_back(cpu);
    }

    std::vector<double> open;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        t.start();
        izbor_trelok window(context);
        if (!window.Form_Load())
            return 1;
        window.show();
        window.list()->viewport()->repaint();
        open.push_back(ms(t));
    }

    const double openPeak = peakMb();
    std::vector<double> search;
    double readAll = 0;
    double readPeak = 0;
    double held = 0;
    double mapped = 0;
    {
        izbor_trelok window(context);
        window.Form_Load();
        window.show();
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        if (!window.model()->readAll())
            return 1;
        readAll = ms(t);
        readPeak = peakMb();
        // One keystroke of a new search each: a letter, a digit, a number.
        for (const QString &typed : {u"a"_s, u"7"_s, u"z"_s, u"3"_s, u"2/2024"_s}) {
            window.searchBox()->setText(QString());
            QApplication::processEvents();
            t.start();
            window.searchBox()->setText(typed);
            window.list()->viewport()->repaint();
            search.push_back(ms(t));
        }
        held = statusMb("VmRSS");
        mapped = statusMb("RssFile");
    }
    const double peak = peakMb();

    resetPeak();
    const double registerBase = statusMb("VmRSS");
    std::vector<double> registerOpen, registerSort, registerSecondSort, registerFirstKey,
        registerSortedKey, registerIdleRead, registerFloor;
    for (int run = 0; run < runs; ++run) {
        registerFloor.push_back(floorTool.registerSorted(1 + (run + 1) % 3));
        QElapsedTimer t;
        t.start();
        dan_ref window(context);
        if (!window.Form_Load())
            return 1;
        window.show();
        window.list()->viewport()->repaint();
        registerOpen.push_back(ms(t));
        registerFirstKey.push_back(keystroke(window, QStringList{u"a"_s, u"7"_s, u"z"_s}[run % 3]));
        window.searchBox()->setText(QString());
        t.start();
        window.ListView1_ColumnClick(1 + run % 3);
        window.list()->viewport()->repaint();
        registerSort.push_back(ms(t));
        // A second column after the first: two keys.
        t.start();
        window.ListView1_ColumnClick(1 + (run + 1) % 3);
        window.list()->viewport()->repaint();
        registerSecondSort.push_back(ms(t));
        registerSortedKey.push_back(keystroke(window, u"skopje"_s));
        window.searchBox()->setText(QString());
        registerIdleRead.push_back(readWhileOpen(window.model()).first);
    }

    double registerReadAll = 0, registerHeld = 0, registerMapped = 0;
    std::vector<double> registerSearch;
    {
        dan_ref window(context);
        if (!window.Form_Load())
            return 1;
        window.show();
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        if (!window.model().readAll())
            return 1;
        registerReadAll = ms(t);
            for (const QString &typed : {u"a"_s, u"7"_s, u"skopje"_s}) {
            window.searchBox()->setText(QString());
            QApplication::processEvents();
            t.start();
            window.searchBox()->setText(typed);
            window.list()->viewport()->repaint();
            registerSearch.push_back(ms(t));
        }
        registerHeld = statusMb("VmRSS");
        registerMapped = statusMb("RssFile");
    }

    std::printf("orders %d\n", orderCount(store).value());
    std::printf("chooser_open_ms %.1f\n", median(open));
    std::printf("chooser_read_all_ms %.1f\n", readAll);
    std::printf("chooser_search_ms %.1f\n", median(search));
    std::printf("register_open_ms %.1f\n", median(registerOpen));
    std::printf("register_sort_ms %.1f\n", median(registerSort));
    std::printf("base_peak_mb %.1f\n", basePeak);
    std::printf("open_peak_mb %.1f\n", openPeak);
    std::printf("read_peak_mb %.1f\n", readPeak);
    std::printf("peak_mb %.1f\n", peak);
    std::printf("chooser_rss_mb %.1f\n", held);
    std::printf("chooser_rss_file_mb %.1f\n", mapped);
    std::printf("register_read_all_ms %.1f\n", registerReadAll);
    std::printf("register_search_ms %.1f\n", median(registerSearch));
    std::printf("register_peak_mb %.1f\n", peakMb());
    std::printf("register_base_mb %.1f\n", registerBase);
    std::printf("register_rss_mb %.1f\n", registerHeld);
    std::printf("register_rss_file_mb %.1f\n", registerMapped);
    std::printf("%s_read_ms %.1f\n", qPrintable(floorTool.program), median(floor));
    // Each beside its floor or limit: "<figure> <ms> <floor ms> <ratio>".
    // The figure's name says the floor's tool and the engine.
    const auto beside = [&](const char *name, const std::vector<double> &v, double than) {
        QString named = QString::fromLatin1(name).replace(u"sqlite3"_s, floorTool.program);
        if (onServer)
            named += u", server"_s;
        std::printf("ROW|%s|%.1f ms|%.1f ms|%.2f\n", qPrintable(named), median(v), than,
                    median(v) / than);
    };
    beside("chooser first keystroke (limit 300 ms)", firstKey, 300);
    beside("chooser lines read while open, wall (sqlite3 reading them)", idleRead,
           median(floorTurns));
    beside("chooser lines read while open, processor (sqlite3 reading them)", idleCpu,
           median(floorTurns));
    beside("register first keystroke (limit 300 ms)", registerFirstKey, 300);
    beside("register first sort (limit 300 ms)", registerSort, 300);
    beside("register second sort (limit 300 ms)", registerSecondSort, 300);
    beside("register keystroke after a sort (limit 300 ms)", registerSortedKey, 300);
    beside("register lines read while open after two sorts (sqlite3 reading them so)",
           registerIdleRead, median(registerFloor));
    return 0;
}
