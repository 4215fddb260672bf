#!/usr/bin/python3
"""Prints orders through a real CUPS server and measures the pages.

Starts a private cupsd with a queue that writes PDF to a file, prints from
the program, waits for each job and checks where every field landed with
pdftotext -bbox. Exits 77 (skipped) with the reason when CUPS cannot run.
Usage: print_system_test.py TRELOK_BINARY CUPS_GUI_TEST_BINARY
"""
import os
import re
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

SKIP = 77
QUEUE = "trelok-test"
PPD = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd"
TOLERANCE_PT = 72 / 25.4 * 0.1  # 0.1 mm
# A word's box is the font's ascent plus descent: 1.107 em for MAC C Times,
# so 10 pt text stands 11.07 pt high.
LINE_HEIGHT_PT = 10 * 1.107
COLUMNS = ("TRELOK_BR,NALOG1,NALOG2,BNK_NAL,SM_NAL,DAN_BR,POVIK,CEL1,CEL2,PRIMAC1,PRIMAC2,"
           "BNK_PRIM,SMET_PRI,MKD_CEL,MKD_DEC,UP_SMET1,UP_SMET2,UP_SMET3,BU_SMET1,BU_SMET2,"
           "BU_SMET3,PR_SIF1,PR_SIF2,NACIN,DATUM,MESTO,VID,VALUTA").split(",")

passed = 0
failed = 0


def check(name, ok, detail=""):
    global passed, failed
    if ok:
        passed += 1
        print(f"PASS   : {name}")
    else:
        failed += 1
        print(f"FAIL!  : {name} {detail}")


def skip(reason):
    print(f"SKIP   : print system tests: {reason}")
    sys.exit(SKIP)


