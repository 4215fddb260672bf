#include "shell/application.h"

#include "data/installer.h"
#include "data/store.h"
#include "platform/app_dir.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/qt_printers.h"
#include "shell/app_context.h"
#include "shell/form1.h"
#include "shell/startup.h"

#include <QApplication>
#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace trelok {

int runApplication(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Priprema i pecatenje na treloki za Carinska Uprava"_s);
    parser.addHelpOption();
    const QCommandLineOption dirOption(u"dir"_s, u"Application directory (database and fonts)."_s,
                                       u"DIR"_s);
    parser.addOption(dirOption);
    parser.process(arguments);

    Prompter &prompter = messageBoxes();
    const QString appDir = applicationDirectory(parser.value(dirOption));
    auto installed = installIfMissing(appDir);
    if (!installed) {
        prompter.inform(installed.error());
        return 1;
    }
    Store store;
    if (auto opened = store.open(databasePath(appDir)); !opened) {
        prompter.inform(opened.error());
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
    const int status = QApplication::exec();
    return ending ? exitCode : status;
}

} // namespace trelok
