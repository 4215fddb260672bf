#!/usr/bin/python3
"""The windowed part's path compiled into the program, taken from the
program's folder, is where it is installed, for a relative and an absolute
library folder (the project configured, not built).
Usage: install_layout_test.py CMAKE SOURCE_DIR"""
import json, os, shlex, subprocess, sys, tempfile  # noqa: E401

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import checks  # noqa: E402

cmake, source = sys.argv[1:3]
for libdir, installed in (("lib", "/opt/t/lib"), ("lib64", "/opt/t/lib64"),
                          ("/opt/t/lib64", "/opt/t/lib64")):
    with tempfile.TemporaryDirectory() as build:
        subprocess.run([cmake, "-S", source, "-B", build, "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON",
                        "-DCMAKE_INSTALL_PREFIX=/opt/t", f"-DCMAKE_INSTALL_LIBDIR={libdir}"],
                       capture_output=True)
        with open(os.path.join(build, "compile_commands.json")) as f:
            words = [w for e in json.load(f) if e["file"].endswith("shell/window_module.cpp")
                     for w in shlex.split(e["command"])]
    path = [w.partition("=")[2] for w in words if w.startswith("-DTRELOK_WINDOWS_MODULE=")]
    found = path and os.path.normpath(os.path.join("/opt/t/bin", path[0].strip('"')))
    checks.check(f"library folder {libdir}: looked for in {installed}/trelok",
                 found == f"{installed}/trelok/trelok_windows.so", found)
print(checks.summary())
sys.exit(checks.status())
