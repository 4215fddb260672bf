// Where the windows are part of the program itself (Windows), they are
// entered directly.
#include "shell/window_module.h"

extern "C" int trelok_windows_main(int &argc, char **argv);

namespace trelok {

int runWithWindows(int &argc, char **argv)
{
    return trelok_windows_main(argc, argv);
}

} // namespace trelok
