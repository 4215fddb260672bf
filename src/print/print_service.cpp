#include "print/print_service.h"

#include "context/app_context.h"
#include "platform/printers.h"
#include "platform/prompter.h"
#include "print/pdf_archive.h"
#include "print/pdf_output.h"
#include "print/printer_output.h"
#include "print/trelok_pogled.h"

#include <QDir>
#include <QFileDialog>

using namespace Qt::StringLiterals;

namespace trelok {

PrintService::PrintService(AppContext &context, QWidget *owner)
    : m_context(context), m_owner(owner),
      m_chooseFile([](QWidget *parent, const QString &suggested) {
          return QFileDialog::getSaveFileName(parent, u"Snimi go Trelokot kako PDF"_s,
                                              QDir::home().filePath(suggested), u"PDF (*.pdf)"_s);
      })
{}

void PrintService::print(const QString &number, PrintMode mode)
{
    tre_pct(m_context, *this, number, mode);
}

void PrintService::printSeveral(const QStringList &numbers, PrintMode mode)
{
    if (numbers.size() == 1) {
        print(numbers.first(), mode);
        return;
    }
    const DbStatus done = tre_pct_batch({m_context.store, m_context.printers, m_context.prompter,
                                         m_context.state.def_prn},
                                        *this, numbers, mode);
    if (!done)
        m_context.fail(done);
}

Trelok_pogled *PrintService::preview() const
{
    return static_cast<Trelok_pogled *>(m_preview.data());
}

Trelok_pogled *PrintService::openPreview()
{
    Trelok_pogled *window = preview();
    if (!window) {
        window = new Trelok_pogled(
            m_context.state.def_prn, [this] { printShown(); }, [this] { savePreviewPdf(); },
            m_owner);
        m_preview = window;
    }
    return window;
}

void PrintService::printShown()
{
    const Trelok_pogled *window = preview();
    if (window && window->jobs().size() > 1) {
        QStringList numbers;
        for (const PrintJob &job : window->jobs())
            numbers.append(job.number);
        printSeveral(numbers, PrintMode::Print);
        return;
    }
    print(m_context.state.pub_tre_br, PrintMode::Print);
}

namespace {
void bringForward(Trelok_pogled *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    window->repaint();
}
} // namespace

void PrintService::showPreview(const PrintJob &job)
{
    Trelok_pogled *window = openPreview();
    window->showJob(job);
    bringForward(window);
}

void PrintService::showPreviewPages(const QList<PrintJob> &jobs)
{
    Trelok_pogled *window = openPreview();
    window->showJobs(jobs);
    bringForward(window);
}

void PrintService::printPage(const PrintJob &job)
{
    QString error = printOnPrinter(m_context.printers, m_context.printers.current(), job);
    // Only a page that reached the printer goes into the archive.
    if (error.isEmpty())
        error = archivePrintedPage(m_context.appDir, job);
    if (!error.isEmpty())
        m_context.prompter.inform(error);
}

void PrintService::printPages(const QList<PrintJob> &jobs)
{
    if (const QString error = printOnPrinter(m_context.printers, m_context.printers.current(), jobs);
        !error.isEmpty()) {
        m_context.prompter.inform(error);
        return;
    }
    // Every printed page goes into the archive as a single one would; the
    // pages it could not keep are told together.
    QStringList errors;
    for (const PrintJob &job : jobs)
        if (const QString error = archivePrintedPage(m_context.appDir, job); !error.isEmpty())
            errors.append(error);
    if (!errors.isEmpty())
        m_context.prompter.inform(errors.join(u"\n"_s));
}

void PrintService::savePreviewPdf()
{
    Trelok_pogled *window = preview();
    if (!window)
        return;
    // The pages as they are shown, not the orders read again.
    const QList<PrintJob> jobs = window->jobs();
    if (jobs.isEmpty())
        return;
    const QString name = jobs.size() == 1
                             ? suggestedPdfName(jobs.first().number)
                             : suggestedPdfName(jobs.first().number + u"_"_s + jobs.last().number);
    const QString file = m_chooseFile(window, name);
    if (file.isEmpty())
        return;
    const QString error = writeJobsPdf(jobs, file, m_context.appDir);
    if (!error.isEmpty())
        m_context.prompter.inform(error);
}

} // namespace trelok
