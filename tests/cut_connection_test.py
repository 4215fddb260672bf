#!/usr/bin/python3
"""Saving on a server whose sessions are ended at random, tried from outside.

One workstation imports orders into a database on a private PostgreSQL
server while a second connection ends the program's sessions every 5-50 ms
(pg_terminate_backend); the server stays up. Afterwards every row reported
stored is there, byte-identical to the same line imported without
interruptions, every row reported refused is absent, no row is stored twice,
the counter was never behind the highest number (sampled between the
kills), and a second workstation saves the next number.
Where no server can be started, the test exits with 77 (skipped).
Usage: cut_connection_test.py TRELOK_BINARY [ROWS]
"""
import datetime
import json
import os
import random
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import checks  # noqa: E402
from checks import check  # noqa: E402
import pg_server  # noqa: E402

YEAR = str(datetime.date.today().year)
TAXPAYER = "4030999123456"
TERMINATE = ("SELECT count(*) FROM (SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
             "WHERE application_name='trelok') t")
# The counter against the highest stored number of the year, in one snapshot.
BEHIND = ("SELECT coalesce((SELECT max(split_part(trelok_br, '/', 1)::int) FROM tbl_trel "
          "WHERE trelok_br LIKE '%%/%s'), 0) - coalesce((SELECT split_part(tekoven_br, '/', 1)::int "
          "FROM tbl_broj WHERE godina='%s' AND tip_dokum='TRELOK'), 0)" % (YEAR, YEAR))


def environment():
    env = dict(os.environ)
    env["QT_QPA_PLATFORM"] = "offscreen"
    env.setdefault("XDG_RUNTIME_DIR", tempfile.mkdtemp())
    return env


ENV = environment()


def write_orders(path, count):
    """count valid orders of kind 108; line L carries "row-L" in NALOG1."""
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("VID,NALOG1,DAN_BR,CEL1,MKD_CEL,MKD_DEC,UP_SMET2,NACIN,DATUM,POVIK\r\n")
        for i in range(count):
            f.write(f'108,"row-{i + 2} ""q"", \u0107",{TAXPAYER},{TAXPAYER},{i + 1},00,004,2,'
                    f"08.12.2026,108-{YEAR}-1010-{i}\r\n")


class Database:
    def __init__(self, root, server_root, name):
        self.server_root = server_root
        self.name = name
        self.root = os.path.join(root, name)
        pg_server.psql(server_root, f"CREATE DATABASE {name}")
        self.url = f"postgresql://trelok@/{name}?host={server_root}"

    def sql(self, statement):
        return pg_server.psql(self.server_root, statement, self.name)

    def command(self, workstation):
        return ["--dir", os.path.join(self.root, workstation), "--db", self.url]

    def install(self, trelok):
        subprocess.run([trelok] + self.command("first") +
                       ["--export", os.path.join(self.root, "e.csv")],
                       env=ENV, check=True, capture_output=True)
        self.sql(f"INSERT INTO tbl_obvr (dec_cod) VALUES ('{TAXPAYER}')")

    def run_import(self, trelok, workstation, path):
        return subprocess.run([trelok] + self.command(workstation) + ["--import", path],
                              env=ENV, capture_output=True, text=True, timeout=600)

    def orders(self):
        """number -> every column as stored."""
        rows = [json.loads(line) for line in
                self.sql("SELECT row_to_json(t) FROM tbl_trel t").splitlines() if line]
        return [(row.pop("trelok_br"), row) for row in rows]

    def counter(self):
        return self.sql(f"SELECT tekoven_br FROM tbl_broj WHERE godina='{YEAR}' "
                        "AND tip_dokum='TRELOK'").strip()


def outcomes(output):
    """line -> number stored, or None when refused; and the output's other lines."""
    result, other = {}, []
    for text in output.splitlines():
        line, _, rest = text.partition(": ")
        if not line.isdigit() or not rest:
            other.append(text)
        elif rest.startswith("refused: "):
            result[int(line)] = None
        else:
            result[int(line)] = rest
    return result, other


