#include "platform/program_arguments.h"

#ifdef Q_OS_WIN
#include <cstdio>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace trelok {

QStringList programArguments(int argc, char **argv)
{
    QStringList arguments;
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    int count = 0;
    if (LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments.append(QString::fromWCharArray(wide[i]));
        LocalFree(wide);
    }
#else
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
#endif
    return arguments;
}

void useStartingConsole()
{
#ifdef Q_OS_WIN
    const auto leads = [](DWORD stream) {
        const HANDLE handle = GetStdHandle(stream);
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    };
    if (leads(STD_OUTPUT_HANDLE) || leads(STD_ERROR_HANDLE))
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
#endif
}

} // namespace trelok
