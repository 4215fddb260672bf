#include "shell/application.h"

#include "context/app_context.h"
#include "context/startup.h"
#include "data/installer.h"
#include "data/store.h"
#include "entry/order_transfer.h"
#include "platform/app_config.h"
#include "platform/app_dir.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/qt_printers.h"
#include "shell/form1.h"
#include "shell/headless_commands.h"

#include <QApplication>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace trelok {

int runWithoutApplication(const CommandLine &commandLine)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    switch (commandLine.use) {
    case CommandLine::Use::Help:
    case CommandLine::Use::Version:
        out << commandLine.text;
        return 0;
    case CommandLine::Use::Error:
        err << commandLine.text << Qt::endl;
        return 2;
    case CommandLine::Use::Headless:
    case CommandLine::Use::Window:
        break;
    }
    return -1;
}

int runApplication(const QStringList &arguments)
{
    const CommandLine commandLine = parseCommandLine(arguments);
    if (!needsApplication(commandLine))
        return runWithoutApplication(commandLine);
    if (commandLine.use == CommandLine::Use::Headless) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return runHeadless(commandLine, out, err);
    }
    return runWindows(commandLine);
}

int runWindows(const CommandLine &commandLine)
{
    Prompter &prompter = messageBoxes();
    const auto report = [&](const QString &error) {
        prompter.inform(error);
        return 1;
    };
    const QString appDir = applicationDirectory(commandLine.value("dir"));
    if (const QString problem = databaseChoiceProblem(commandLine.value("db"), appDir);
        !problem.isEmpty())
        return report(problem);
    Store store;
    if (auto opened =
            openApplicationDatabase(store, appDir, chosenDatabase(commandLine.value("db"), appDir));
        !opened)
        return report(opened.error());

    QtPrinterSystem printers;
    SystemClock clock;
    AppContext context{store, prompter, printers, clock, appDir, {}, {}};
    bool ending = false;
    int exitCode = 0;
    context.endApplication = [&ending, &exitCode](int code) {
        if (ending)
            return;
        ending = true;
        exitCode = code;
        for (QWidget *window : QApplication::topLevelWidgets())
            window->hide();
        QCoreApplication::exit(code);
    };

    StartupContext startup{store, prompter, printers, context.state, QLocale::system(), appDir};
    const StartupOutcome outcome = runStartup(startup);
    if (!outcome.proceed)
        return outcome.exitCode;

    Form1 form(context);
    form.setPrinterLabel(outcome.label1);
    form.show();
    const int status = QApplication::exec();
    return ending ? exitCode : status;
}

} // namespace trelok
