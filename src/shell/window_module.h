#pragma once

// The program's windowed part: the windows and printing on paper, with the
// widget and print-support libraries they need. It is a module of its own,
// loaded only when a command line asks for it (shell/program.h), so a
// command that writes a file starts without those libraries.

namespace trelok {

// The module's entry: runs the program for the command line of argv in a
// QApplication and returns the exit status.
using WindowsMain = int (*)(int &argc, char **argv);
inline constexpr char windowsMainSymbol[] = "trelok_windows_main";

// Loads the module beside the program and runs its entry; a module that
// cannot be loaded is told on standard error (status 1).
int runWithWindows(int &argc, char **argv);

} // namespace trelok
