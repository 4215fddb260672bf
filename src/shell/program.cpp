#include "shell/program.h"

#include "platform/printers.h"
#include "shell/headless_commands.h"
#include "version.h"

#include <QGuiApplication>
#include <QTextStream>

#include <optional>

namespace trelok {

Runs whereRuns(const CommandLine &commandLine)
{
    switch (commandLine.use) {
    case CommandLine::Use::Help:
    case CommandLine::Use::Version:
    case CommandLine::Use::Error:
        return Runs::WithoutApplication;
    case CommandLine::Use::Headless:
        return printsOnPaper(commandLine) ? Runs::WithWindows : Runs::FilesOnly;
    case CommandLine::Use::Window:
        break;
    }
    return Runs::WithWindows;
}

int runWithoutApplication(const CommandLine &commandLine)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    switch (commandLine.use) {
    case CommandLine::Use::Help:
    case CommandLine::Use::Version:
        out << commandLine.text;
        return 0;
    case CommandLine::Use::Error:
        err << commandLine.text << Qt::endl;
        return 2;
    case CommandLine::Use::Headless:
    case CommandLine::Use::Window:
        break;
    }
    return -1;
}

void chooseHeadlessPlatform()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("trelok"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRELOK_VERSION));
}

int runFilesOnly(int &argc, char **argv, const CommandLine &commandLine)
{
    // Only drawing pages needs the fonts and painting of a QGuiApplication;
    // the others start (and end) without them.
    std::optional<QCoreApplication> plain;
    std::optional<QGuiApplication> drawing;
    if (drawsPages(commandLine)) {
        chooseHeadlessPlatform();
        drawing.emplace(argc, argv);
    } else {
        plain.emplace(argc, argv);
    }
    nameApplication();
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Nothing is printed on paper here (whereRuns).
    ListedPrinters none;
    return runHeadless(commandLine, out, err, none);
}

} // namespace trelok
