#!/usr/bin/python3
"""Where the program looks for its windowed part is where it is installed.

Configures the project (no build) for installation prefixes with a relative
and an absolute library folder, and checks that the module's path compiled
into the program, taken from the program's folder, is the module's
installed place.
Usage: install_layout_test.py CMAKE SOURCE_DIR
"""
import json
import os
import shlex
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import checks  # noqa: E402
from checks import check  # noqa: E402


def compiled_module_path(cmake, source, options):
    with tempfile.TemporaryDirectory() as build:
        r = subprocess.run([cmake, "-S", source, "-B", build, "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"]
                           + options, capture_output=True, text=True)
        if r.returncode != 0:
            return None, r.stderr
        with open(os.path.join(build, "compile_commands.json")) as f:
            for entry in json.load(f):
                if entry["file"].endswith("shell/window_module.cpp"):
                    for word in shlex.split(entry["command"]):
                        if word.startswith("-DTRELOK_WINDOWS_MODULE="):
                            return word.partition("=")[2].strip('"'), None
    return None, "no TRELOK_WINDOWS_MODULE"


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    cmake, source = sys.argv[1], sys.argv[2]
    prefix = "/opt/trelok"
    for libdir, installed in (("lib", "/opt/trelok/lib"), ("lib64", "/opt/trelok/lib64"),
                              ("/opt/trelok/lib64", "/opt/trelok/lib64")):
        path, problem = compiled_module_path(
            cmake, source, [f"-DCMAKE_INSTALL_PREFIX={prefix}", f"-DCMAKE_INSTALL_LIBDIR={libdir}"])
        found = path and os.path.normpath(os.path.join(prefix, "bin", path))
        check(f"library folder {libdir}: the program looks in {installed}/trelok",
              found == f"{installed}/trelok/trelok_windows.so", problem or found)
    print(checks.summary())
    sys.exit(checks.status())


if __name__ == "__main__":
    main()
