// The entry of the program's windowed part (shell/window_module.h).

#include "platform/program_arguments.h"
#include "shell/application.h"
#include "shell/program.h"
#include "shell/window_module.h"

#include <QApplication>

#include <cstdio>
#include <type_traits>

namespace {

// Whether a window can be shown: a display, or a platform chosen.
bool windowsCanBeShown()
{
#ifdef Q_OS_WIN
    return true; // a Windows session always has its desktop
#else
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
#endif
}

} // namespace

extern "C" Q_DECL_EXPORT int trelok_windows_main(int &argc, char **argv)
{
    using namespace trelok;
    const QStringList arguments = programArguments(argc, argv);
    const CommandLine commandLine = parseCommandLine(arguments);
    if (commandLine.use == CommandLine::Use::Headless) {
        chooseHeadlessPlatform();
    } else if (!windowsCanBeShown()) {
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
