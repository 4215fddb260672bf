#include "shell/application.h"

#include "context/app_context.h"
#include "context/startup.h"
#include "data/installer.h"
#include "data/store.h"
#include "entry/order_transfer.h"
#include "platform/app_dir.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/qt_printers.h"
#include "refdata/taxpayer_import.h"
#include "shell/command_line_print.h"
#include "shell/form1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

#include <cstdio>

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
    const QCommandLineOption printOption(
        u"print"_s, u"Print the order NUMBER on the application's printer, without windows."_s,
        u"NUMBER"_s);
    const QCommandLineOption pdfOption(
        u"pdf"_s, u"With --print: write the page to the A4 PDF file FILE instead."_s, u"FILE"_s);
    const QCommandLineOption importOption(
        u"import-taxpayers"_s,
        u"Read the taxpayer register from the UTF-8 CSV file FILE, without windows."_s, u"FILE"_s);
    const QCommandLineOption importOrdersOption(
        u"import"_s, u"Store the payment orders of the UTF-8 CSV file FILE as new orders."_s,
        u"FILE"_s);
    const QCommandLineOption acceptUnknownOption(
        u"accept-unknown"_s,
        u"With --import: accept taxpayer numbers and municipalities not in their tables."_s);
    const QCommandLineOption exportOption(
        u"export"_s, u"Write every stored payment order to the UTF-8 CSV file FILE."_s, u"FILE"_s);
    parser.addOption(printOption);
    parser.addOption(pdfOption);
    parser.addOption(importOption);
    parser.addOption(importOrdersOption);
    parser.addOption(acceptUnknownOption);
    parser.addOption(exportOption);
    parser.process(arguments);
    if (parser.isSet(importOption) && parser.isSet(printOption)) {
        std::fputs("trelok: --import-taxpayers ne odi zaedno so --print\n", stderr);
        return 2;
    }
    const bool commandLine = parser.isSet(printOption) || parser.isSet(importOption) ||
                             parser.isSet(importOrdersOption) || parser.isSet(exportOption);
    if (parser.isSet(pdfOption) && !parser.isSet(printOption)) {
        std::fputs("trelok: --pdf goes with --print NUMBER\n", stderr);
        return 2;
    }

    Prompter &prompter = messageBoxes();
    const auto report = [&](const QString &error) {
        if (commandLine)
            std::fprintf(stderr, "trelok: %s\n", error.toLocal8Bit().constData());
        else
            prompter.inform(error);
        return 1;
    };
    const QString appDir = applicationDirectory(parser.value(dirOption));
    auto installed = installIfMissing(appDir);
    if (!installed)
        return report(installed.error());
    Store store;
    if (auto opened = store.open(databasePath(appDir)); !opened)
        return report(opened.error());

    if (parser.isSet(importOption)) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return importTaxpayers(store, parser.value(importOption), out, err);
    }
    if (parser.isSet(importOrdersOption)) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        SystemClock clock;
        OrderImportOptions options;
        options.acceptUnknown = parser.isSet(acceptUnknownOption);
        return importOrders(store, clock, parser.value(importOrdersOption), options, out, err);
    }
    if (parser.isSet(exportOption)) {
        QTextStream err(stderr);
        return exportOrders(store, parser.value(exportOption), err);
    }
    QtPrinterSystem printers;
    if (commandLine)
        return printFromCommandLine(store, printers, appDir, parser.value(printOption),
                                    parser.value(pdfOption));
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
