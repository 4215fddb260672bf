#!/usr/bin/python3
"""Interrupted, simultaneous and starved first starts of the program.

Drives the built program on new application directories, as a user's first
start does (a --print into a PDF file: it installs, then reports the missing
order), and checks the directory afterwards:
- killed at random moments: either no database, or a complete installation
  with every font file byte-identical to the built-in copy; a later start
  always completes it;
- two first starts at the same moment: both get past the installation and
  the directory is completely installed;
- on a full disk (a small tmpfs, or a file size limit where mounting is not
  possible): the start fails with a message and leaves no database and no
  cut-off file under a final name; a PDF that does not fit leaves no file.
Usage: install_probe_test.py TRELOK_BINARY FONT_DIR LICENCE_FILE
"""
import os
import random
import resource
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import checks  # noqa: E402
from checks import check as counted  # noqa: E402


def check(name, ok, detail=""):
    return counted(name, ok, detail, quiet=True)


KILLS = 50
PAIRS = 20
FONTS = ("MCTIME.TTF", "MCTIMEB.TTF", "MCTIMEBI.TTF", "MCTIMEI.TTF")
TABLES = {"tbl_trel", "tbl_cnf", "tbl_vid", "tbl_obvr", "tbl_opst", "tbl_cuo", "tbl_prnt",
          "tbl_koor", "tbl_broj"}
RUNTIME = tempfile.mkdtemp(prefix="trelok-runtime-")
MISSING_ORDER = "Trelokot broj: 1/2026 Ne postoi !"

def environment():
    env = dict(os.environ, LC_ALL="C.UTF-8", XDG_RUNTIME_DIR=RUNTIME)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    env.pop("QT_QPA_PLATFORM", None)
    return env


def start(trelok, appdir, pdf, limit=None):
    def limited():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
    return subprocess.Popen([trelok, "--dir", appdir, "--print", "1/2026", "--pdf", pdf],
                            env=environment(), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            text=True, preexec_fn=limited if limit else None)


def run(trelok, appdir, pdf, limit=None):
    proc = start(trelok, appdir, pdf, limit)
    out, err = proc.communicate(timeout=60)
    return proc.returncode, err


def content(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def database_complete(path):
    try:
        db = sqlite3.connect(f"file:{path}?mode=ro", uri=True)
        names = {r[0].lower() for r in db.execute("SELECT name FROM sqlite_master "
                                                  "WHERE type='table'")}
        rows = db.execute("SELECT count(*) FROM tbl_koor").fetchone()[0]
        db.close()
        return names == TABLES and rows > 0
    except sqlite3.Error:
        return False


def installed_problems(appdir, builtin):
    """What is wrong with a directory that holds a database file."""
    problems = []
    if not database_complete(os.path.join(appdir, "trelok.db")):
        problems.append("trelok.db incomplete")
    for name, data in builtin.items():
        if content(os.path.join(appdir, name)) != data:
            problems.append(f"{name} differs from the built-in copy")
    return problems


def cut_files(appdir, builtin):
    """Files under a final name that are not the complete built-in copy."""
    return [name for name, data in builtin.items()
            if os.path.exists(os.path.join(appdir, name))
            and content(os.path.join(appdir, name)) != data]


def probe_kills(trelok, root, builtin):
    rng = random.Random(int(os.environ.get("TRELOK_PROBE_SEED", time.time())))
    # How long a complete first start takes here: the kills fall inside it.
    began = time.monotonic()
    run(trelok, os.path.join(root, "timing"), os.path.join(root, "timing.pdf"))
    span = time.monotonic() - began
    with_db = 0
    before = checks.failures()
    for i in range(KILLS):
        appdir = os.path.join(root, f"kill{i}")
        proc = start(trelok, appdir, os.path.join(root, f"kill{i}.pdf"))
        time.sleep(rng.uniform(0.0, span))
        proc.send_signal(signal.SIGKILL)
        proc.communicate()
        with_db_before = os.path.exists(os.path.join(appdir, "trelok.db"))
        if with_db_before:
            with_db += 1
            problems = installed_problems(appdir, builtin)
            check(f"kill {i}: database only with everything", not problems, problems)
        elif os.path.isdir(appdir):
            # Not installed: whatever is there under a final name is whole,
            # the rest are side files and the lock, cleared by the next start.
            cut = cut_files(appdir, builtin)
            check(f"kill {i}: no cut-off file", not cut, cut)
            strange = [n for n in os.listdir(appdir) if n not in builtin and not
                       n.startswith(".") and n not in ("trelok.lock", "trelok.db.install",
                                                       "trelok.db.install-journal")]
            check(f"kill {i}: nothing but the program's files", not strange, strange)
        code, err = run(trelok, appdir, os.path.join(root, f"kill{i}.pdf"))
        check(f"kill {i}: a later start installs", code == 1 and MISSING_ORDER in err, err)
        problems = installed_problems(appdir, builtin)
        check(f"kill {i}: complete after the later start", not problems, problems)
        if not with_db_before:
            leftovers = set(os.listdir(appdir)) - set(builtin) - {"trelok.db"}
            check(f"kill {i}: the later start clears the side files", not leftovers, leftovers)
        shutil.rmtree(appdir, ignore_errors=True)
    if checks.failures() == before:
        print(f"PASS   : {KILLS} kills within {span:.3f} s of a first start "
              f"({with_db} left a database, each one complete)")


def probe_pairs(trelok, root, builtin):
    before = checks.failures()
    for i in range(PAIRS):
        appdir = os.path.join(root, f"pair{i}")
        procs = [start(trelok, appdir, os.path.join(root, f"pair{i}-{k}.pdf")) for k in (0, 1)]
        for k, proc in enumerate(procs):
            out, err = proc.communicate(timeout=120)
            check(f"pair {i}.{k}: installed and opened", proc.returncode == 1 and
                  MISSING_ORDER in err, err)
        problems = installed_problems(appdir, builtin)
        check(f"pair {i}: complete", not problems, problems)
        leftovers = set(os.listdir(appdir)) - set(builtin) - {"trelok.db"}
        check(f"pair {i}: no side files left", not leftovers, leftovers)
        shutil.rmtree(appdir, ignore_errors=True)
    if checks.failures() == before:
        print(f"PASS   : {PAIRS} pairs of simultaneous first starts")


def mount_small(path, size):
    os.makedirs(path, exist_ok=True)
    return subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", path],
                          capture_output=True).returncode == 0


