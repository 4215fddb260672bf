#include "shell/command_line.h"

#include "shell/headless_commands.h"
#include "version.h"

#include <QCommandLineParser>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// Options that go with every use.
const QList<OptionEntry> &generalOptions()
{
    static const QList<OptionEntry> options{
        {"dir", "DIR", "Application directory (database and fonts)."},
        {"db", "URL",
         "Shared database on a PostgreSQL server, e.g. postgresql://clerk@dbhost:5432/trelok "
         "(else TRELOK_DB, else database= in trelok.conf, else the directory's file)."},
    };
    return options;
}

QCommandLineOption toOption(const OptionEntry &entry)
{
    QCommandLineOption option(QString::fromLatin1(entry.name),
                              QString::fromLatin1(entry.description));
    if (entry.valueName)
        option.setValueName(QString::fromLatin1(entry.valueName));
    return option;
}

CommandLine refused(const QString &text)
{
    CommandLine line;
    line.use = CommandLine::Use::Error;
    line.text = u"trelok: "_s + text;
    return line;
}

QString dashed(const char *name)
{
    return u"--"_s + QString::fromLatin1(name);
}

// The option that lacks its value: the last argument, given as an option
// that takes one.
QString optionWithoutValue(const QStringList &arguments, const QList<OptionEntry> &entries)
{
    const QString last = arguments.size() > 1 ? arguments.last() : QString();
    for (const OptionEntry &entry : entries)
        if (entry.valueName && last == dashed(entry.name))
            return last;
    return {};
}

// The argument right after the value of the option name (a second value,
// as TO of --list FROM TO), when the parser took it as a positional one.
QString secondValueOf(const QStringList &arguments, const char *name,
                      const QStringList &positional)
{
    const QString option = dashed(name);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const qsizetype at = arguments[i] == option                         ? i + 2
                             : arguments[i].startsWith(option + u'=') ? i + 1
                                                                           : -1;
        if (at > 0 && at < arguments.size() && positional.contains(arguments[at]))
            return arguments[at];
    }
    return {};
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QList<OptionEntry> entries = generalOptions();
    for (const HeadlessCommand &command : headlessCommands()) {
        entries.append(command.option);
        // A modifier that several commands share is one option.
        for (const OptionEntry &modifier : command.modifiers)
            if (std::none_of(entries.cbegin(), entries.cend(), [&](const OptionEntry &e) {
                    return qstrcmp(e.name, modifier.name) == 0;
                }))
                entries.append(modifier);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Priprema i pecatenje na treloki za Carinska Uprava"_s);
    // Qt's own options (-platform, -style, ...) are refused like any unknown
    // option, so there is no --help-all to list them.
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Displays help on commandline options."_s);
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    for (const OptionEntry &entry : entries)
        parser.addOption(toOption(entry));

    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().constFirst();
            return refused(
                u"Nepoznata opcija: %1%2"_s.arg(name.size() == 1 ? u"-"_s : u"--"_s, name));
        }
        if (const QString option = optionWithoutValue(arguments, entries); !option.isEmpty())
            return refused(u"Opcijata %1 bara vrednost"_s.arg(option));
        return refused(u"Pogresna komandna linija: "_s + parser.errorText());
    }
    CommandLine line;
    if (parser.isSet(help)) {
        line.use = CommandLine::Use::Help;
        line.text = parser.helpText().replace(u"<executable_name>"_s, u"trelok"_s);
        return line;
    }
    if (parser.isSet(version)) {
        line.use = CommandLine::Use::Version;
        line.text = QStringLiteral("trelok " TRELOK_VERSION "\n");
        return line;
    }
    QStringList positional = parser.positionalArguments();
    QString second;
    for (const HeadlessCommand &command : headlessCommands())
        if (command.secondValue && parser.isSet(QString::fromLatin1(command.option.name))) {
            second = secondValueOf(arguments, command.option.name, positional);
            if (second.isEmpty())
                return refused(u"Opcijata %1 bara dve vrednosti: %2"_s.arg(
                    dashed(command.option.name), QString::fromLatin1(command.option.valueName)));
            positional.removeOne(second);
        }
    if (!positional.isEmpty())
        return refused(u"Nepoznat argument: %1"_s.arg(positional.constFirst()));
    for (const OptionEntry &entry : entries) {
        const QString name = QString::fromLatin1(entry.name);
        if (!parser.isSet(name))
            continue;
        if (entry.valueName) {
            const QStringList values = parser.values(name);
            if (values.size() > 1)
                return refused(u"Opcijata %1 e dadena povekje pati"_s.arg(dashed(entry.name)));
            if (values.constFirst().trimmed().isEmpty())
                return refused(u"Opcijata %1 nema vrednost"_s.arg(dashed(entry.name)));
            line.options.insert(name, values.constFirst());
        } else {
            line.options.insert(name, QString());
        }
    }
    for (const HeadlessCommand &command : headlessCommands()) {
        if (line.isSet(command.option.name)) {
            if (line.command)
                return refused(u"Opciite %1 i %2 ne odat zaedno"_s.arg(
                    dashed(line.command->option.name), dashed(command.option.name)));
            line.command = &command;
        }
    }
    const auto takes = [](const HeadlessCommand *command, const char *name) {
        if (!command)
            return false;
        for (const OptionEntry &modifier : command->modifiers)
            if (qstrcmp(modifier.name, name) == 0)
                return true;
        return false;
    };
    for (const HeadlessCommand &command : headlessCommands())
        for (const OptionEntry &modifier : command.modifiers)
            if (line.isSet(modifier.name) && !takes(line.command, modifier.name)) {
                QStringList owners;
                for (const HeadlessCommand &owner : headlessCommands())
                    if (takes(&owner, modifier.name))
                        owners.append(dashed(owner.option.name));
                return refused(u"Opcijata %1 odi samo so %2"_s.arg(dashed(modifier.name),
                                                                   owners.join(u" ili "_s)));
            }
    line.secondValue = second;
    line.use = line.command ? CommandLine::Use::Headless : CommandLine::Use::Window;
    return line;
}

} // namespace trelok
