#include "shell/program.h"
#include "shell/window_module.h"

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const trelok::CommandLine commandLine = trelok::parseCommandLine(arguments);
    switch (trelok::whereRuns(commandLine)) {
    case trelok::Runs::WithoutApplication:
        return trelok::runWithoutApplication(commandLine);
    case trelok::Runs::FilesOnly:
        return trelok::runFilesOnly(argc, argv, commandLine);
    case trelok::Runs::WithWindows:
        break;
    }
    return trelok::runWithWindows(argc, argv);
}