def probe_full_disk(trelok, root, builtin):
    before = checks.failures()
    fonts = sum(len(data) for data in builtin.values())
    sizes = [64 * 1024, 600 * 1024, fonts - 100 * 1024, fonts + 8 * 1024]
    disk = os.path.join(root, "disk")
    mounted = not os.environ.get("TRELOK_PROBE_NO_MOUNT") and mount_small(disk, "4k")
    if mounted:
        subprocess.run(["umount", disk])
        how = "tmpfs"
    else:
        # A limit per file, not a full disk: each size cuts one file short.
        sizes = [64 * 1024, 143360, 300 * 1024]
        how = "file size limit (tmpfs cannot be mounted here)"
    for size in sizes:
        if mounted:
            mount_small(disk, size)
            appdir, limit = os.path.join(disk, "app"), None
        else:
            appdir, limit = os.path.join(root, f"limit{size}"), size
        code, err = run(trelok, appdir, os.path.join(root, "full.pdf"), limit)
        check(f"full disk {size}: start fails", code != 0 and MISSING_ORDER not in err and
              err.strip() != "", (code, err))
        check(f"full disk {size}: no database", not os.path.exists(
            os.path.join(appdir, "trelok.db")))
        cut = cut_files(appdir, builtin)
        check(f"full disk {size}: no cut-off file", not cut, cut)
        if mounted:
            subprocess.run(["umount", disk])
    if checks.failures() == before:
        print(f"PASS   : installation on a full disk fails cleanly ({how})")

    # A PDF that does not fit: a complete installation, an order, a small disk.
    before = checks.failures()
    appdir = os.path.join(root, "pdfapp")
    run(trelok, appdir, os.path.join(root, "first.pdf"))
    db = sqlite3.connect(os.path.join(appdir, "trelok.db"))
    db.execute("INSERT INTO tbl_Trel (TRELOK_BR, NALOG1, MKD_CEL) VALUES "
               "('1/2026', 'PROBA', '1.500,00')")
    db.commit()
    db.close()
    code, err = run(trelok, appdir, os.path.join(root, "whole.pdf"))
    whole = content(os.path.join(root, "whole.pdf")) or b""
    check("pdf: written on a disk with room", code == 0 and whole.rstrip().endswith(b"%%EOF"),
          (code, err))
    room = len(whole) // 2
    if mounted:
        mount_small(disk, room)
        target, limit = os.path.join(disk, "order.pdf"), None
    else:
        os.makedirs(os.path.join(root, "limited"))
        target, limit = os.path.join(root, "limited", "order.pdf"), room
    code, err = run(trelok, appdir, target, limit)
    check("pdf on a full disk: fails with a message", code != 0 and err.strip() != "",
          (code, err))
    left = [n for n in os.listdir(os.path.dirname(target)) if n.endswith("pdf") or ".pdf." in n]
    check("pdf on a full disk: no file left", not left, left)
    if mounted:
        subprocess.run(["umount", disk])
    if checks.failures() == before:
        print(f"PASS   : a PDF that does not fit leaves no file ({how})")

    # Targets that must never receive a PDF, and one that cannot be written.
    before = checks.failures()
    link = os.path.join(root, "link-to-db.pdf")
    os.symlink(os.path.join(appdir, "trelok.db"), link)
    own = {name: content(os.path.join(appdir, name)) for name in list(builtin) + ["trelok.db"]}
    for target in ("/proc/version", os.path.join(appdir, "trelok.db"),
                   os.path.join(appdir, "MCTIMEB.TTF"), os.path.join(appdir, "OFL.txt"), link,
                   appdir, root):
        code, err = run(trelok, appdir, target)
        check(f"pdf to {target}: refused", code != 0 and "trelok: " in err, (code, err))
    for name, data in own.items():
        check(f"pdf: {name} unchanged", content(os.path.join(appdir, name)) == data)
    if checks.failures() == before:
        print("PASS   : a PDF never goes over the program's files, a directory or /proc")


def main():
    trelok, font_dir, licence = sys.argv[1:4]
    builtin = {name: content(os.path.join(font_dir, name)) for name in FONTS}
    builtin["OFL.txt"] = content(licence)
    with tempfile.TemporaryDirectory(prefix="trelok-probe-") as root:
        probe_kills(trelok, root, builtin)
        probe_pairs(trelok, root, builtin)
        try:
            probe_full_disk(trelok, root, builtin)
        finally:
            # A failed check must not leave a small disk mounted.
            disk = os.path.join(root, "disk")
            if os.path.ismount(disk):
                subprocess.run(["umount", disk])
    shutil.rmtree(RUNTIME, ignore_errors=True)
    print(f"Totals: {checks.summary()}")
    sys.exit(checks.status())


if __name__ == "__main__":
    main()
