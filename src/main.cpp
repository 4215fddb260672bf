#include "platform/program_arguments.h"
#include "shell/program.h"
#include "shell/window_module.h"

int main(int argc, char *argv[])
{
    trelok::useStartingConsole();
    const trelok::CommandLine commandLine =
        trelok::parseCommandLine(trelok::programArguments(argc, argv));
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
