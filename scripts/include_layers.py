#!/usr/bin/env python3
"""Lists the includes of src/ that point up the layers.

The layers, top to bottom: shell (shell/, main.cpp); windows (the sources of
trelok_ui outside shell/ and platform/); rules (the rest of entry/, print/,
refdata/); context (context/); data (data/); platform (platform/). Within
windows and within rules the folders are ordered too: print/ above entry/
(a page prints an order) above refdata/ (an order is made of reference
data). A file may include its own folder, anything below it, and platform/.

Usage: scripts/include_layers.py [SRC_DIR]   (default: src beside this script)
Prints every include that points up, marking those listed in KNOWN, and
every ring of files that include each other, marking those in KNOWN_RINGS;
exits 1 when one is not listed there.
"""
import pathlib
import re
import sys

LAYERS = ["platform", "data", "context", "rules", "windows", "shell"]
FOLDERS = ["refdata", "entry", "print"]

# Includes that point up and are known; none at present. An entry is a pair
# ("folder/file", "folder/included file").
KNOWN = set()


# Files (a .h with its .cpp) of one folder that include each other, known and
# to be untangled; any other ring of includes fails as well.
KNOWN_RINGS = {
    frozenset({"shell/command_line", "shell/command_line_list", "shell/headless_commands",
               "shell/table_commands"}),
    frozenset({"refdata/lista_isp", "refdata/picker_dialog"}),
}


def rings(includes):
    """The groups of files that reach each other through their includes."""
    reach = {}
    for start in includes:
        seen, todo = set(), [start]
        while todo:
            for target in includes.get(todo.pop(), ()):
                if target not in seen:
                    seen.add(target)
                    todo.append(target)
        reach[start] = seen
    groups = {frozenset({a} | {b for b in reach[a] if a in reach.get(b, ())})
              for a in includes if a in reach[a]}
    return sorted(groups, key=sorted)


def window_sources(src):
    text = (src / "CMakeLists.txt").read_text()
    block = re.search(r"add_library\(trelok_ui STATIC(.*?)\)", text, re.S).group(1)
    return {pathlib.Path(line).with_suffix("").as_posix() for line in block.split()}


def rank(path, windows):
    """(layer, folder) of a file: higher is further up."""
    folder = path.parts[0] if len(path.parts) > 1 else "shell"
    if folder in ("shell", "context", "data", "platform"):
        return (LAYERS.index(folder), 0)
    layer = "windows" if path.with_suffix("").as_posix() in windows else "rules"
    return (LAYERS.index(layer), FOLDERS.index(folder))


def main():
    here = pathlib.Path(__file__).resolve().parent
    src = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else here.parent / "src"
    windows = window_sources(src)
    unknown = 0
    includes = {}
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".cpp", ".h"):
            continue
        path = file.relative_to(src)
        for number, line in enumerate(file.read_text().splitlines(), 1):
            m = re.match(r'#include "([^"]+)"', line)
            if not m or not (src / m.group(1)).exists():
                continue
            target = pathlib.Path(m.group(1))
            if target.with_suffix("") != path.with_suffix(""):
                includes.setdefault(path.with_suffix("").as_posix(), set()).add(
                    target.with_suffix("").as_posix())
            if target.parts[0] == path.parts[0] or rank(target, windows) <= rank(path, windows):
                continue
            known = (path.as_posix(), target.as_posix()) in KNOWN
            unknown += not known
            print(f"{path}:{number}: includes {target}, which is above it"
                  + (" (known)" if known else ""))
    for ring in rings(includes):
        known = ring in KNOWN_RINGS
        unknown += not known
        print("files that include each other: " + ", ".join(sorted(ring))
              + (" (known)" if known else ""))
    return 1 if unknown else 0


if __name__ == "__main__":
    sys.exit(main())
