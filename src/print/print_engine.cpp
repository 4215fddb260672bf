#include "print/print_engine.h"

#include "context/app_context.h"
#include "context/messages.h"
#include "platform/printers.h"
#include "platform/prompter.h"
#include "print/print_job.h"

using namespace Qt::StringLiterals;

namespace trelok {

void PrintSurfaces::showPreviewPages(const QList<PrintJob> &jobs)
{
    if (!jobs.isEmpty())
        showPreview(jobs.first());
}

void PrintSurfaces::printPages(const QList<PrintJob> &jobs)
{
    for (const PrintJob &job : jobs)
        printPage(job);
}

QString noPrinterMessage()
{
    return u"Nepozete Da pecatite Trelok bidejki nemate izbrano Pecatar za Aplikacijata, Odete "
           "na menito Servis/Podesuvanje na pecatar !"_s;
}

QString orderMissingMessage(const QString &number)
{
    return u"Trelokot broj: "_s + number + u" Ne postoi !"_s;
}

QString noCoordinatesMessage()
{
    return u"Tabelata tbl_koor nema nitu eden red, Trelokot ne moze da se pecati !"_s;
}

QString skippedBoxesMessage(const QStringList &boxes)
{
    QStringList shown;
    for (const QString &box : boxes)
        shown.append(box.isEmpty() ? u"(prazno)"_s : u"'"_s + box + u"'"_s);
    return u"Ne se pecatat polinjata od tbl_koor koi ne se koloni na tbl_Trel: "_s +
           shown.join(u", "_s);
}

QString unprintableReason(const LoadedJob &loaded)
{
    switch (loaded.status) {
    case JobStatus::ConfigMissing:
        return QString::fromLatin1(msg::configMissing);
    case JobStatus::OrderMissing:
        return orderMissingMessage(loaded.job.number);
    case JobStatus::NoCoordinates:
        return noCoordinatesMessage();
    case JobStatus::Ready:
        break;
    }
    return {};
}

void tre_pct(AppContext &context, PrintSurfaces &surfaces, const QString &l_tre_br,
             PrintMode ek_pr)
{
    SharedState &state = context.state;
    if (state.def_prn.isEmpty()) {
        context.prompter.inform(noPrinterMessage());
        return;
    }
    // The application's printer is applied again before every print.
    if (!SelectPrinter(context.printers, state.def_prn)) {
        context.prompter.inform(msg::printerMissing(state.def_prn));
        state.def_prn.clear();
    }
    state.pub_tre_br = l_tre_br;
    state.pub_ek_pr = printModeLetter(ek_pr);

    auto loaded = loadPrintJob(context.store, l_tre_br);
    if (!loaded) {
        context.fail(loaded);
        return;
    }
    if (loaded.value().status == JobStatus::ConfigMissing) {
        context.fail(QString::fromLatin1(msg::configMissing));
        return;
    }
    const PrintJob &job = loaded.value().job;
    state.desno = job.desno;
    state.dole = job.dole;
    if (loaded.value().status == JobStatus::OrderMissing) {
        context.prompter.inform(orderMissingMessage(l_tre_br));
        return;
    }
    if (loaded.value().status == JobStatus::NoCoordinates) {
        context.prompter.inform(noCoordinatesMessage());
        return;
    }
    surfaces.showPreview(job);
    if (ek_pr == PrintMode::Print)
        surfaces.printPage(job);
}

} // namespace trelok

namespace trelok {

DbStatus tre_pct_batch(BatchPrint needs, PrintSurfaces &surfaces, const QStringList &numbers,
                       PrintMode ek_pr)
{
    if (needs.def_prn.isEmpty()) {
        needs.prompter.inform(noPrinterMessage());
        return succeeded();
    }
    if (!SelectPrinter(needs.printers, needs.def_prn)) {
        needs.prompter.inform(msg::printerMissing(needs.def_prn));
        needs.def_prn.clear();
    }
    auto loaded = loadPrintJobs(needs.store, numbers);
    if (!loaded)
        return DbStatus::failure(loaded);
    QList<PrintJob> jobs;
    jobs.reserve(loaded.value().size());
    for (const LoadedJob &one : loaded.value()) {
        if (one.status == JobStatus::ConfigMissing)
            return DbStatus::failure(QString::fromLatin1(msg::configMissing));
        if (const QString reason = unprintableReason(one); !reason.isEmpty()) {
            needs.prompter.inform(reason);
            return succeeded();
        }
        jobs.append(one.job);
    }
    if (jobs.isEmpty())
        return succeeded();
    surfaces.showPreviewPages(jobs);
    if (ek_pr == PrintMode::Print)
        surfaces.printPages(jobs);
    return succeeded();
}

} // namespace trelok
