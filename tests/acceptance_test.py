#!/usr/bin/python3
"""The clerk's whole story, from the menu to paper.

Starts a virtual X display (Xvfb) and a private CUPS server with a queue that
writes PDF, then runs tst_acceptance: the complete program on a fresh
application directory, driven by mouse and keyboard through its menu and
windows (fixed data, a taxpayer, printer and calibration 10 / -5, the field
MESTO moved 1 mm right in the layout window, an order of
kind 108 saved, printed, changed and printed again, then one order each of
205, GAR, 701 and 900, and the list of the day printed on plain A4). Afterwards it checks the stored orders and the
counter in the database and measures every printed page with
pdftotext -bbox: each text at its coordinate moved by the calibration
(+60 / -30 twips), the amount ending at its field's right edge.
Pictures of the windows and the pages are left in ARTEFACT_DIR.
Exits 77 (skipped) with the reason when Xvfb or CUPS cannot run.
Usage: acceptance_test.py TST_ACCEPTANCE_BINARY ARTEFACT_DIR
"""
import datetime
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import checks  # noqa: E402
from checks import check  # noqa: E402
from cups_support import (QUEUE, imageable_origin, missing_requirement, output_file,  # noqa: E402
                          start_cups, stop_process, word_boxes)

TOLERANCE_PT = 72 / 25.4 * 0.1  # 0.1 mm
DESNO, DOLE = 60, -30  # the calibration 10 / -5 tenths of a millimetre, in twips

def skip(reason):
    checks.skip("acceptance run", reason)


def start_xvfb():
    """Xvfb on the first free display from :90. Returns (process, display) or (None, reason)."""
    for n in range(90, 140):
        if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
            continue
        proc = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1280x1024x24",
                                 "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if proc.poll() is not None:
                break
            if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                return proc, f":{n}"
            time.sleep(0.05)
        if proc.poll() is None:
            stop_process(proc)
    return None, "Xvfb could not be started"


def expected_orders(year, today):
    """The orders as the story enters them, column by column."""
    company = dict(NALOG1="Primer DOOEL", NALOG2="ul. Partizanska 12",
                   BNK_NAL="Komercijalna banka", SM_NAL="300000000123456",
                   DAN_BR="4030999123456", CEL1="4030999123456",
                   PRIMAC1="Carinska Uprava na RM", PRIMAC2="Evidentna smetka",
                   BNK_PRIM="Narodna banka na RM", SMET_PRI="100000000063095",
                   MKD_DEC="00", UP_SMET1="845", UP_SMET2="004", UP_SMET3="00960",
                   BU_SMET1="", BU_SMET2="", BU_SMET3="", PR_SIF1="", PR_SIF2="",
                   NACIN="2", DATUM=today, MESTO="Skopje", VALUTA=today)

    def order(number, **values):
        row = dict(company, TRELOK_BR=f"{number}/{year}")
        row.update(values)
        return row

    first = order(1, VID="108", POVIK=f"108-{year}-1010-12345", CEL1="4030888000017",
                  CEL2="Carinski dolg po carinska deklaracija", MKD_CEL="12500")
    changed = dict(first, MKD_CEL="13750")
    others = [
        order(2, VID="205", POVIK=f"205-{year}-1000-4567-0", MKD_CEL="880", MKD_DEC="50",
              CEL2="Dava~ki po elektronska carinska deklaracija"),
        order(3, VID="GAR", POVIK=f"900-{year}-1010-7788-1", MKD_CEL="40000",
              CEL2="Garancija po elektronska carinska deklaracija"),
        order(4, VID="701", POVIK="701-1000", MKD_CEL="300",
              CEL2="Drugi prihodi na Carinskata uprava"),
        order(5, VID="900", POVIK="9001234567", CEL1="9001234567", MKD_CEL="1500",
              CEL2="Depozit za garancija"),
    ]
    # What the printer received, in order: the first order, the same order
    # after the change, then each of the others.
    printed = [first, changed] + others
    stored = [changed] + others
    return stored, printed


