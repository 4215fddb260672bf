#!/usr/bin/env python3
"""A private PostgreSQL server for the tests.

  pg_server.py start STATE_DIR   start a server, write its address to STATE_DIR/url
  pg_server.py stop STATE_DIR    stop it and remove its files
  pg_server.py restart STATE_DIR stop it and start it again (connections are cut)

The server's files and its socket live in a new temporary directory; it
listens only on the Unix socket there (no TCP address at all). When the
tests run as root, the server runs as the unprivileged user "nobody", which
owns that directory. Where no server can be started, STATE_DIR/skipped holds
the reason and the server tests report themselves as skipped with it.

Other scripts use server() as a context manager: it yields the address or
raises Unavailable with the reason.
"""
import contextlib
import glob
import os
import shutil
import subprocess
import sys
import tempfile


# Tests check content, not durability; a benchmark sets TRELOK_PG_FSYNC=on.
FSYNC = os.environ.get("TRELOK_PG_FSYNC", "off")


class Unavailable(Exception):
    pass


def _binaries():
    found = sorted(glob.glob("/usr/lib/postgresql/*/bin/initdb"))
    if not found:
        raise Unavailable("PostgreSQL is not installed (no initdb; Debian package postgresql)")
    return os.path.dirname(found[-1])


def _as_owner(command):
    if os.geteuid() == 0:
        return ["runuser", "-u", "nobody", "--"] + command
    return command


def start(tcp_port=None):
    """Starts a server; returns (address, server directory). With tcp_port it also listens on
    127.0.0.1 at that port, and the address is that one (for programs without Unix sockets:
    a Windows build under Wine)."""
    bindir = _binaries()
    root = tempfile.mkdtemp(prefix="trelok-pg-")
    os.chmod(root, 0o755)
    if os.geteuid() == 0:
        shutil.chown(root, "nobody", "nogroup")
    data = os.path.join(root, "data")
    log = os.path.join(root, "log")
    steps = [
        [os.path.join(bindir, "initdb"), "-D", data, "-A", "trust", "-U", "trelok",
         "-E", "UTF8", "--no-locale", "--no-sync"],
        [os.path.join(bindir, "pg_ctl"), "-D", data, "-l", log, "-w", "-t", "60",
         "-o", f"-k {root} -c listen_addresses='{'127.0.0.1' if tcp_port else ''}' "
               f"{f'-p {tcp_port} ' if tcp_port else ''}-c fsync={FSYNC} -c max_connections=60",
         "start"],
    ]
    for step in steps:
        run = subprocess.run(_as_owner(step), capture_output=True, text=True)
        if run.returncode != 0:
            reason = (run.stderr or run.stdout).strip().splitlines()
            tail = ""
            if os.path.exists(log):
                with open(log, errors="replace") as f:
                    tail = " ".join(f.read().strip().splitlines()[-3:])
            stop(root)
            raise Unavailable(
                f"the test server did not start: {os.path.basename(step[0])}: "
                f"{' '.join(reason[-2:])} {tail}".strip())
    if tcp_port:
        return f"postgresql://trelok@127.0.0.1:{tcp_port}/postgres", root
    return f"postgresql://trelok@/postgres?host={root}", root


def stop(root):
    data = os.path.join(root, "data")
    if os.path.exists(os.path.join(data, "postmaster.pid")):
        with contextlib.suppress(Unavailable):
            subprocess.run(_as_owner([os.path.join(_binaries(), "pg_ctl"), "-D", data,
                                      "-m", "immediate", "-w", "stop"]),
                           capture_output=True)
    shutil.rmtree(root, ignore_errors=True)


def restart(root):
    data = os.path.join(root, "data")
    # With its log file: otherwise the server would keep this script's
    # output open.
    subprocess.run(_as_owner([os.path.join(_binaries(), "pg_ctl"), "-D", data, "-m", "fast",
                              "-l", os.path.join(root, "log"), "-w", "restart"]),
                   check=True, capture_output=True)


def psql(url_or_root, sql, database="postgres"):
    root = url_or_root.split("host=")[-1] if "host=" in url_or_root else url_or_root
    return subprocess.run([os.path.join(_binaries(), "psql"), "-h", root, "-U", "trelok",
                           "-d", database, "-v", "ON_ERROR_STOP=1", "-At", "-c", sql],
                          check=True, capture_output=True, text=True).stdout


@contextlib.contextmanager
def server():
    url, root = start()
    try:
        yield url, root
    finally:
        stop(root)


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop", "restart"):
        print(__doc__, file=sys.stderr)
        return 2
    state = sys.argv[2]
    if sys.argv[1] == "start":
        shutil.rmtree(state, ignore_errors=True)
        os.makedirs(state)
        try:
            url, root = start()
        except Unavailable as why:
            with open(os.path.join(state, "skipped"), "w") as f:
                f.write(str(why))
            print(f"server tests will be skipped: {why}")
            return 0
        with open(os.path.join(state, "root"), "w") as f:
            f.write(root)
        with open(os.path.join(state, "url"), "w") as f:
            f.write(url)
        print(f"test server at {url}")
        return 0
    root_file = os.path.join(state, "root")
    if sys.argv[1] == "restart":
        with open(root_file) as f:
            restart(f.read().strip())
        return 0
    if os.path.exists(root_file):
        with open(root_file) as f:
            stop(f.read().strip())
    shutil.rmtree(state, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