def start_cups(root):
    os.chmod(root, 0o755)  # the filters run as lp and read the queue's files
    for d in ("etc/ppd", "spool/tmp", "cache", "log", "run", "out", "tmp"):
        os.makedirs(os.path.join(root, d), exist_ok=True)
    for d in ("out", "tmp"):
        os.chmod(os.path.join(root, d), 0o777)
    sock = os.path.join(root, "run", "cups.sock")
    with open(os.path.join(root, "etc", "cupsd.conf"), "w") as f:
        f.write(f"Listen {sock}\nLogLevel info\nBrowsing No\nDefaultAuthType None\n"
                "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
    with open(os.path.join(root, "etc", "cups-files.conf"), "w") as f:
        f.write(f"FileDevice Yes\nServerRoot {root}/etc\nRequestRoot {root}/spool\n"
                f"CacheDir {root}/cache\nStateDir {root}/run\nTempDir {root}/tmp\n"
                f"AccessLog {root}/log/access_log\nErrorLog {root}/log/error_log\n"
                f"PageLog {root}/log/page_log\nUser lp\nGroup lp\nSystemGroup root\n")
    proc = subprocess.Popen(["cupsd", "-f", "-c", f"{root}/etc/cupsd.conf",
                             "-s", f"{root}/etc/cups-files.conf"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, CUPS_SERVER=sock)
    for _ in range(100):
        if proc.poll() is not None:
            return proc, None, "cupsd exited at once"
        if subprocess.run(["lpstat", "-r"], env=env, capture_output=True,
                          text=True).stdout.startswith("scheduler is running"):
            break
        time.sleep(0.1)
    else:
        return proc, None, "cupsd did not answer"
    out = os.path.join(root, "out", "job.pdf")
    added = subprocess.run(["lpadmin", "-p", QUEUE, "-E", "-v", f"file://{out}", "-P", PPD],
                           env=env, capture_output=True, text=True)
    if added.returncode != 0:
        return proc, None, "lpadmin failed: " + added.stderr.strip()
    return proc, env, None


def imageable_origin(root):
    """The printable area's top-left corner on A4, in points, as the queue's PPD gives it."""
    ppd = open(os.path.join(root, "etc", "ppd", QUEUE + ".ppd"), encoding="latin-1").read()
    area = re.search(r'\*ImageableArea A4/[^:]*: "([\d.]+) ([\d.]+) ([\d.]+) ([\d.]+)"', ppd)
    paper = re.search(r'\*PaperDimension A4/[^:]*: "([\d.]+) ([\d.]+)"', ppd)
    left, _bottom, _right, top = map(float, area.groups())
    return left, float(paper.group(2)) - top


def words(pdf):
    html = subprocess.run(["pdftotext", "-bbox", pdf, "-"], capture_output=True,
                          text=True).stdout
    found = {}
    for m in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" '
                         r'yMax="([\d.]+)">([^<]*)</word>', html):
        found[m.group(5)] = tuple(float(v) for v in m.groups()[:4])
    pages = html.count("<page ")
    return found, pages


def completed_jobs(env):
    out = subprocess.run(["lpstat", "-W", "completed", "-o", QUEUE], env=env,
                         capture_output=True, text=True).stdout
    return len([line for line in out.splitlines() if line.strip()])


def wait_for_job(env, before, timeout=60):
    end = time.time() + timeout
    while time.time() < end:
        if completed_jobs(env) > before:
            return True
        time.sleep(0.2)
    return False


def prepare_app(trelok, appdir):
    subprocess.run([trelok, "--dir", appdir, "--print", "0/0", "--pdf", os.devnull],
                   capture_output=True, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    db = sqlite3.connect(os.path.join(appdir, "trelok.db"))
    values = {c: f"W{i:02d}" for i, c in enumerate(COLUMNS)}
    values.update(TRELOK_BR="1/2026", MKD_CEL="12500", VID="108")
    db.execute(f"INSERT INTO tbl_Trel ({','.join(COLUMNS)}) VALUES ({','.join('?' * 28)})",
               [values[c] for c in COLUMNS])
    db.execute("UPDATE tbl_prnt SET def_print=?", (QUEUE,))
    db.commit()
    koor = {box.upper(): (float(x), float(y), float(ln)) for box, x, y, ln in
            db.execute("SELECT box, z_x, z_y, z_len FROM tbl_koor")}
    return db, values, koor


def check_page(name, pdf, values, koor, origin, desno=0.0, dole=0.0):
    found, pages = words(pdf)
    check(f"{name}: one page", pages == 1, f"({pages} pages)")
    worst = 0.0
    worst_height = 0.0
    missing = []
    for box, (x, y, length) in koor.items():
        text = values[box]
        if text not in found:
            missing.append(box)
            continue
        x_min, y_min, x_max, y_max = found[text]
        worst_height = max(worst_height, abs(y_max - y_min - LINE_HEIGHT_PT))
        want_y = origin[1] + (y + dole) / 20
        if box == "MKD_CEL":
            err_x = abs(x_max - (origin[0] + (x + length + desno) / 20))
        else:
            err_x = abs(x_min - (origin[0] + (x + desno) / 20))
        worst = max(worst, err_x, abs(y_min - want_y))
    check(f"{name}: every field found", not missing, f"missing {missing}")
    check(f"{name}: every field within 0.1 mm (worst {worst:.3f} pt)", worst <= TOLERANCE_PT)
    check(f"{name}: text is 10 pt (height off by {worst_height:.3f} pt at most)",
          worst_height <= 0.05)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    trelok, gui_test = sys.argv[1], sys.argv[2]
    for tool in ("cupsd", "lpadmin", "lpstat", "pdftotext"):
        if not shutil.which(tool) and not os.path.exists(f"/usr/sbin/{tool}"):
            skip(f"{tool} is not installed (scripts/install-deps.sh installs it)")
    if not os.path.exists(PPD):
        skip(f"{PPD} is missing (package cups-filters)")
    if os.geteuid() != 0:
        skip("cupsd must be started as root")
    os.environ["PATH"] += ":/usr/sbin"
    root = tempfile.mkdtemp(prefix="trelok-cups-")
    proc, env, problem = start_cups(root)
    try:
        if problem:
            skip(problem)
        appdir = os.path.join(root, "app")
        db, values, koor = prepare_app(trelok, appdir)
        env = dict(env, QT_QPA_PLATFORM="offscreen")
        out = os.path.join(root, "out", "job.pdf")

        # The file output: measured from the page corner.
        pdf = os.path.join(root, "order.pdf")
        r = subprocess.run([trelok, "--dir", appdir, "--print", "1/2026", "--pdf", pdf], env=env,
                           capture_output=True, text=True)
        check("--pdf exits 0", r.returncode == 0, r.stderr)
        check_page("--pdf, offsets 0/0", pdf, values, koor, (0.0, 0.0))

        # The printer: measured from the printable area's corner. With an
        # archive named in trelok.conf the printed page is also kept as a PDF.
        with open(os.path.join(appdir, "trelok.conf"), "w") as conf:
            conf.write("archive=arhiva\n")
        origin = imageable_origin(root)
        before = completed_jobs(env)
        r = subprocess.run([trelok, "--dir", appdir, "--print", "1/2026"], env=env,
                           capture_output=True, text=True)
        check("--print exits 0", r.returncode == 0, r.stderr)
        check("--print job completed", wait_for_job(env, before))
        check_page("CUPS, offsets 0/0", out, values, koor, origin)
        check_page("archive of the printed page",
                   os.path.join(appdir, "arhiva", "2026", "000001.pdf"), values, koor, (0.0, 0.0))
        os.remove(os.path.join(appdir, "trelok.conf"))

        # The calibration sheet on the printer: every column's name.
        before = completed_jobs(env)
        r = subprocess.run([trelok, "--dir", appdir, "--calibration-sheet"], env=env,
                           capture_output=True, text=True)
        check("--calibration-sheet exits 0", r.returncode == 0, r.stderr)
        check("--calibration-sheet job completed", wait_for_job(env, before))
        found, pages = words(out)
        check("calibration sheet names every box", pages == 1 and set(koor) <= set(found),
              sorted(set(koor) - set(found)))

        db.execute("UPDATE tbl_cnf SET up_smet3='10', bu_smet1='-5'")
        db.commit()
        before = completed_jobs(env)
        subprocess.run([trelok, "--dir", appdir, "--print", "1/2026"], env=env,
                       capture_output=True)
        check("--print job with offsets completed", wait_for_job(env, before))
        check_page("CUPS, offsets 10/-5", out, values, koor, origin, desno=60, dole=-30)
        subprocess.run([trelok, "--dir", appdir, "--print", "1/2026", "--pdf", pdf], env=env,
                       capture_output=True)
        check_page("--pdf, offsets 10/-5", pdf, values, koor, (0.0, 0.0), desno=60, dole=-30)
        db.execute("UPDATE tbl_cnf SET up_smet3='0', bu_smet1='0'")
        db.commit()

        # Errors of the command line.
        r = subprocess.run([trelok, "--dir", appdir, "--print", "77/2026"], env=env,
                           capture_output=True, text=True)
        check("unknown order exits non-zero", r.returncode != 0 and "Ne postoi" in r.stderr,
              r.stderr)
        db.execute("UPDATE tbl_prnt SET def_print=''")
        db.commit()
        r = subprocess.run([trelok, "--dir", appdir, "--print", "1/2026"], env=env,
                           capture_output=True, text=True)
        check("no printer chosen exits non-zero", r.returncode != 0 and "Nepozete" in r.stderr,
              r.stderr)
        db.execute("UPDATE tbl_prnt SET def_print=?", (QUEUE,))
        db.commit()
        db.close()

        # The windows against the same queue: preview, "OK - Pecati", calibration.
        gui_env = dict(env, TRELOK_TEST_QUEUE=QUEUE, TRELOK_TEST_OUTPUT=out)
        r = subprocess.run([gui_test], env=gui_env, capture_output=True, text=True)
        sys.stdout.write(r.stdout)
        sys.stdout.write(r.stderr)
        check("windows print through CUPS", r.returncode == 0)
    finally:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()
        if not os.environ.get("TRELOK_KEEP_CUPS"):
            shutil.rmtree(root, ignore_errors=True)
        else:
            print("kept", root)
    print(f"{passed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