def check_database(appdir, stored, year):
    db = sqlite3.connect(os.path.join(appdir, "trelok.db"))
    cur = db.execute("SELECT * FROM tbl_Trel")
    names = [d[0].upper() for d in cur.description]
    rows = {}
    for values in cur.fetchall():
        row = dict(zip(names, ("" if v is None else v for v in values)))
        rows[row["TRELOK_BR"]] = row
    check("the five orders are stored under 1/Y to 5/Y",
          sorted(rows) == sorted(o["TRELOK_BR"] for o in stored), f"(stored {sorted(rows)})")
    for want in stored:
        got = rows.get(want["TRELOK_BR"])
        if got is None:
            check(f"order {want['TRELOK_BR']} ({want['VID']}) stored", False)
            continue
        wrong = {c: (got.get(c), v) for c, v in want.items() if got.get(c) != v}
        check(f"order {want['TRELOK_BR']} ({want['VID']}) stored as entered, POVIK "
              f"{want['POVIK']}", not wrong, f"(stored, wanted: {wrong})")
    counter = db.execute("SELECT godina, tip_dokum, tekoven_br FROM tbl_Broj").fetchall()
    check("the counter stands at 5/Y", [(str(g).strip(), t.strip(), b.strip())
                                       for g, t, b in counter] == [(year, "TRELOK", f"5/{year}")],
          f"({counter})")
    koor = {box.strip().upper(): (float(x), float(y), float(ln)) for box, x, y, ln in
            db.execute("SELECT box, z_x, z_y, z_len FROM tbl_koor")}
    # 6655 twips lie between two tenths of a millimetre: the step goes to the
    # tenth after 1173 and 10 more, 1183 tenths = 6706.8 twips.
    check("the layout window moved MESTO 1 mm to the right (to 118.3 mm)",
          koor.get("MESTO") == (6707.0, 4269.0, 1819.0), f"({koor.get('MESTO')})")
    db.close()
    return koor


