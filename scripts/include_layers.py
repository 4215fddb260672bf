#!/usr/bin/env python3
"""Lists the includes of src/ that do not point down the layers.

The layers, top to bottom: shell (shell/, main.cpp), windows (the sources of
trelok_ui outside shell/ and platform/), rules (the rest of context/, entry/,
print/, refdata/), data (data/), platform (platform/). A file may include its
own folder, any lower layer, and platform/. An include of a higher layer is
"up"; one of another folder of the same layer is "sideways".

Usage: scripts/include_layers.py [SRC_DIR]   (default: src beside this script)
Prints one line per include and exits 1 when there is any.
"""
import pathlib
import re
import sys

ORDER = ["platform", "data", "rules", "windows", "shell"]


def window_sources(src):
    text = (src / "CMakeLists.txt").read_text()
    block = re.search(r"add_library\(trelok_ui STATIC(.*?)\)", text, re.S).group(1)
    return {pathlib.Path(line.strip()).with_suffix("").as_posix() for line in block.split()}


def layer(path, windows):
    folder = path.parts[0] if len(path.parts) > 1 else ""
    if folder in ("shell", "") :
        return "shell"
    if folder in ("platform", "data"):
        return folder
    return "windows" if path.with_suffix("").as_posix() in windows else "rules"


def main():
    src = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent / "src"
    windows = window_sources(src)
    found = []
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".cpp", ".h"):
            continue
        path = file.relative_to(src)
        own = layer(path, windows)
        for number, line in enumerate(file.read_text().splitlines(), 1):
            m = re.match(r'#include "([^"]+)"', line)
            if not m or not (src / m.group(1)).exists():
                continue
            target = pathlib.Path(m.group(1))
            if target.parts[0] == path.parts[0] or target.parts[0] == "platform":
                continue
            theirs = layer(target, windows)
            if ORDER.index(theirs) > ORDER.index(own):
                found.append(f"{path}:{number}: {own} includes {theirs} {target} (up)")
            elif theirs == own:
                found.append(f"{path}:{number}: {own} includes {target} (sideways)")
    print("\n".join(found))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
