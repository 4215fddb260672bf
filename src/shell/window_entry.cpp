// The entry of the program's windowed part (shell/window_module.h).

#include "shell/application.h"
#include "shell/program.h"
#include "shell/window_module.h"

#include <QApplication>

#include <cstdio>
#include <type_traits>

extern "C" __attribute__((visibility("default"))) int trelok_windows_main(int &argc, char **argv)
{
    using namespace trelok;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine = parseCommandLine(arguments);
    const bool platformChosen = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    const bool display =
        qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (commandLine.use == CommandLine::Use::Headless) {
        chooseHeadlessPlatform();
    } else if (!platformChosen && !display) {
        std::fputs("trelok: Nema graficki ekran (DISPLAY ne e postaven).\n"
                   "Startuvajte ja programata od graficka sesija, ili na virtuelen ekran:\n"
                   "  xvfb-run -a trelok\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    nameApplication();
    return runApplication(arguments);
}

namespace trelok {
// The entry's type is the one the loader calls.
static_assert(std::is_same_v<decltype(&trelok_windows_main), WindowsMain>);
} // namespace trelok
