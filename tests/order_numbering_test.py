#!/usr/bin/python3
"""Numbering that neither loses nor repeats an order, tried from outside.

Two copies of the program import orders into one database at the same time,
and an importing copy is killed at random moments. Afterwards every order
reported as stored is there with its content, no number is used twice and
the counter is not behind the highest number.
With the engine "postgresql" the copies are clerks at two workstations
(application directories of their own) sharing a database on a private
PostgreSQL server that the script starts and stops; where it cannot start,
the test exits with 77 (skipped).
Usage: order_numbering_test.py TRELOK_BINARY [KILLS] [sqlite|postgresql]
"""
import datetime
import os
import random
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import checks  # noqa: E402
from checks import check  # noqa: E402
import pg_server  # noqa: E402

def environment():
    env = dict(os.environ)
    env["QT_QPA_PLATFORM"] = "offscreen"
    env.setdefault("XDG_RUNTIME_DIR", tempfile.mkdtemp())
    return env


def write_orders(path, tag, count):
    """count valid orders of kind 108, each marked in NALOG1."""
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("VID,NALOG1,DAN_BR,CEL1,MKD_CEL,MKD_DEC,UP_SMET2,NACIN,DATUM,POVIK\r\n")
        for i in range(count):
            f.write(f'108,"{tag}-{i} ""q"", ;",4030999123456,4030999123456,{i + 1},00,004,2,'
                    f"08.12.2026,108-{YEAR}-1010-{i}\r\n")


def reported(output):
    """line -> number of the rows reported stored."""
    stored = {}
    for line in output.splitlines():
        row, _, rest = line.partition(": ")
        if rest and not rest.startswith("refused"):
            stored[int(row)] = rest.strip()
    return stored


class FileEngine:
    """Every copy works in one application directory on its SQLite file."""

    def __init__(self, root, name):
        self.directory = os.path.join(root, name)

    def command(self, clerk):
        return ["--dir", self.directory]

    def install(self, trelok):
        install(trelok, self.directory)

    def state(self):
        return state(os.path.join(self.directory, "trelok.db"))


class ServerEngine:
    """Each clerk has a directory of its own; the orders are on the server."""

    def __init__(self, root, name):
        self.root = os.path.join(root, name)
        self.server_root = SERVER[1]
        self.database = name
        pg_server.psql(self.server_root, f"CREATE DATABASE {name}")
        self.url = f"postgresql://trelok@/{name}?host={self.server_root}"

    def command(self, clerk):
        return ["--dir", os.path.join(self.root, clerk), "--db", self.url]

    def install(self, trelok):
        subprocess.run([trelok] + self.command("first") +
                       ["--export", os.path.join(self.root, "e.csv")],
                       env=ENV, check=True, capture_output=True)
        self.sql("INSERT INTO tbl_obvr (dec_cod) VALUES ('4030999123456')")

    def sql(self, statement):
        return pg_server.psql(self.server_root, statement, self.database)

    def state(self):
        rows = [tuple(line.split("\x1f", 1)) for line in self.sql(
            "SELECT trelok_br || chr(31) || nalog1 FROM tbl_trel").splitlines() if line]
        counter = self.sql("SELECT tekoven_br FROM tbl_broj WHERE godina='%s' "
                           "AND tip_dokum='TRELOK'" % YEAR).strip()
        return rows, (counter or None), "ok"


def state(db):
    con = sqlite3.connect(db, timeout=30)
    rows = con.execute("SELECT TRELOK_BR, NALOG1 FROM tbl_Trel").fetchall()
    counter = con.execute("SELECT tekoven_br FROM tbl_Broj WHERE godina=? AND tip_dokum='TRELOK'",
                          (YEAR,)).fetchall()
    integrity = con.execute("PRAGMA integrity_check").fetchone()[0]
    con.close()
    return rows, (counter[0][0] if counter else None), integrity


def sequence(number):
    return int(number.split("/")[0])


def install(trelok, directory):
    # The first start installs; an export of the empty register is a quiet one.
    subprocess.run([trelok, "--dir", directory, "--export", os.path.join(directory, "e.csv")],
                   env=ENV, check=True, capture_output=True)
    con = sqlite3.connect(os.path.join(directory, "trelok.db"))
    con.execute("INSERT INTO tbl_obvr (dec_cod) VALUES ('4030999123456')")
    con.commit()
    con.close()