class Killer(threading.Thread):
    """Ends the program's sessions every 5-50 ms from a connection of its own
    and samples the counter against the stored numbers in between."""

    def __init__(self, database):
        super().__init__(daemon=True)
        self.database = database
        self.stop = threading.Event()
        self.killed = 0
        self.samples = 0
        self.behind = []
        self.psql = subprocess.Popen(
            [os.path.join(pg_server._binaries(), "psql"), "-h", database.server_root,
             "-U", "trelok", "-d", database.name, "-At", "-v", "ON_ERROR_STOP=1"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)

    def ask(self, statement):
        self.psql.stdin.write(statement + ";\n")
        self.psql.stdin.flush()
        return int(self.psql.stdout.readline())

    def run(self):
        rng = random.Random(20261208)
        while not self.stop.wait(rng.uniform(0.005, 0.05)):
            self.killed += self.ask(TERMINATE)
            behind = self.ask(BEHIND)
            self.samples += 1
            if behind > 0:
                self.behind.append(behind)
        self.psql.stdin.close()
        self.psql.wait()


def main():
    trelok = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    try:
        _, server_root = pg_server.start()
    except pg_server.Unavailable as why:
        checks.skip("saving with sessions ended at random", why)
    try:
        with tempfile.TemporaryDirectory() as root:
            cut_sessions(trelok, root, server_root, count)
    finally:
        pg_server.stop(server_root)
    print(checks.summary())
    sys.exit(checks.status())


def cut_sessions(trelok, root, server_root, count):
    path = os.path.join(root, "orders.csv")
    write_orders(path, count)
    # Lines imported without interruptions show what each line must look
    # like: the same row but for the three columns the file varies per line.
    sample = os.path.join(root, "sample.csv")
    write_orders(sample, 3)
    reference = Database(root, server_root, "reference")
    reference.install(trelok)
    clean = reference.run_import(trelok, "clerk", sample)
    check("uninterrupted import stores every row", clean.returncode == 0,
          clean.stderr[-300:])
    by_number = dict(reference.orders())
    samples = {line: by_number[number] for line, number in outcomes(clean.stdout)[0].items()}

    def expected_row(line):
        row = dict(samples[2])
        row.update(nalog1=f'row-{line} "q", \u0107', mkd_cel=str(line - 1),
                   povik=f"108-{YEAR}-1010-{line - 2}")
        return row

    check("the varying columns are the three of the file",
          all(samples[line] == expected_row(line) for line in samples), str(samples))
    expected = {line: expected_row(line) for line in range(2, count + 2)}

    cut = Database(root, server_root, "cut")
    cut.install(trelok)
    killer = Killer(cut)
    started = time.monotonic()
    proc = subprocess.Popen([trelok] + cut.command("clerk") + ["--import", path], env=ENV,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    # Sessions are ended once the import stores (a start whose session is
    # ended is refused as a whole, which is not what is tried here).
    # Read unbuffered: what a buffered readline took beyond its line would
    # be missed by communicate, which reads the pipe itself.
    first = b""
    while not first.endswith(b"\n"):
        chunk = os.read(proc.stdout.fileno(), 1)
        if not chunk:
            break
        first += chunk
    first = first.decode()
    killer.start()
    rest, errors = proc.communicate(timeout=600)
    killer.stop.set()
    killer.join()
    seconds = time.monotonic() - started

    reported, other = outcomes(first + rest)
    stored_lines = {line: n for line, n in reported.items() if n}
    refused_lines = [line for line, n in reported.items() if not n]
    print(f"rows tried {count}, reported stored {len(stored_lines)}, refused "
          f"{len(refused_lines)}, sessions ended {killer.killed}, counter samples "
          f"{killer.samples}, import {seconds:.1f} s")
    check("every line has one outcome on one line of its own",
          sorted(reported) == list(range(2, count + 2)) and not other,
          f"{len(reported)} outcomes, other lines: {other[:3]}")
    check("exit status says whether every row was stored",
          proc.returncode == (1 if refused_lines else 0), f"{proc.returncode} {errors[-300:]}")
    check("sessions were ended during the import", killer.killed >= 20, str(killer.killed))

    rows = cut.orders()
    by_number = dict(rows)
    by_line = {}
    for number, row in rows:
        line = int(row["nalog1"].split(" ")[0].split("-")[1])
        by_line.setdefault(line, []).append(number)
    lost = [(line, n) for line, n in stored_lines.items() if by_number.get(n) != expected[line]]
    check("every row reported stored is there, byte-identical", not lost, str(lost[:3]))
    present = [line for line in refused_lines if line in by_line]
    check("every row reported refused is absent", not present, str(present[:3]))
    twice = {line: numbers for line, numbers in by_line.items() if len(numbers) > 1}
    check("no row stored twice, no number twice", not twice and len(by_number) == len(rows),
          str(list(twice.items())[:3]))
    unreported = [line for line in by_line if line not in stored_lines]
    check("nothing stored that was not reported stored", not unreported, str(unreported[:3]))
    highest = max((int(n.split("/")[0]) for n in by_number), default=0)
    counter = cut.counter()
    check("the counter was never behind the highest number",
          not killer.behind and int(counter.split("/")[0] or 0) >= highest,
          f"behind in {len(killer.behind)} of {killer.samples} samples, {counter} < {highest}")

    # A second workstation saves the next number afterwards.
    one = os.path.join(root, "one.csv")
    write_orders(one, 1)
    after = cut.run_import(trelok, "second", one)
    check("a second workstation saves afterwards",
          after.returncode == 0 and after.stdout.strip() == f"2: {highest + 1}/{YEAR}",
          f"{after.returncode} {after.stdout.strip()} {after.stderr[-300:]}")


main()
