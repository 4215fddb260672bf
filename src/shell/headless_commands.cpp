#include "shell/headless_commands.h"

#include "data/backup.h"
#include "data/installer.h"
#include "data/store.h"
#include "entry/order_transfer.h"
#include "platform/app_dir.h"
#include "platform/clock.h"
#include "platform/qt_printers.h"
#include "refdata/taxpayer_import.h"
#include "shell/command_line_print.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

int print(HeadlessRun &run)
{
    QtPrinterSystem printers;
    return printFromCommandLine(run.store, printers, run.appDir, run.options.value("print"),
                                run.options.value("pdf"), run.err);
}

int calibrationSheet(HeadlessRun &run)
{
    QtPrinterSystem printers;
    return calibrationSheetFromCommandLine(run.store, printers, run.options.value("pdf"), run.err);
}

int importOrderFile(HeadlessRun &run)
{
    SystemClock clock;
    OrderImportOptions options;
    options.acceptUnknown = run.options.isSet("accept-unknown");
    options.makscii = run.options.isSet("makscii");
    return importOrders(run.store, clock, run.options.value("import"), options, run.out, run.err);
}

int exportOrderFile(HeadlessRun &run)
{
    return exportOrders(run.store, run.options.value("export"), run.err);
}

int backUp(HeadlessRun &run)
{
    return backupFromCommandLine(run.store, run.options.value("backup"), run.out, run.err);
}

int importTaxpayerFile(HeadlessRun &run)
{
    return importTaxpayers(run.store, run.options.value("import-taxpayers"), run.out, run.err,
                           run.options.isSet("makscii"));
}

} // namespace

const QList<HeadlessCommand> &headlessCommands()
{
    static const OptionEntry makscii{
        "makscii", nullptr,
        "With an import: store Macedonian Cyrillic letters as the Latin letters the form font "
        "shows."};
    static const OptionEntry pdf{
        "pdf", "FILE",
        "With --print or --calibration-sheet: write the page to the A4 PDF file FILE instead."};
    static const QList<HeadlessCommand> commands{
        {{"print", "NUMBER",
          "Print the order NUMBER on the application's printer, without windows."},
         {pdf},
         print},
        {{"calibration-sheet", nullptr,
          "Print the calibration sheet (a cross at every field) on the application's printer."},
         {pdf},
         calibrationSheet},
        {{"import", "FILE", "Store the payment orders of the UTF-8 CSV file FILE as new orders."},
         {{"accept-unknown", nullptr,
           "With --import: accept taxpayer numbers and municipalities not in their tables."},
          makscii},
         importOrderFile},
        {{"export", "FILE", "Write every stored payment order to the UTF-8 CSV file FILE."},
         {},
         exportOrderFile},
        {{"import-taxpayers", "FILE",
          "Read the taxpayer register from the UTF-8 CSV file FILE, without windows."},
         {makscii},
         importTaxpayerFile},
        {{"backup", "FILE", "Copy the database into FILE, checked, while it is in use."},
         {},
         backUp},
    };
    return commands;
}

int runHeadless(const CommandLine &commandLine, QTextStream &out, QTextStream &err)
{
    const auto fail = [&err](const QString &message) {
        err << "trelok: " << message << Qt::endl;
        return 1;
    };
    if (!commandLine.command)
        return fail(u"Nema naredba za izvrsuvanje"_s);
    const QString appDir = applicationDirectory(commandLine.value("dir"));
    auto installed = installIfMissing(appDir);
    if (!installed)
        return fail(installed.error());
    Store store;
    if (auto opened = store.open(databasePath(appDir)); !opened)
        return fail(opened.error());
    HeadlessRun run{store, commandLine, appDir, out, err};
    return commandLine.command->run(run);
}

} // namespace trelok