def two_clerks(trelok, root):
    engine = ENGINE(root, "two")
    engine.install(trelok)
    files = []
    for tag in ("a", "b"):
        path = os.path.join(root, f"{tag}.csv")
        write_orders(path, tag, 500)
        files.append(path)
    procs = [subprocess.Popen([trelok] + engine.command(f"clerk{i}") + ["--import", f], env=ENV,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
             for i, f in enumerate(files)]
    outputs = [p.communicate(timeout=600) for p in procs]
    codes = [p.returncode for p in procs]
    refusals = [line for o in outputs for line in o[0].splitlines() if "refused" in line]
    check("both imports exit 0", codes == [0, 0],
          f"{codes} {[o[1][-300:] for o in outputs]} {refusals[:3]}")
    stored = [reported(o[0]) for o in outputs]
    refusals = [line for o in outputs for line in o[0].splitlines() if "refused" in line]
    check("every row reported stored", [len(s) for s in stored] == [500, 500],
          f"{[len(s) for s in stored]} {refusals[:3]}")
    rows, counter, integrity = engine.state()
    numbers = sorted(sequence(n) for n, _ in rows)
    check("1000 distinct numbers 1..1000", numbers == list(range(1, 1001)),
          f"{len(numbers)} rows, {len(set(numbers))} distinct")
    check("counter at 1000", counter == f"1000/{YEAR}", str(counter))
    check("database intact", integrity == "ok", integrity)
    by_number = dict(rows)
    wrong = [(tag, line, number) for tag, s in zip("ab", stored) for line, number in s.items()
             if by_number.get(number) != f'{tag}-{line - 2} "q", ;']
    check("each reported number holds its own row", not wrong, str(wrong[:3]))


def import_pace(trelok, engine, root, promised):
    """Seconds until an uninterrupted import reports its first row, and until
    it ends; its rows join the promised ones. The kills land around this pace,
    so some fall in the middle of an import however busy the machine is."""
    path = os.path.join(root, "pace.csv")
    write_orders(path, "pace", ROWS_PER_KILL)
    start = time.monotonic()
    proc = subprocess.Popen([trelok] + engine.command("clerk0") + ["--import", path], env=ENV,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    first_line = proc.stdout.readline()
    first = time.monotonic() - start
    rest, _ = proc.communicate()
    whole = time.monotonic() - start
    stored = reported(first_line + rest)
    check("an uninterrupted import stores every row", len(stored) == ROWS_PER_KILL,
          f"{len(stored)} rows, exit {proc.returncode}")
    for line, number in stored.items():
        promised[number] = f'pace-{line - 2} "q", ;'
    return first, whole


def kills(trelok, root, count):
    engine = ENGINE(root, "kills")
    engine.install(trelok)
    rng = random.Random(20261208)
    promised = {}  # number -> NALOG1 reported stored
    problems = []
    first, whole = import_pace(trelok, engine, root, promised)
    # From half the time to the first stored row to near the end.
    earliest, latest = 0.5 * first, first + 0.8 * (whole - first)
    for run in range(count):
        path = os.path.join(root, f"k{run}.csv")
        write_orders(path, f"k{run}", ROWS_PER_KILL)
        proc = subprocess.Popen([trelok] + engine.command(f"clerk{run % 2}") + ["--import", path],
                                env=ENV,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        time.sleep(rng.uniform(earliest, latest))
        proc.send_signal(signal.SIGKILL)
        output, _ = proc.communicate()
        for line, number in reported(output).items():
            if number in promised:
                problems.append(f"run {run}: {number} reported twice")
            promised[number] = f'k{run}-{line - 2} "q", ;'
        rows, counter, integrity = engine.state()
        numbers = [sequence(n) for n, _ in rows]
        if integrity != "ok":
            problems.append(f"run {run}: integrity {integrity}")
        if len(numbers) != len(set(numbers)):
            problems.append(f"run {run}: a number is used twice")
        if numbers and (counter is None or sequence(counter) < max(numbers)):
            problems.append(f"run {run}: counter {counter} behind {max(numbers)}")
        by_number = dict(rows)
        lost = [n for n, text in promised.items() if by_number.get(n) != text]
        if lost:
            problems.append(f"run {run}: reported orders lost or changed: {lost[:3]}")
    rows, _, _ = engine.state()
    check(f"{count} kills: nothing reported stored was lost, no number twice, counter not behind",
          not problems, "; ".join(problems[:5]))
    killed = len(rows) - ROWS_PER_KILL
    check("kills landed mid-import (some rows stored, not all)",
          0 < killed < count * ROWS_PER_KILL,
          f"{killed} rows; first row after {first:.2f} s, import {whole:.2f} s")


YEAR = str(datetime.date.today().year)
ROWS_PER_KILL = 200  # more than a copy stores before the latest kill
ENV = environment()


ENGINE = FileEngine
SERVER = None


def main():
    global ENGINE, SERVER
    trelok = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 100
    engine = sys.argv[3] if len(sys.argv) > 3 else "sqlite"
    if engine == "postgresql":
        try:
            SERVER = pg_server.start()
        except pg_server.Unavailable as why:
            checks.skip("order numbering on the server", why)
        ENGINE = ServerEngine
    try:
        with tempfile.TemporaryDirectory() as root:
            two_clerks(trelok, root)
            kills(trelok, root, count)
    finally:
        if SERVER:
            pg_server.stop(SERVER[1])
    print(f"Totals: {checks.summary()}")
    print(checks.summary())
    sys.exit(checks.status())


main()
