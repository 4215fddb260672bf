#include "shell/headless_commands.h"

#include "data/backup.h"
#include "data/installer.h"
#include "data/migration.h"
#include "data/server_copy.h"
#include "data/store.h"
#include "entry/order_export.h"
#include "entry/order_transfer.h"
#include "platform/app_config.h"
#include "platform/app_dir.h"
#include "platform/clock.h"
#include "refdata/taxpayer_import.h"
#include "shell/command_line_list.h"
#include "shell/command_line_print.h"
#include "shell/table_commands.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

int print(HeadlessRun &run)
{
    return printFromCommandLine(run.store, run.printers, run.appDir, run.options.value("print"),
                                run.options.value("pdf"), run.err);
}

int calibrationSheet(HeadlessRun &run)
{
    return calibrationSheetFromCommandLine(run.store, run.printers, run.options.value("pdf"), run.err);
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

int copyTo(HeadlessRun &run)
{
    const QString url = run.options.value("copy-to");
    auto copied = copyToServer(run.store, url);
    if (!copied) {
        run.err << "trelok: Podatocite ne se kopirani na serverot: " << copied.error() << "\n";
        run.err.flush();
        return 1;
    }
    if (const QString error = storeConfiguredDatabase(run.appDir, url); !error.isEmpty()) {
        run.err << "trelok: Podatocite se kopirani, no trelok.conf vo " << run.appDir
                << " ne moze da se zapise: " << error << "\n";
        run.err.flush();
        return 1;
    }
    run.out << "Kopirani se " << copied.value() << " redovi na serverot; trelok.conf go koristi "
            << url << "\n";
    run.out.flush();
    return 0;
}

int migrateFrom(HeadlessRun &run)
{
    return migrateFromCommandLine(run.store, run.options.value("migrate-from"), run.out, run.err);
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
        "With --print, --calibration-sheet or --list: write the page(s) to the A4 PDF file FILE "
        "instead (several orders: one page each, in one file)."};
    static const QList<HeadlessCommand> commands{
        {{"print", "NUMBER",
          "Print the order NUMBER on the application's printer, without windows. A list "
          "and ranges of one year (3/2026,7/2026 or 1/2026..40/2026) print as one job, one "
          "page per order; an order of it that does not exist refuses the whole command."},
         {pdf},
         print,
         nullptr,
         "pdf",
         true},
        {{"calibration-sheet", nullptr,
          "Print the calibration sheet (a cross at every field) on the application's printer."},
         {pdf},
         calibrationSheet,
         nullptr,
         "pdf",
         true},
        {{"list", "FROM TO",
          "List the orders paid from FROM to TO (dates DD.MM.YYYY, both included) with their "
          "totals per kind and in all, into --pdf FILE or --csv FILE."},
         {{"kind", "K", "With --list: only the orders of the payment kind K."},
          pdf,
          {"csv", "FILE", "With --list: write the list to the UTF-8 CSV file FILE."}},
         periodListFromCommandLine,
         "TO",
         "pdf"},
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
        {{"export-layout", "FILE",
          "Write the print layout (where each field goes) to the CSV file FILE."},
         {},
         exportLayoutCommand},
        {{"import-layout", "FILE",
          "Replace the print layout by the CSV file FILE (header box,z_x,z_y,z_len)."},
         {},
         importLayoutCommand},
        {{"import-municipalities", "FILE",
          "Replace the municipalities by the CSV file FILE (header sifra,opstina)."},
         {makscii},
         importMunicipalitiesCommand},
        {{"export-municipalities", "FILE", "Write the municipalities to the CSV file FILE."},
         {},
         exportMunicipalitiesCommand},
        {{"import-offices", "FILE",
          "Replace the customs offices by the CSV file FILE (header key_cuo,cuo_desc)."},
         {makscii},
         importOfficesCommand},
        {{"export-offices", "FILE", "Write the customs offices to the CSV file FILE."},
         {},
         exportOfficesCommand},
        {{"import-kinds", "FILE",
          "Replace the payment kinds by the CSV file FILE (header vid,opis)."},
         {makscii},
         importKindsCommand},
        {{"export-kinds", "FILE", "Write the payment kinds to the CSV file FILE."},
         {},
         exportKindsCommand},
        {{"copy-to", "URL",
          "Copy this directory's orders, counter, company data, reference tables and register "
          "into the empty server database URL, then use it."},
         {},
         copyTo},
        {{"migrate-from", "SOURCE",
          "Fill this new installation from the Access file SOURCE (trelok.mdb, read with "
          "mdb-export) or a folder of its tables as CSV files, order numbers kept."},
         {},
         migrateFrom},
    };
    return commands;
}

bool printsOnPaper(const CommandLine &commandLine)
{
    const HeadlessCommand *command = commandLine.command;
    return command && command->onPaperOtherwise &&
           commandLine.value(command->pagesInto).isEmpty();
}

bool drawsPages(const CommandLine &commandLine)
{
    const HeadlessCommand *command = commandLine.command;
    return command && command->pagesInto &&
           (command->onPaperOtherwise || !commandLine.value(command->pagesInto).isEmpty());
}

int runHeadless(const CommandLine &commandLine, QTextStream &out, QTextStream &err,
                PrinterSystem &printers)
{
    const auto fail = [&err](const QString &message) {
        err << "trelok: " << message << Qt::endl;
        return 1;
    };
    if (!commandLine.command)
        return fail(u"Nema naredba za izvrsuvanje"_s);
    const QString appDir = applicationDirectory(commandLine.value("dir"));
    Store store;
    // --copy-to reads the directory's own file, whatever the workstation
    // is set to use.
    const QString url = commandLine.command->run == copyTo
                            ? QString()
                            : chosenDatabase(commandLine.value("db"), appDir);
    if (commandLine.command->run != copyTo)
        if (const QString problem = databaseChoiceProblem(commandLine.value("db"), appDir);
            !problem.isEmpty())
            return fail(problem);
    if (auto opened = openApplicationDatabase(store, appDir, url); !opened)
        return fail(opened.error());
    HeadlessRun run{store, commandLine, appDir, out, err, printers};
    return commandLine.command->run(run);
}

} // namespace trelok
