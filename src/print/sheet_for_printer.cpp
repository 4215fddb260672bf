#include "print/sheet_for_printer.h"

#include "context/app_context.h"
#include "context/messages.h"
#include "platform/printers.h"
#include "platform/prompter.h"
#include "print/print_engine.h"

namespace trelok {

std::optional<LoadedSheet> loadSheetForPrinter(AppContext &context)
{
    const QString printer = context.state.def_prn;
    if (printer.isEmpty()) {
        context.prompter.inform(noPrinterMessage());
        return std::nullopt;
    }
    if (!SelectPrinter(context.printers, printer)) {
        context.prompter.inform(msg::printerMissing(printer));
        return std::nullopt;
    }
    auto loaded = loadCalibrationSheet(context.store);
    if (!loaded) {
        context.fail(loaded);
        return std::nullopt;
    }
    if (loaded.value().status == SheetStatus::ConfigMissing) {
        context.fail(QString::fromLatin1(msg::configMissing));
        return std::nullopt;
    }
    return loaded.value();
}

} // namespace trelok
