#pragma once

#include "shell/command_line.h"

#include <QStringList>

namespace trelok {

// The windows: installation, start-up, the main window. Returns the exit
// status.
int runWindows(const CommandLine &commandLine);

// Runs the program for any command line in the running QApplication, a
// command that opens no window with the system's printers. Returns the
// process exit status.
int runApplication(const QStringList &arguments);

} // namespace trelok
