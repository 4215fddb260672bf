#!/usr/bin/python3
"""Prints orders through a real CUPS server and measures the pages.

Starts a private cupsd with a queue that writes PDF to a file, prints from
the program, waits for each job and checks where every field landed with
pdftotext -bbox. Exits 77 (skipped) with the reason when CUPS cannot run.
Usage: print_system_test.py TRELOK_BINARY CUPS_GUI_TEST_BINARY
"""
import os
import sqlite3
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import checks  # noqa: E402
from checks import check  # noqa: E402
from cups_support import (QUEUE, add_queue, completed_jobs, imageable_origin,
                          missing_requirement, start_cups, stop_process, wait_for_job, word_boxes)

TOLERANCE_PT = 72 / 25.4 * 0.1  # 0.1 mm
# A word's box is the font's ascent plus descent: 1.107 em for MAC C Times,
# so 10 pt text stands 11.07 pt high.
LINE_HEIGHT_PT = 10 * 1.107
COLUMNS = ("TRELOK_BR,NALOG1,NALOG2,BNK_NAL,SM_NAL,DAN_BR,POVIK,CEL1,CEL2,PRIMAC1,PRIMAC2,"
           "BNK_PRIM,SMET_PRI,MKD_CEL,MKD_DEC,UP_SMET1,UP_SMET2,UP_SMET3,BU_SMET1,BU_SMET2,"
           "BU_SMET3,PR_SIF1,PR_SIF2,NACIN,DATUM,MESTO,VID,VALUTA").split(",")

def skip(reason):
    checks.skip("print system tests", reason)


def words(pdf, page=None):
    boxes, pages = word_boxes(pdf, page)
    return {text: box for text, *box in boxes}, pages


def add_second_order(db, values):
    """A second order whose every text differs from the first's."""
    second = {c: v.replace("W", "V") for c, v in values.items()}
    second.update(TRELOK_BR="2/2026", MKD_CEL="7300", VID="108")
    db.execute(f"INSERT INTO tbl_Trel ({','.join(COLUMNS)}) VALUES ({','.join('?' * 28)})",
               [second[c] for c in COLUMNS])
    db.commit()
    return second


def check_batch(trelok, appdir, env, root, orders):
    """Several orders as one PDF: page n carries order n's fields where its own
    single print puts them; a missing order refuses all, printer or file."""
    single = {}
    for number in orders:
        pdf = os.path.join(root, number.replace("/", "-") + ".pdf")
        subprocess.run([trelok, "--dir", appdir, "--print", number, "--pdf", pdf], env=env,
                       capture_output=True)
        single[number] = words(pdf)[0]
    batch = os.path.join(root, "batch.pdf")
    listed = ",".join(orders)
    r = subprocess.run([trelok, "--dir", appdir, "--print", listed, "--pdf", batch], env=env,
                       capture_output=True, text=True)
    check("--print LIST --pdf exits 0", r.returncode == 0, r.stderr)
    check("--print LIST --pdf: one page per order", words(batch)[1] == len(orders))
    for page, number in enumerate(orders, 1):
        check(f"--pdf batch page {page} is the single page of {number}",
              words(batch, page)[0] == single[number])
    # On paper: one job, every printed page archived; a box that names no
    # column is passed over on each page and the status says so (3).
    with open(os.path.join(appdir, "trelok.conf"), "w") as conf:
        conf.write("archive=arhiva\n")
    db = sqlite3.connect(os.path.join(appdir, "trelok.db"))
    for unknown, status in ((False, 0), (True, 3)):
        if unknown:
            db.execute("INSERT INTO tbl_koor (box, z_x, z_y, z_len) VALUES ('NEPOSTOI', 1, 1, 1)")
            db.commit()
        before = completed_jobs(env)
        r = subprocess.run([trelok, "--dir", appdir, "--print", listed], env=env,
                           capture_output=True, text=True)
        check(f"--print LIST on paper exits {status}", r.returncode == status and
              r.stderr.count("NEPOSTOI") == (len(orders) if unknown else 0), r.stderr)
        check("--print LIST on paper: one job", wait_for_job(env, before) and
              completed_jobs(env) == before + 1)
        for number in orders:
            archived = os.path.join(appdir, "arhiva", "2026",
                                    number.split("/")[0].rjust(6, "0") + ".pdf")
            check(f"--print LIST on paper archives {number}",
                  os.path.exists(archived) and words(archived)[0] == single[number])
            if os.path.exists(archived):
                os.remove(archived)
    db.execute("DELETE FROM tbl_koor WHERE box='NEPOSTOI'")
    db.commit()
    db.close()
    os.remove(os.path.join(appdir, "trelok.conf"))
    before = completed_jobs(env)
    missing = os.path.join(root, "missing.pdf")
    for extra in ([], ["--pdf", missing]):
        r = subprocess.run([trelok, "--dir", appdir, "--print", "1/2026,77/2026"] + extra,
                           env=env, capture_output=True, text=True)
        check(f"a missing order refuses the list {extra}", r.returncode == 1 and
              r.stderr.endswith("trelok: Trelokot broj: 77/2026 Ne postoi !\n"), r.stderr)
    check("nothing printed for a refused list", completed_jobs(env) == before and
          not os.path.exists(missing) and
          subprocess.run(["lpstat", "-o", QUEUE], env=env, capture_output=True,
                         text=True).stdout.strip() == "")


def prepare_app(trelok, appdir):
    """An application directory holding order 1/2026 whose every field has a text of its own,
    printing on QUEUE. trelok is the program, or the command that runs it (a list)."""
    command = [trelok] if isinstance(trelok, str) else list(trelok)
    subprocess.run(command + ["--dir", appdir, "--print", "0/0", "--pdf", os.devnull],
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
    problem = missing_requirement()
    if problem:
        skip(problem)
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

        # Several orders at once into one PDF (tst_print_cups prints them
        # as one job from the preview).
        add_second_order(db, values)
        check_batch(trelok, appdir, env, root, ["1/2026", "2/2026"])

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
        # A second printer, for the offsets of each printer.
        out2 = os.path.join(root, "out", "job2.pdf")
        problem = add_queue(env, QUEUE + "-2", out2)
        check("second queue added", problem is None, problem)
        gui_env = dict(env, TRELOK_TEST_QUEUE=QUEUE, TRELOK_TEST_OUTPUT=out,
                       TRELOK_TEST_QUEUE2=QUEUE + "-2", TRELOK_TEST_OUTPUT2=out2)
        r = subprocess.run([gui_test], env=gui_env, capture_output=True, text=True)
        sys.stdout.write(r.stdout)
        sys.stdout.write(r.stderr)
        check("windows print through CUPS", r.returncode == 0)
    finally:
        stop_process(proc)
        checks.remove_unless_kept("TRELOK_KEEP_CUPS", root)
    checks.finish()


if __name__ == "__main__":
    main()
