#!/usr/bin/python3
"""The Windows build under Wine beside the Debian build, on the same machine.

Usage: bench/bench_windows.py [BUILD_DIR [WINDOWS_DIR]]   (default build, build-windows)
Needs the Debian build and scripts/build-windows.sh's output. Measures, taking
turns, the median of 7 runs each of:
  - a start to the shown main window (TRELOK_EXIT_WHEN_SHOWN, offscreen platform);
  - --print N --pdf of one order;
and gives the installer's and the zip's size. Wine's own start (its server
kept running between runs) is part of the Windows figure, as a clerk's
Windows has no such layer: the figures bound the program's cost from above.
Prints one ROW|what|windows ms|debian ms|ratio line per figure.
"""
import glob
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

WINE = shutil.which("wine64") or "/usr/lib/wine/wine64"
WINESERVER = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
RUNS = int(os.environ.get("BENCH_RUNS", "7"))


def win(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(command, env):
    """Runs a command with its output in a file: Wine's own processes, kept alive
    by the persistent server, would hold a pipe open after the command ends."""
    with tempfile.TemporaryFile() as said:
        r = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=said,
                           stderr=subprocess.STDOUT, timeout=600)
        if r.returncode != 0:
            said.seek(0)
            sys.exit(f"{command} failed: {said.read().decode(errors='replace')[-400:]}")


def timed(command, env):
    start = time.perf_counter()
    run(command, env)
    return (time.perf_counter() - start) * 1000


def taking_turns(first, second):
    a, b = [], []
    for _ in range(RUNS):
        a.append(first())
        b.append(second())
    return statistics.median(a), statistics.median(b)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    windows = sys.argv[2] if len(sys.argv) > 2 else "build-windows"
    debian = os.path.join(build, "src", "trelok")
    exe = os.path.join(windows, "stage", "bin", "trelok.exe")
    root = tempfile.mkdtemp(prefix="trelok-bench-wine-")
    env = dict(os.environ, WINEPREFIX=os.path.join(root, "prefix"), WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=", QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8",
               # Wine passes this machine's QT_ variables on only as WINEQT_.
               WINEQT_QPA_PLATFORM="offscreen")
    try:
        server = subprocess.Popen([WINESERVER, "-p", "-f"], env=env, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        run([WINE, "wineboot", "-i"], env)
        ddir, wdir = os.path.join(root, "debian"), os.path.join(root, "windows")
        taxpayers, csv = os.path.join(root, "taxpayers.csv"), os.path.join(root, "orders.csv")
        with open(taxpayers, "w") as f:
            f.write("dec_cod,dec_nam,dec_ad3,dec_tlx\n4030999123456,Firma DOOEL,Adresa,Ohrid\n")
        with open(csv, "w") as f:
            f.write("VID,NALOG1,DAN_BR,CEL1,MKD_CEL,MKD_DEC,UP_SMET2,NACIN,DATUM,POVIK\n"
                    "108,Firma DOOEL,4030999123456,4030999123456,1500,00,004,2,08.12.2026,"
                    "108-2026-1010-1\n")
        for option, path in (("--import-taxpayers", taxpayers), ("--import", csv)):
            run([debian, "--dir", ddir, option, path], env)
            run([WINE, exe, "--dir", win(wdir), option, win(path)], env)
        year = time.strftime("%Y")
        shown = dict(env, TRELOK_EXIT_WHEN_SHOWN="1")
        rows = []
        w, d = taking_turns(lambda: timed([WINE, exe, "--dir", win(wdir)], shown),
                            lambda: timed([debian, "--dir", ddir], shown))
        rows.append(("start to the main window", w, d))
        w, d = taking_turns(
            lambda: timed([WINE, exe, "--dir", win(wdir), "--print", f"1/{year}", "--pdf",
                           win(os.path.join(root, "w.pdf"))], env),
            lambda: timed([debian, "--dir", ddir, "--print", f"1/{year}", "--pdf",
                           os.path.join(root, "d.pdf")], env))
        rows.append(("--print N --pdf", w, d))
        w, d = taking_turns(lambda: timed([WINE, exe, "--version"], env),
                            lambda: timed([debian, "--version"], env))
        rows.append(("--version (the floor: starting a program)", w, d))
        for what, a, b in rows:
            print(f"ROW|{what}|{a:.0f} ms under Wine|{b:.0f} ms on Debian|{a / b:.2f}x")
        for pattern in ("trelok-*-setup.exe", "trelok-*-windows.zip"):
            for path in glob.glob(os.path.join(windows, pattern)):
                print(f"ROW|{os.path.basename(path)}|{os.path.getsize(path) / 2**20:.1f} MB||")
        server.terminate()
    finally:
        subprocess.run([WINESERVER, "-k"], env=env, capture_output=True)
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
