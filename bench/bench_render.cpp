// Time to render one order to an A4 PDF file: loading it from the database
// (configuration row, order, coordinates) and painting the page.
// Usage: bench_render [runs]
#include "data/installer.h"
#include "data/statements.h"
#include "data/store.h"
#include "platform/fonts.h"
#include "print/pdf_output.h"

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
    // One run first, so font loading is not counted.
    trelok::writeOrderPdf(store, u"1/2026"_s, file);
    std::vector<double> ms;
    ms.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!trelok::writeOrderPdf(store, u"1/2026"_s, file).isEmpty())
            return 1;
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("render one order to PDF: median %.2f ms, min %.2f ms, p90 %.2f ms over %d runs\n",
                ms[ms.size() / 2], ms.front(), ms[ms.size() * 9 / 10], runs);
    tableRow("render one order to an A4 PDF", ms[ms.size() / 2]);
    return 0;
}
