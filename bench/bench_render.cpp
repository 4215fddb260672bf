// Time to render one order to an A4 PDF file: loading it from the database
// (configuration row, order, coordinates) and painting the page; also the
// overflow check a preview or print adds, and the calibration sheet to PDF.
// Usage: bench_render [runs]
#include "data/installer.h"
#include "data/statements.h"
#include "data/store.h"
#include "platform/fonts.h"
#include "print/calibration_sheet.h"
#include "print/overflow.h"
#include "print/pdf_output.h"
#include "print/print_job.h"

#include "table_row.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    QTemporaryDir dir;
    if (!trelok::installIfMissing(dir.path()).ok())
        return 1;
    trelok::registerApplicationFonts(dir.path());
    trelok::Store store;
    if (!store.open(trelok::databasePath(dir.path())).ok())
        return 1;
    QVariantList values;
    for (int i = 0; i < 28; ++i)
        values.append(u"Vrednost %1 Op{tina"_s.arg(i));
    values[0] = u"1/2026"_s;
    values[13] = u"1250000"_s;
    auto inserted = store.exec(trelok::sql::trel::insert, values);
    if (!inserted)
        return 1;
    const QString file = dir.filePath(u"order.pdf"_s);
    // Median, fastest and 90th percentile of runs calls; false when one failed.
    const auto timed = [runs](const char *what, const auto &call) {
        call(); // once first, so font loading is not counted
        std::vector<double> ms;
        ms.reserve(runs);
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer timer;
            timer.start();
            if (!call())
                return false;
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%s: median %.3f ms, min %.3f ms, p90 %.3f ms over %d runs\n", what,
                    ms[ms.size() / 2], ms.front(), ms[ms.size() * 9 / 10], runs);
        tableRow(what, ms[ms.size() / 2]);
        return true;
    };
    if (!timed("render one order to PDF",
               [&] { return trelok::writeOrderPdf(store, u"1/2026"_s, file).isEmpty(); }))
        return 1;
    const trelok::PrintJob job = trelok::loadPrintJob(store, u"1/2026"_s).value().job;
    if (!timed("overflow check of one order (26 fields)",
               [&] { return trelok::overflowingBoxes(job).size() >= 0; }))
        return 1;
    if (!timed("calibration sheet to PDF", [&] {
            return trelok::writeCalibrationPdf(store, dir.filePath(u"sheet.pdf"_s)).isEmpty();
        }))
        return 1;
    return 0;
}
