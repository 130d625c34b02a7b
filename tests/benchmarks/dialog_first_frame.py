#!/usr/bin/env python3
"""How long pdedialog takes from its start to its first drawn frame on a CUPS queue, side by side
in one run with GTK's own print dialog (GtkPrintUnixDialog, gtk_print_dialog_probe) on the same
queue of the same private cupsd, under an Xvfb of its own.

Usage: tests/benchmarks/dialog_first_frame.py [BUILD_DIR (default build)] [--runs N (default 15)]

Three programs run N times each after one warm-up, in turn, so that a busy moment of the machine
costs all of them:
  pdedialog   `pdedialog --queue Q --print FILE --script S`, S holding the single line `quit`:
              the script runs once the window was drawn, so the program ends after its first frame
  gtk frame   `gtk_print_dialog_probe Q`: quits at its first frame, drawn before GTK's CUPS
              backend has listed any printer
  gtk ready   `gtk_print_dialog_probe Q --until ready`: quits at the first frame drawn after the
              dialog chose Q and read its options, what pdedialog's first frame already shows
Both programs load the GTK module first_frame_stamp, which stamps the first frame of the first
top-level window the same way in both; "first frame" is that stamp minus the moment just before
the process was started. "exit" is the whole run, start to exit.

The server is tests/cups/private_cupsd.sh, sourced by a bash child: its own folders in a temporary
folder, 127.0.0.1 only. The programs get CUPS_SERVER for it, and HOME, CUPS_SERVERROOT, TMPDIR
and the XDG folders inside the temporary folder, so nothing of the machine's CUPS or desktop
settings counts. A benchmark, not a test: it prints a table and fails only when a program fails.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PPD = os.path.join(SOURCE, "printers", "QUORVEN-v-DX7140K.ppd")
PRIVATE_CUPSD = os.path.join(SOURCE, "tests", "cups", "private_cupsd.sh")
QUEUE = "q7140"
RUN_LIMIT = 60

# Runs in bash with private_cupsd.sh sourced: starts the server, adds the queue, writes the
# server's address and waits until its standard input closes; stops the server on the way out.
SERVER_SCRIPT = r"""
set -u
. "$0"
work=$1 cupsd=$2
PATH=$PATH:/usr/sbin
trap stop_server EXIT
start_private_server >&2 || exit 1
add_queue "$3" "$4" >&2 || exit 1
echo "$server"
read -r _ || true
"""

PAGE = """%!PS-Adobe-3.0
%%Pages: 1
%%EndComments
%%Page: 1 1
/Helvetica findfont 12 scalefont setfont
72 720 moveto (QUORVEN test page) show
showpage
%%EOF
"""


def start_display():
    """Xvfb on a display number no other server holds; the process and the display name."""
    ready, written = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(written), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp", "-noreset"], pass_fds=[written],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(written)
    number = b""
    with os.fdopen(ready, "rb") as pipe:
        while not number.endswith(b"\n"):
            byte = pipe.read(1)
            if not byte:
                break
            number += byte
    if not number.strip():
        server.kill()
        sys.exit("Xvfb did not start")
    return server, ":" + number.decode().strip()


def start_cups(work, environment):
    """The private cupsd with the queue; the bash process that holds it and the server address."""
    cupsd = shutil.which("cupsd") or shutil.which("/usr/sbin/cupsd")
    if cupsd is None:
        sys.exit("cupsd is not installed (Debian package cups-daemon)")
    holder = subprocess.Popen(["bash", "-c", SERVER_SCRIPT, PRIVATE_CUPSD, work, cupsd, QUEUE, PPD],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=environment, text=True)
    server = holder.stdout.readline().strip()
    if not server:
        holder.wait()
        sys.exit("the private cupsd did not start")
    return holder, server


def run_once(command, environment):
    """One run: milliseconds to each stamp the program wrote and to its exit."""
    started = time.monotonic_ns()
    finished = subprocess.run(command, env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                              text=True, timeout=RUN_LIMIT)
    ended = time.monotonic_ns()
    if finished.returncode != 0:
        sys.exit("%s failed (%d):\n%s" % (command[0], finished.returncode, finished.stderr))
    times = {"exit": (ended - started) / 1e6}
    for line in finished.stderr.splitlines():
        words = line.split()
        if len(words) == 3 and words[0] == "stamp":
            times.setdefault(words[1], (int(words[2]) - started) / 1e6)
    if "first-frame" not in times:
        sys.exit("%s wrote no first-frame stamp (is first_frame_stamp loaded?):\n%s" % (command[0], finished.stderr))
    return times


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build", nargs="?", default=os.path.join(SOURCE, "build"))
    parser.add_argument("--runs", type=int, default=15)
    arguments = parser.parse_args()
    build = os.path.abspath(arguments.build)
    pdedialog = os.path.join(build, "host", "pdedialog", "pdedialog")
    probe = os.path.join(build, "tests", "benchmarks", "gtk_print_dialog_probe")
    module = os.path.join(build, "tests", "benchmarks", "libfirst_frame_stamp.so")
    plugins = os.path.join(build, "plugins")
    for path in (pdedialog, probe, module, plugins):
        if not os.path.exists(path):
            sys.exit("%s is missing: build pdedialog, the three panes, gtk_print_dialog_probe and "
                     "first_frame_stamp in %s" % (path, build))

    work = tempfile.mkdtemp(prefix="dialog-first-frame.")
    # The server's filters run as another user: they must reach the spool below this folder.
    os.chmod(work, 0o755)
    environment = {key: value for key, value in os.environ.items()
                   if not key.startswith(("CUPS_", "XDG_", "GTK_", "DBUS_SESSION"))}
    for name in ("home", "config", "cache", "data", "tmp", "client"):
        os.makedirs(os.path.join(work, name))
    environment.update(HOME=os.path.join(work, "home"), XDG_CONFIG_HOME=os.path.join(work, "config"),
                       XDG_CACHE_HOME=os.path.join(work, "cache"), XDG_DATA_HOME=os.path.join(work, "data"),
                       TMPDIR=os.path.join(work, "tmp"), CUPS_SERVERROOT=os.path.join(work, "client"),
                       NO_AT_BRIDGE="1", GDK_BACKEND="x11")
    display = holder = None
    try:
        display, environment["DISPLAY"] = start_display()
        holder, environment["CUPS_SERVER"] = start_cups(work, environment)
        environment["GTK_MODULES"] = module
        page = os.path.join(work, "page.ps")
        script = os.path.join(work, "quit.script")
        with open(page, "w") as out:
            out.write(PAGE)
        with open(script, "w") as out:
            out.write("quit\n")
        programs = [
            ("pdedialog", [pdedialog, "--plugins", plugins, "--queue", QUEUE, "--print", page, "--script", script]),
            ("gtk frame", [probe, QUEUE]),
            ("gtk ready", [probe, QUEUE, "--until", "ready"]),
        ]
        results = {name: [] for name, _ in programs}
        for run in range(arguments.runs + 1):
            # Turn by turn, each program first in one run of three.
            turn = programs[run % 3:] + programs[:run % 3]
            for name, command in turn:
                times = run_once(command, environment)
                if run > 0:
                    results[name].append(times)
    finally:
        if holder is not None:
            holder.stdin.close()
            holder.wait()
        if display is not None:
            display.terminate()
            display.wait()
        if not os.environ.get("KEEP_WORK"):
            shutil.rmtree(work, ignore_errors=True)

    def median(name, stamp):
        values = [times[stamp] for times in results[name] if stamp in times]
        return statistics.median(values) if values else float("nan")

    def spread(name, stamp):
        values = sorted(times[stamp] for times in results[name] if stamp in times)
        return "%.0f-%.0f" % (values[0], values[-1]) if values else "-"

    print("Medians of %d runs each, milliseconds from the start of the process (range in brackets)" % arguments.runs)
    print("%-10s %18s %18s %18s %18s" % ("program", "first frame", "exit", "queue listed", "queue ready"))
    for name, _ in programs:
        print("%-10s %18s %18s %18s %18s" % (name, *[
            "%.1f (%s)" % (median(name, stamp), spread(name, stamp)) if any(stamp in t for t in results[name]) else "-"
            for stamp in ("first-frame", "exit", "queue-listed", "queue-ready")]))
    ours = median("pdedialog", "first-frame")
    ready_frame = median("gtk ready", "ready-frame")
    print("gtk ready: first frame after the queue was ready %.1f (%s)" % (ready_frame, spread("gtk ready", "ready-frame")))
    print("ratio pdedialog / gtk, first frame:                 %.2f" % (ours / median("gtk frame", "first-frame")))
    print("ratio pdedialog / gtk, first frame showing the queue: %.2f" % (ours / ready_frame))
    print("ratio pdedialog / gtk, exit at first frame:          %.2f" % (
        median("pdedialog", "exit") / median("gtk frame", "exit")))


if __name__ == "__main__":
    main()
