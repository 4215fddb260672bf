#include "shell/application.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    const bool platformChosen = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    const bool display =
        qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    bool printOnly = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--print") == 0 || std::strncmp(argv[i], "--print=", 8) == 0 ||
            std::strcmp(argv[i], "--import-taxpayers") == 0 ||
            std::strncmp(argv[i], "--import-taxpayers=", 19) == 0 ||
            std::strcmp(argv[i], "--import") == 0 || std::strncmp(argv[i], "--import=", 9) == 0 ||
            std::strcmp(argv[i], "--export") == 0 || std::strncmp(argv[i], "--export=", 9) == 0)
            printOnly = true;
    // Printing and importing from the command line need no display.
    if (printOnly && !platformChosen && !display)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else if (!platformChosen && !display) {
        std::fputs("trelok: no graphical display is available (DISPLAY is not set).\n"
                   "Start it from a desktop session, or under a virtual display:\n"
                   "  xvfb-run -a trelok\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trelok"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));
    return trelok::runApplication(QApplication::arguments());
}
