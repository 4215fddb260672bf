#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace trelok {

struct HeadlessCommand;

// One option of the command line; valueName is null for a flag.
struct OptionEntry {
    const char *name;
    const char *valueName;
    const char *description;
};

// The command line, parsed and checked before anything else runs, so that
// whether a window (and so a display) is needed is known from the start.
struct CommandLine {
    enum class Use {
        Window,   // the main window
        Headless, // one command of headlessCommands(), no window
        Help,     // text to standard output, status 0
        Version,  // text to standard output, status 0
        Error     // text to standard error, status 2
    };
    Use use = Use::Window;
    QString text; // help, version or error text
    const HeadlessCommand *command = nullptr;
    QMap<QString, QString> options; // the options given, by name; a flag maps to ""
    QString secondValue; // the command's second value (TO of --list FROM TO)

    bool isSet(const char *name) const { return options.contains(QString::fromLatin1(name)); }
    QString value(const char *name) const { return options.value(QString::fromLatin1(name)); }
};

// Parses the arguments (the first one is the program). Refused, with a
// message in Use::Error: unknown options, extra arguments, an option
// without its value or with an empty one, an option given twice, an option
// of a command without that command, and two commands at once.
CommandLine parseCommandLine(const QStringList &arguments);

} // namespace trelok
