"""A private CUPS server with a queue that writes PDF to a file, and the
reading of word positions from a printed PDF. Shared by the printing tests.
"""
import os
import re
import shutil
import signal
import subprocess
import time

QUEUE = "trelok-test"
PPD = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd"


def missing_requirement():
    """Why CUPS cannot be started here, or None."""
    for tool in ("cupsd", "lpadmin", "lpstat", "pdftotext"):
        if not shutil.which(tool) and not os.path.exists(f"/usr/sbin/{tool}"):
            return f"{tool} is not installed (scripts/install-deps.sh installs it)"
    if not os.path.exists(PPD):
        return f"{PPD} is missing (package cups-filters)"
    if os.geteuid() != 0:
        return "cupsd must be started as root"
    return None


def start_cups(root):
    """Starts cupsd under root with the queue QUEUE writing root/out/job.pdf.
    Returns (process, environment for the clients, problem or None)."""
    if ":/usr/sbin" not in os.environ["PATH"]:
        os.environ["PATH"] += ":/usr/sbin"
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
    problem = add_queue(env, QUEUE, output_file(root))
    if problem:
        return proc, None, problem
    return proc, env, None


def add_queue(env, name, out):
    """Adds the queue name writing PDF to the file out; the problem, or None."""
    added = subprocess.run(["lpadmin", "-p", name, "-E", "-v", f"file://{out}", "-P", PPD],
                           env=env, capture_output=True, text=True)
    return None if added.returncode == 0 else "lpadmin failed: " + added.stderr.strip()


def stop_process(proc):
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def output_file(root):
    return os.path.join(root, "out", "job.pdf")


def imageable_origin(root):
    """The printable area's top-left corner on A4, in points, as the queue's PPD gives it."""
    ppd = open(os.path.join(root, "etc", "ppd", QUEUE + ".ppd"), encoding="latin-1").read()
    area = re.search(r'\*ImageableArea A4/[^:]*: "([\d.]+) ([\d.]+) ([\d.]+) ([\d.]+)"', ppd)
    paper = re.search(r'\*PaperDimension A4/[^:]*: "([\d.]+) ([\d.]+)"', ppd)
    left, _bottom, _right, top = map(float, area.groups())
    return left, float(paper.group(2)) - top


def word_boxes(pdf, page=None):
    """Every word of the PDF (or of its page, counted from 1) as (text, x_min, y_min, x_max,
    y_max) in points, and the page count."""
    pages = ["-f", str(page), "-l", str(page)] if page else []
    html = subprocess.run(["pdftotext", "-bbox"] + pages + [pdf, "-"], capture_output=True,
                          text=True).stdout
    found = []
    for m in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" '
                         r'yMax="([\d.]+)">([^<]*)</word>', html):
        found.append((unescape(m.group(5)),) + tuple(float(v) for v in m.groups()[:4]))
    return found, html.count("<page ")


def unescape(text):
    return (text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", '"')
            .replace("&#39;", "'").replace("&amp;", "&"))


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
