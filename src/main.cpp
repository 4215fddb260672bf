#include "shell/application.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    const bool platformChosen = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    const bool display = qEnvironmentVariableIsSet("DISPLAY")
                      || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (!platformChosen && !display) {
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
