#include "print/pdf_output.h"

#include "print/print_engine.h"
#include "print/print_job.h"

#include <QPainter>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

namespace trelok {

QString writeOrderPdf(Store &store, const QString &number, const QString &file)
{
    auto loaded = loadPrintJob(store, number);
    if (!loaded)
        return loaded.error();
    if (const QString reason = unprintableReason(loaded.value()); !reason.isEmpty())
        return reason;
    QPdfWriter writer(file);
    writer.setResolution(1200);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(u"Trelok "_s + number);
    writer.setCreator(u"trelok"_s);
    QPainter painter;
    if (!painter.begin(&writer))
        return u"Datotekata %1 ne moze da se zapise"_s.arg(file);
    useTwips(painter);
    paintJob(painter, loaded.value().job);
    if (!painter.end())
        return u"Datotekata %1 ne moze da se zapise"_s.arg(file);
    return {};
}

} // namespace trelok
