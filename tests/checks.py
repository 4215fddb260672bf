"""Counted checks for the test scripts: PASS/FAIL lines and the closing count."""
import os
import shutil
import sys

SKIP = 77  # ctest's SKIP_RETURN_CODE for these scripts

_passed = 0
_failed = 0


def check(name, ok, detail="", quiet=False):
    """Counts one check; a passed one is printed unless quiet."""
    global _passed, _failed
    if ok:
        _passed += 1
        if not quiet:
            print(f"PASS   : {name}")
    else:
        _failed += 1
        print(f"FAIL!  : {name} {detail}")
    return ok


def failures():
    return _failed


def summary():
    """The closing line that ctest reads: 'N passed, M failed'."""
    return f"{_passed} passed, {_failed} failed"


def status():
    return 1 if _failed else 0


def skip(what, reason):
    print(f"SKIP   : {what}: {reason}")
    sys.exit(SKIP)


def finish():
    """Prints the closing line and ends the script with its status."""
    print(summary())
    sys.exit(status())


def remove_unless_kept(variable, *folders):
    """Removes a run's folders, unless the environment variable asks to keep them."""
    if os.environ.get(variable):
        print("kept", *folders)
        return
    for folder in folders:
        shutil.rmtree(folder, ignore_errors=True)
