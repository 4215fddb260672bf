#pragma once

#include "shell/command_line.h"

namespace trelok {

// Where a command line runs. Help, version and a refused command line need
// no application; a command that only reads and writes files (an export, a
// PDF) runs here without the windows' libraries; the windows and a command
// that prints on paper run in the program's windowed part
// (shell/window_module.h), loaded when one of them is asked for.
enum class Runs { WithoutApplication, FilesOnly, WithWindows };
Runs whereRuns(const CommandLine &commandLine);

// Help, version and refused command lines: text to standard output (status
// 0) or standard error (status 2). Needs no application and no display.
int runWithoutApplication(const CommandLine &commandLine);

// A command that opens no window needs no display: the offscreen platform
// unless one is chosen.
void chooseHeadlessPlatform();

// The program's name and version on the running application.
void nameApplication();

// A command that prints on no printer, run in this process. Returns the
// exit status.
int runFilesOnly(int &argc, char **argv, const CommandLine &commandLine);

} // namespace trelok