def check_page(name, pdf, values, koor, origin, page=None):
    boxes, pages = word_boxes(pdf, page)
    if page is None:
        check(f"{name}: one page", pages == 1, f"({pages} pages)")
    misplaced = []
    for box, (x, y, length) in koor.items():
        text = values.get(box, "").strip()
        if not text:
            continue
        want_y = origin[1] + (y + DOLE) / 20
        parts = text.split()
        line = [w for w in boxes if abs(w[2] - want_y) <= TOLERANCE_PT]
        if box == "MKD_CEL":
            want_x = origin[0] + (x + length + DESNO) / 20
            anchor = [w for w in line if w[0] == parts[-1] and abs(w[3] - want_x) <= TOLERANCE_PT]
        else:
            want_x = origin[0] + (x + DESNO) / 20
            anchor = [w for w in line if w[0] == parts[0] and abs(w[1] - want_x) <= TOLERANCE_PT]
        rest = all(any(w[0] == p for w in line) for p in parts)
        if not anchor or not rest:
            near = [w for w in boxes if w[0] in parts]
            misplaced.append(f"{box} '{text}' wanted at x {want_x:.2f} y {want_y:.2f}, "
                             f"found {near}")
    check(f"{name}: every field at its place plus the calibration", not misplaced,
          "\n         " + "\n         ".join(misplaced))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    driver, artefacts = sys.argv[1], sys.argv[2]
    problem = missing_requirement()
    if problem:
        skip(problem)
    if not shutil.which("Xvfb"):
        skip("Xvfb is not installed (scripts/install-deps.sh installs it)")
    shutil.rmtree(artefacts, ignore_errors=True)
    os.makedirs(artefacts)
    print(f"artefacts (pictures of the windows, printed pages): {artefacts}")

    root = tempfile.mkdtemp(prefix="trelok-acceptance-")
    xvfb, display = start_xvfb()
    if xvfb is None:
        shutil.rmtree(root, ignore_errors=True)
        skip(display)
    cups, env, problem = start_cups(root)
    try:
        if problem:
            skip(problem)
        appdir = os.path.join(root, "app")
        today = datetime.date.today()
        env = dict(env, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                   TRELOK_TEST_QUEUE=QUEUE, TRELOK_TEST_OUTPUT=output_file(root),
                   TRELOK_ACCEPTANCE_ARTEFACTS=artefacts, TRELOK_ACCEPTANCE_APPDIR=appdir)
        env.pop("TRELOK_DIR", None)
        try:
            r = subprocess.run([driver], env=env, capture_output=True, text=True, timeout=240)
            sys.stdout.write(r.stdout)
            sys.stdout.write(r.stderr)
            check("the story runs through the windows, the program ends with no window open",
                  r.returncode == 0, f"(exit status {r.returncode})")
        except subprocess.TimeoutExpired as e:
            sys.stdout.write((e.stdout or b"").decode(errors="replace"))
            check("the story runs through the windows", False, "(timed out)")
        if not os.path.exists(os.path.join(appdir, "trelok.db")):
            check("the application directory was installed", False)
            return
        year = str(today.year)
        stored, printed = expected_orders(year, today.strftime("%d.%m.%Y"))
        koor = check_database(appdir, stored, year)

        listed = []
        if os.path.exists(os.path.join(artefacts, "pages.txt")):
            listed = [line.split() for line in open(os.path.join(artefacts, "pages.txt"))]
        check("six pages printed: 1/Y, 1/Y again, 2/Y to 5/Y",
              [n for _, n in listed] == [o["TRELOK_BR"] for o in printed], f"({listed})")
        if len(listed) >= 2:
            first = [w[0] for w in word_boxes(os.path.join(artefacts, listed[0][0]))[0]]
            again = [w[0] for w in word_boxes(os.path.join(artefacts, listed[1][0]))[0]]
            check("the reprint of 1/Y carries the changed amount 13750, the first print 12500",
                  "12500" in first and "13750" not in first
                  and "13750" in again and "12500" not in again)
        lista = os.path.join(artefacts, "lista.pdf")
        text = " ".join(subprocess.run(["pdftotext", "-layout", lista, "-"], capture_output=True,
                                       text=True).stdout.split()) if os.path.exists(lista) else ""
        check("the list of today, printed on A4, has the company, page 1 / 1 and the totals",
              "Primer DOOEL" in text and "Strana 1 / 1" in text
              and "Vkupno za vid 205: 1 treloci, 880,50 den." in text
              and "VKUPNO: 5 treloci, 56 430,50 den." in text, f"({text[-300:]})")
        origin = imageable_origin(root)
        for (page, number), values in zip(listed, printed):
            check_page(f"{page} ({number}, amount {values['MKD_CEL']})",
                       os.path.join(artefacts, page), values, koor, origin)
        # The batch: 5/Y down to 2/Y in one job, each page as printed alone.
        batch = os.path.join(artefacts, "batch.pdf")
        pages = word_boxes(batch)[1] if os.path.exists(batch) else 0
        check("the batch of 5/Y to 2/Y printed as one job of four pages", pages == 4,
              f"({pages} pages)")
        for page, values in enumerate(reversed(printed[2:6]), 1):
            if pages == 4:
                check_page(f"batch page {page} ({values['TRELOK_BR']})", batch, values, koor,
                           origin, page=page)
    finally:
        stop_process(cups)
        stop_process(xvfb)
        if not os.environ.get("TRELOK_KEEP_CUPS"):
            shutil.rmtree(root, ignore_errors=True)
        else:
            print("kept", root)
        print(checks.summary())
        print(f"artefacts: {artefacts}")


if __name__ == "__main__":
    main()
    sys.exit(checks.status())
