#pragma once

#include "shell/command_line.h"

#include <QList>
#include <QString>

class QTextStream;

namespace trelok {

class PrinterSystem;
class Store;

// What a command that opens no window is given: the application's database,
// opened (installed first when missing), the parsed options, the two output
// streams, and the print system. Messages for the user go to err in the
// system's language.
struct HeadlessRun {
    Store &store;
    const CommandLine &options;
    QString appDir;
    QTextStream &out;
    QTextStream &err;
    PrinterSystem &printers;
};

// A command that opens no window: the option that selects it, the options
// that go only with it, and the function that runs it and returns the exit
// status (0 only on full success). Adding a command is one entry of
// headlessCommands().
struct HeadlessCommand {
    OptionEntry option;
    QList<OptionEntry> modifiers;
    int (*run)(HeadlessRun &run);
    // The name of a second value that follows the command's own (TO of
    // --list FROM TO), or null; the parser keeps it in secondValue.
    const char *secondValue = nullptr;
    // The option naming the PDF file the command draws its pages into, or
    // null when it draws none; and whether without that file the pages go
    // onto the application's printer.
    const char *pagesInto = nullptr;
    bool onPaperOtherwise = false;
};

// Every command that opens no window.
const QList<HeadlessCommand> &headlessCommands();

// Whether the chosen command prints on a printer: it needs the print
// system's printers (printers of runHeadless that print).
bool printsOnPaper(const CommandLine &commandLine);
// Whether it draws pages (into a PDF file or on paper): it needs the fonts
// and the painting of a QGuiApplication; the others need neither.
bool drawsPages(const CommandLine &commandLine);

// Installs when needed, opens the database and runs the chosen command.
int runHeadless(const CommandLine &commandLine, QTextStream &out, QTextStream &err,
                PrinterSystem &printers);

} // namespace trelok
