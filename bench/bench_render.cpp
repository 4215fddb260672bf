// Time to render one order to an A4 PDF file: loading it from the database
// (configuration row, order, coordinates) and painting the page; also the
// overflow check a preview or print adds, and the calibration sheet to PDF;
// then a batch of orders (1,000 by default) into one PDF, per order, beside
// the render of one order measured in the same run (goal: within 1.5x).
// Usage: bench_render [runs] [batch orders]
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
    double renderOneMs = 0;
    {
        const auto one = [&] { return trelok::writeOrderPdf(store, u"1/2026"_s, file).isEmpty(); };
        if (!timed("render one order to PDF", one))
            return 1;
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer timer;
            timer.start();
            one();
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        renderOneMs = ms[ms.size() / 2];
    }
    const trelok::PrintJob job = trelok::loadPrintJob(store, u"1/2026"_s).value().job;
    if (!timed("overflow check of one order (26 fields)",
               [&] { return trelok::overflowingBoxes(job).size() >= 0; }))
        return 1;
    if (!timed("calibration sheet to PDF", [&] {
            return trelok::writeCalibrationPdf(store, dir.filePath(u"sheet.pdf"_s)).isEmpty();
        }))
        return 1;
    // The batch: the orders read and checked, then one document written, as
    // --print FIRST..LAST --pdf does.
    const int batch = argc > 2 ? std::max(2, atoi(argv[2])) : 1000;
    QStringList numbers{u"1/2026"_s};
    for (int n = 2; n <= batch; ++n) {
        values[0] = u"%1/2026"_s.arg(n);
        if (!store.exec(trelok::sql::trel::insert, values))
            return 1;
        numbers.append(u"%1/2026"_s.arg(n));
    }
    const QString many = dir.filePath(u"batch.pdf"_s);
    std::vector<double> perOrder;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        auto loaded = trelok::loadPrintJobs(store, numbers);
        if (!loaded || loaded.value().size() != numbers.size())
            return 1;
        QList<trelok::PrintJob> jobs;
        for (const trelok::LoadedJob &one : loaded.value())
            jobs.append(one.job);
        if (!trelok::writeJobsPdf(jobs, many, dir.path()).isEmpty())
            return 1;
        perOrder.push_back(timer.nsecsElapsed() / 1e6 / batch);
    }
    std::sort(perOrder.begin(), perOrder.end());
    const double batchMs = perOrder[perOrder.size() / 2];
    std::printf("batch_pdf_per_order_ms %.3f render_one_ms %.3f %.2f\n", batchMs, renderOneMs,
                batchMs / renderOneMs);
    tableRow("batch into one PDF, per order", batchMs, "render of one order", renderOneMs);
    return 0;
}
