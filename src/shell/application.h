#pragma once

#include "shell/command_line.h"

#include <QStringList>

namespace trelok {

// True when the use needs a QApplication: the windows, or a command that
// opens none (which then runs on the offscreen platform).
inline bool needsApplication(const CommandLine &commandLine)
{
    return commandLine.use == CommandLine::Use::Window ||
           commandLine.use == CommandLine::Use::Headless;
}

// Help, version and refused command lines: text to standard output (status
// 0) or standard error (status 2). Needs no application and no display.
int runWithoutApplication(const CommandLine &commandLine);

// The windows: installation, start-up, the main window. Returns the exit
// status.
int runWindows(const CommandLine &commandLine);

// Runs the program for any command line. Returns the process exit status.
int runApplication(const QStringList &arguments);

} // namespace trelok
