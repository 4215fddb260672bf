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

Trelok_pogled *PrintService::preview() const
{
    return static_cast<Trelok_pogled *>(m_preview.data());
}

void PrintService::showPreview(const PrintJob &job)
{
    Trelok_pogled *window = preview();
    if (!window) {
        window = new Trelok_pogled(
            m_context.state.def_prn,
            [this] { print(m_context.state.pub_tre_br, PrintMode::Print); },
            [this] { savePreviewPdf(); }, m_owner);
        m_preview = window;
    }
    window->showJob(job);
    window->show();
    window->raise();
    window->activateWindow();
    window->repaint();
}

void PrintService::printPage(const PrintJob &job)
{
    QString error = printOnPrinter(m_context.printers.current(), job);
    // Only a page that reached the printer goes into the archive.
    if (error.isEmpty())
        error = archivePrintedPage(m_context.appDir, job);
    if (!error.isEmpty())
        m_context.prompter.inform(error);
}

void PrintService::savePreviewPdf()
{
    Trelok_pogled *window = preview();
    if (!window)
        return;
    // The page as it is shown, not the order read again.
    const PrintJob job = window->job();
    const QString file = m_chooseFile(window, suggestedPdfName(job.number));
    if (file.isEmpty())
        return;
    const QString error = writeJobPdf(job, file, m_context.appDir);
    if (!error.isEmpty())
        m_context.prompter.inform(error);
}

} // namespace trelok
