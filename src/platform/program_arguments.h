#pragma once

#include <QStringList>

namespace trelok {

// The program's command line as the user typed it. On Windows it is read
// from the system's own wide text, so file names in any letters (Cyrillic,
// say) arrive whole; argv there holds only what the ANSI code page can say.
QStringList programArguments(int argc, char **argv);

// A windowed program started from a console (cmd.exe, PowerShell) writes
// its standard output and error there, where nothing else receives them.
// Does nothing elsewhere, or where the streams already lead somewhere.
void useStartingConsole();

} // namespace trelok
