#include "shell/application.h"

#include "context/app_context.h"
#include "context/daily_backup.h"
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
#include "shell/program.h"

#include <QApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace trelok {

int runApplication(const QStringList &arguments)
{
    const CommandLine commandLine = parseCommandLine(arguments);
    if (whereRuns(commandLine) == Runs::WithoutApplication)
        return runWithoutApplication(commandLine);
    if (commandLine.use == CommandLine::Use::Headless) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        QtPrinterSystem printers;
        return runHeadless(commandLine, out, err, printers);
    }
    return runWindows(commandLine);
}

namespace {

// For measuring a start (bench/bench_tables): every message to standard
// error, answered with its first button.
class ErrorStreamPrompter : public Prompter {
public:
    Answer ask(const QString &text, Buttons buttons) override
    {
        std::fprintf(stderr, "trelok: %s\n", qPrintable(text));
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
};

// With TRELOK_EXIT_WHEN_SHOWN set, the program ends as soon as the main
// window is shown (set to "backup": once the day's copy is done), its
// messages written to standard error instead.
bool exitWhenShown()
{
    static const bool set = qEnvironmentVariableIsSet("TRELOK_EXIT_WHEN_SHOWN");
    if (set) {
        static ErrorStreamPrompter toErrorStream;
        MessageBoxPrompter::redirect(&toErrorStream);
    }
    return set;
}

} // namespace

int runWindows(const CommandLine &commandLine)
{
    const bool measured = exitWhenShown();
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
    // A database another program holds, or a server out of reach, is said
    // as every window says it, and tried again while the user wants.
    for (;;) {
        auto opened =
            openApplicationDatabase(store, appDir, chosenDatabase(commandLine.value("db"), appDir));
        if (opened)
            break;
        if (!opened.busy())
            return report(opened.error());
        if (prompter.ask(heldMessage(opened.error()) + u"\nDa probam povtorno ?"_s,
                         Buttons::YesNo) != Answer::Yes)
            return 1;
    }

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
    if (measured && qEnvironmentVariable("TRELOK_EXIT_WHEN_SHOWN") == u"backup"_s)
        QObject::connect(&form.dailyBackup(), &DailyBackupRun::finished, &form,
                         [] { QCoreApplication::exit(0); });
    else if (measured)
        QTimer::singleShot(0, &form, [] { QCoreApplication::exit(0); });
    const int status = QApplication::exec();
    return ending ? exitCode : status;
}

} // namespace trelok
