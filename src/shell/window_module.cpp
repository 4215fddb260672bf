#include "shell/window_module.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace trelok {

int runWithWindows(int &argc, char **argv)
{
    // Where the module lies relative to the program, the same in the build
    // tree as when installed.
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    const std::filesystem::path module =
        (program.parent_path() / TRELOK_WINDOWS_MODULE).lexically_normal();
    void *handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto entry =
        handle ? reinterpret_cast<WindowsMain>(dlsym(handle, windowsMainSymbol)) : nullptr;
    if (!entry) {
        const char *why = dlerror();
        std::fprintf(stderr, "trelok: Prozorcite na programata ne mozat da se vcitaat od %s: %s\n",
                     module.c_str(), why ? why : "");
        return 1;
    }
    // The module stays loaded to the end: objects it made live until exit.
    return entry(argc, argv);
}

} // namespace trelok
