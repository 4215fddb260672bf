#include "shell/headless_commands.h"

#include "data/installer.h"
#include "data/store.h"
#include "platform/app_dir.h"
#include "platform/qt_printers.h"
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

} // namespace

const QList<HeadlessCommand> &headlessCommands()
{
    static const QList<HeadlessCommand> commands{
        {{"print", "NUMBER",
          "Print the order NUMBER on the application's printer, without windows."},
         {{"pdf", "FILE", "With --print: write the page to the A4 PDF file FILE instead."}},
         print},
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
