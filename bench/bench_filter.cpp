// Search boxes at the size of a whole country: N taxpayers in the register
// and N stored orders in the order chooser. Types into each window's search
// box one key at a time, as a clerk does (narrowing letters, a Cyrillic
// keyboard, Backspace back to the full list, Escape), and times each
// keystroke from the key to the list drawn again. Also times the checked copy
// of that database that the first start of a day makes.
// Usage: bench_filter [rows] [rounds]   (defaults 100000 and 3)
#include "context/app_context.h"
#include "data/backup.h"
#include "data/installer.h"
#include "data/statements.h"
#include "data/store.h"
#include "entry/izbor_trelok.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/printers.h"
#include "platform/recording_prompter.h"
#include "platform/row_filter.h"
#include "refdata/dan_ref.h"
#include "refdata/taxpayers.h"

#include "table_row.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QAbstractItemView>
#include <string>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

QString word(QRandomGenerator &random, int minLength, int maxLength)
{
    static const QString letters = u"abvgdeziklmnoprstufhc~{[]`ABVGDEZIKLMNOPRSTUFHC"_s;
    QString w;
    const int length = minLength + int(random.bounded(maxLength - minLength + 1));
    for (int i = 0; i < length; ++i)
        w.append(letters[int(random.bounded(letters.size()))]);
    return w;
}

bool fill(Store &store, int n)
{
    QRandomGenerator random(20261208);
    static const QStringList cities{u"Skopje"_s, u"Bitola"_s, u"Kumanovo"_s, u"Prilep"_s,
                                    u"Tetovo"_s, u"Veles"_s,  u"Ohrid"_s,    u"[tip"_s};
    QList<QVariantList> taxpayers, orders;
    for (int i = 0; i < n; ++i) {
        taxpayers.append({QString::number(4000000000000LL + qint64(i) * 7919),
                          word(random, 4, 14) + u' ' + word(random, 3, 12) + u" DOOEL"_s,
                          u"ul. "_s + word(random, 4, 14) + u", br. "_s +
                              QString::number(random.bounded(200) + 1),
                          cities[int(random.bounded(cities.size()))]});
        QVariantList order;
        for (int c = 0; c < 28; ++c)
            order.append(word(random, 3, 10));
        order[0] = u"%1/%2"_s.arg(i % 20000 + 1).arg(2020 + i / 20000);
        order[6] = u"108-2026-"_s + QString::number(random.bounded(1000));
        order[7] = u"Carina "_s + word(random, 4, 20);
        order[24] = u"%1.12.2026"_s.arg(random.bounded(28) + 1, 2, 10, QChar(u'0'));
        order[26] = u"108"_s;
        orders.append(order);
    }
    return store
        .transaction([&]() -> DbStatus {
            if (auto added = store.execEach(sql::obvr::insert, taxpayers); !added)
                return added;
            return store.execEach(sql::trel::insert, orders);
        })
        .ok();
}

struct Keys {
    std::vector<double> ms;
    double max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
    double median() const
    {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
};

// One key into the box, then everything the window does until the list is
// drawn again.
double press(QLineEdit *box, QAbstractItemView *list, int key, const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(box, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(box, &up);
    QCoreApplication::processEvents();
    list->viewport()->repaint();
    return timer.nsecsElapsed() / 1e6;
}

// A clerk's search: a few letters, Backspace to the full list, a Cyrillic
// keyboard's word, Escape.
Keys typeSearches(QLineEdit *box, QAbstractItemView *list, int rounds, int *shownAfterCarina)
{
    Keys keys;
    for (int r = 0; r < rounds; ++r) {
        for (QChar c : u"carina a"_s)
            keys.ms.push_back(press(box, list, Qt::Key_unknown, QString(c)));
        *shownAfterCarina = list->model()->rowCount();
        while (!box->text().isEmpty())
            keys.ms.push_back(press(box, list, Qt::Key_Backspace, {}));
        for (QChar c : u"скопје"_s)
            keys.ms.push_back(press(box, list, Qt::Key_unknown, QString(c)));
        keys.ms.push_back(press(box, list, Qt::Key_Escape, {}));
    }
    return keys;
}

void report(const char *window, const Keys &keys, int rows, int shown)
{
    std::printf("%-10s %d rows: %zu keystrokes, median %.1f ms, max %.1f ms (limit 50 ms, "
                "ratio %.2f); \"carina a\" shows %d lines\n",
                window, rows, keys.ms.size(), keys.median(), keys.max(), keys.max() / 50, shown);
    const std::string figure = std::string("search keystroke (max), ") + window;
    tableRow(figure.c_str(), keys.max(), "limit", 50.0);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    QTemporaryDir dir;
    if (!installIfMissing(dir.path()).ok())
        return 1;
    registerApplicationFonts(dir.path());
    Store store;
    if (!store.open(databasePath(dir.path())).ok() || !fill(store, n))
        return 1;
    RecordingPrompter prompter;
    ListedPrinters printers;
    FixedClock clock{QDate(2026, 12, 8)};
    AppContext context{store, prompter, printers, clock, dir.path(), {}, {}};
    context.endApplication = [](int) { std::exit(1); };

    // The extra work of opening the register: its texts folded once.
    const QList<Taxpayer> rows = loadTaxpayers(store).value();
    QElapsedTimer timer;
    timer.start();
    RowFilter folded;
    for (const Taxpayer &t : rows) {
        const QString cells[] = {t.code, t.name, t.address, t.city};
        folded.addRow(cells, 4);
    }
    std::printf("register %lld rows folded for searching once on opening: %.1f ms\n",
                qint64(rows.size()), timer.nsecsElapsed() / 1e6);

    timer.restart();
    if (!backupDatabase(store, dir.filePath(u"copy.db"_s)).ok())
        return 1;
    std::printf("checked copy of the database (%d taxpayers, %d orders, %.1f MB): %.1f ms\n", n, n,
                QFileInfo(dir.filePath(u"copy.db"_s)).size() / 1e6, timer.nsecsElapsed() / 1e6);

    int shown = 0;
    {
        dan_ref window(context);
        if (!window.Form_Load())
            return 1;
        window.show();
        window.ListView1_ColumnClick(1);
        QCoreApplication::processEvents();
        const Keys keys = typeSearches(window.searchBox(), window.list(), rounds, &shown);
        report("register", keys, window.list()->model()->rowCount(), shown);
    }
    {
        izbor_trelok window(context);
        window.Form_Load();
        window.show();
        QCoreApplication::processEvents();
        const Keys keys = typeSearches(window.searchBox(), window.list(), rounds, &shown);
        report("chooser", keys, window.list()->model()->rowCount(), shown);
    }
    return 0;
}
