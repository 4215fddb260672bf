// Saving orders on a register of a whole office's history: with N taxpayers
// and N stored orders, measures in one run the full check and save of one
// order beside the floor of the same file (one bare INSERT committed in its
// own transaction), the opening of the order chooser beside the time the
// sqlite3 command-line tool reads the same rows, and importing orders from a
// file. SQLite keeps its full durability throughout (synchronous=FULL).
// Usage: bench_orders [rows] [saves] [imported]   (defaults 100000 50 10000)
#include "register_fill.h"
#include "table_row.h"

#include "context/app_context.h"
#include "data/counter.h"
#include "data/installer.h"
#include "data/orders.h"
#include "data/statements.h"
#include "data/store.h"
#include "entry/entry_dialog.h"
#include "entry/izbor_trelok.h"
#include "entry/order_transfer.h"
#include "entry/saving.h"
#include "entry/validation.h"
#include "platform/clock.h"
#include "platform/printers.h"
#include "platform/recording_prompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

struct Figures {
    double median, p90;
};

Figures figures(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 9 / 10)]};
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

class YesDialog : public EntryDialog {
public:
    Answer ask(EntryQuestion question, const QString &, Buttons) override
    {
        return question == EntryQuestion::PrintSaved ? Answer::No : Answer::Yes;
    }
    void inform(const QString &) override {}
    void focus(const QString &, EntryFields &) override {}
    void pickCustomsOffice(EntryFields &) override {}
};

EntryFields order(int i)
{
    EntryFields f;
    f.nal1 = u"Firma DOOEL"_s;
    f.d_nal = bench::taxNumber(i);
    f.c_nal1 = bench::taxNumber(i + 1);
    f.mkd1 = u"1500"_s;
    f.mkd2 = u"00"_s;
    f.us2 = u"004"_s;
    f.nac = u"1"_s;
    f.dat = u"08.12.2026"_s;
    f.valu = f.dat;
    f.p_nal1 = u"108"_s;
    f.p_nal2 = u"2026"_s;
    f.p_nal3 = u"1010"_s;
    f.p_nal4 = QString::number(i);
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int saves = argc > 2 ? std::atoi(argv[2]) : 50;
    const int imported = argc > 3 ? std::atoi(argv[3]) : 10000;

    QTemporaryDir dir;
    Store store;
    bench::openInstalled(dir.path(), store);
    bench::fillRegister(store, rows, rows);
    std::printf("register: %d taxpayers, %d orders, synchronous=FULL\n", rows, rows);

    // The floor and the full save, interleaved so both see the same disk.
    std::vector<double> floor;
    std::vector<double> save;
    QVariantList bare{QString()};
    for (int c = 1; c < 28; ++c)
        bare.append(u"x"_s);
    YesDialog dialog;
    for (int i = 0; i < saves; ++i) {
        bare[0] = u"floor-%1"_s.arg(i);
        QElapsedTimer t;
        t.start();
        auto inserted =
            store.transaction([&]() -> DbStatus { return store.exec(sql::trel::insert, bare); });
        floor.push_back(ms(t));
        if (!inserted)
            qFatal("floor: %s", qPrintable(inserted.error()));

        EntryFields f = order(i);
        t.start();
        auto checked = validateEntry(store, dialog, u"108"_s, u"2026"_s, f);
        composeReference(u"108"_s, f);
        auto saved = saveEntry(store, dialog, {EntryMode::New, u"108"_s, {}}, u"TRELOK"_s, u"2026"_s, f);
        save.push_back(ms(t));
        if (!checked || !checked.value().passed || !saved || !saved.value().stored)
            qFatal("save failed");
    }
    const Figures fl = figures(floor);
    const Figures sv = figures(save);
    std::printf("floor, one INSERT committed      median %7.2f ms  p90 %7.2f ms\n", fl.median,
                fl.p90);
    tableRow("check and save one order", sv.median, "one bare INSERT committed", fl.median);
    tableRow("check and save one order, p90", sv.p90, "bare INSERT, p90", fl.p90);
    std::printf("check and save one order         median %7.2f ms  p90 %7.2f ms  (%.2fx floor)\n",
                sv.median, sv.p90, sv.median / fl.median);

    // The order chooser against the command-line tool, alternately.
    RecordingPrompter prompter;
    ListedPrinters printers;
    FixedClock clock(QDate(2026, 12, 8));
    AppContext context{store, prompter, printers, clock, dir.path(), {}, {}};
    std::vector<double> chooser;
    std::vector<double> tool;
    for (int run = 0; run < 5; ++run) {
        tool.push_back(
            bench::timedSqlite(store.path(), QString::fromLatin1(sql::trel::chooser), 60000));
        QElapsedTimer t;
        t.start();
        izbor_trelok window(context);
        window.Form_Load();
        window.show();
        QApplication::processEvents();
        chooser.push_back(ms(t));
    }
    const double ch = figures(chooser).median;
    const double sq = figures(tool).median;
    tableRow(qPrintable(QLocale(QLocale::English).toString(rows + 2 * saves)
                            .prepend(u"order chooser opens on "_s)
                            .append(u" orders"_s)),
             ch, "sqlite3 reads them", sq);
    std::printf("order chooser open, %d orders    median %7.1f ms  sqlite3 %7.1f ms  (%.2fx)\n",
                rows + 2 * saves, ch, sq, ch / sq);

    // Importing orders from a file.
    const QString file = dir.filePath(u"orders.csv"_s);
    {
        QFile csv(file);
        if (!csv.open(QIODevice::WriteOnly))
            qFatal("csv");
        QTextStream out(&csv);
        out << "VID,NALOG1,DAN_BR,CEL1,MKD_CEL,MKD_DEC,UP_SMET2,NACIN,DATUM,POVIK\r\n";
        for (int i = 0; i < imported; ++i)
            out << "108,Firma " << i << "," << bench::taxNumber(i) << "," << bench::taxNumber(i)
                << ",1500,00,004,2,08.12.2026,108-2026-1010-" << i << "\r\n";
    }
    QString output;
    QString errors;
    QTextStream out(&output);
    QTextStream err(&errors);
    QElapsedTimer t;
    t.start();
    const int status = importOrders(store, clock, file, {}, out, err);
    const double total = ms(t);
    if (status != 0)
        qFatal("import failed: %s %s", qPrintable(errors), qPrintable(output.right(300)));
    tableRow("import one order (of 10,000)", total / imported, "check and save in the window",
             sv.median);
    std::printf("import %d orders                 %7.0f ms  per order %.2f ms\n", imported, total,
                total / imported);
    return 0;
}
