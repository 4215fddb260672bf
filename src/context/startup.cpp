#include "context/startup.h"

#include "context/messages.h"
#include "context/shared_state.h"
#include "data/counter.h"
#include "data/settings.h"
#include "platform/fonts.h"
#include "platform/printers.h"
#include "platform/prompter.h"
#include "platform/region.h"

using namespace Qt::StringLiterals;

namespace trelok {

bool region_set(Prompter &prompter, const QLocale &locale, const QString &poraka_, bool prikaz)
{
    Q_UNUSED(prikaz);
    if (decimalPointReadsBack(locale))
        return true;
    prompter.inform(poraka_);
    return false;
}

StartupOutcome runStartup(StartupContext &context)
{
    StartupOutcome outcome;
    SharedState &state = context.state;
    auto end = [&outcome](int code) {
        outcome.proceed = false;
        outcome.exitCode = code;
        return outcome;
    };

    state.m_base = u"a"_s;
    // Dates: the program writes its own dates as dd.MM.yyyy (formatDate); the
    // user's regional settings are left as they are.
    outcome.fontsRegistered = registerApplicationFonts(context.appDir);
    state.desno = 0;
    state.dole = 0;
    state.td = QString::fromLatin1(orderDocumentType);
    state.tek_isp.clear();
    state.tek_opst.clear();

    auto printer = readApplicationPrinter(context.store);
    if (!printer) {
        context.prompter.inform(printer.error());
        return end(1);
    }
    if (!printer.value()) {
        context.prompter.inform(QString::fromLatin1(msg::configMissing));
        return end(1);
    }
    state.def_prn = *printer.value();

    if (state.def_prn.isEmpty()) {
        outcome.label1.clear();
        context.prompter.inform(QString::fromLatin1(msg::choosePrinterInMenu));
    } else {
        outcome.label1 = state.def_prn;
        if (!SelectPrinter(context.printers, state.def_prn)) {
            context.prompter.inform(msg::printerMissing(state.def_prn));
            state.def_prn.clear();
        }
    }

    const QString poraka_ = QString::fromLatin1(msg::decimalSymbol);
    if (!region_set(context.prompter, context.locale, poraka_, true)) {
        context.prompter.inform(QString::fromLatin1(msg::cannotContinue) + QChar(13) + poraka_);
        return end(1);
    }
    return outcome;
}

} // namespace trelok
