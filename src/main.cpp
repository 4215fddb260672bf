#include "shell/application.h"
#include "version.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const trelok::CommandLine commandLine = trelok::parseCommandLine(arguments);
    if (!trelok::needsApplication(commandLine))
        return trelok::runWithoutApplication(commandLine);

    const bool platformChosen = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    const bool display =
        qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (commandLine.use == trelok::CommandLine::Use::Headless) {
        // A command that opens no window needs no display.
        if (!platformChosen)
            qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (!platformChosen && !display) {
        std::fputs("trelok: Nema graficki ekran (DISPLAY ne e postaven).\n"
                   "Startuvajte ja programata od graficka sesija, ili na virtuelen ekran:\n"
                   "  xvfb-run -a trelok\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trelok"));
    QApplication::setApplicationVersion(QStringLiteral(TRELOK_VERSION));
    return trelok::runApplication(arguments);
}
