#include "print/print_service.h"

#include "context/app_context.h"
#include "platform/printers.h"
#include "platform/prompter.h"
#include "print/printer_output.h"
#include "print/trelok_pogled.h"

using namespace Qt::StringLiterals;

namespace trelok {

PrintService::PrintService(AppContext &context, QWidget *owner) : m_context(context), m_owner(owner)
{}

void PrintService::print(const QString &number, const QString &mode)
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
            m_context.state.def_prn, [this] { print(m_context.state.pub_tre_br, u"P"_s); },
            m_owner);
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
    const QString error = printOnPrinter(m_context.printers.current(), job);
    if (!error.isEmpty())
        m_context.prompter.inform(error);
}

} // namespace trelok
