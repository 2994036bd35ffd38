#!/usr/bin/env python3
"""Start-up of the Windows program under Wine, as a ratio to Wine's Notepad.

Alternately starts Wine's own notepad.exe and a copy of
WIN_BUILD/program/vorbelzoz.exe (its web hosts pointed at a closed port, so
no service is started) on a private X display, and times each from the
start of the process to its first visible window: Notepad's main window and
the program's word-bank window, which opens once the bank list is filled.
The Wine server is kept running, so both pay the same for Wine itself. The
first run of each is a warm-up; the medians of the rest and their ratio are
printed. The ratio, not the times, compares between machines.

  bench/win32_startup_bench.py [--win-build build/win32] [--baseline FILE] [--prefix DIR] [--runs 9] [--dpi 96]

--baseline also times another vorbelzoz.exe (for example the build before a
change) in a copy of the same folder, in turn with the others, so both
ratios see the same load; --dpi sets the display's LogPixels first.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "win32"))
from wine_session import WineSession  # noqa: E402

TIMEOUT = 60


def visible_window(env, title):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], env=env,
                           capture_output=True, text=True, timeout=TIMEOUT).stdout.split()
    return bool(found)


def time_to_window(session, args, title, cwd):
    """Milliseconds from the start of the process to its first visible window titled title."""
    env = session.env()
    started = time.perf_counter()
    process = subprocess.Popen(["wine", *args], cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        while not visible_window(env, title):
            if time.perf_counter() - started > TIMEOUT or process.poll() is not None:
                raise RuntimeError(f"no window {title!r} from {args[0]} (exit code {process.poll()})")
            time.sleep(0.01)
        return (time.perf_counter() - started) * 1000
    finally:
        process.kill()
        process.wait()
        # Until the window is gone, the next run could find it.
        deadline = time.perf_counter() + TIMEOUT
        while visible_window(env, title) and time.perf_counter() < deadline:
            time.sleep(0.05)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--win-build", default=os.path.join(ROOT, "build", "win32"))
    parser.add_argument("--baseline", help="another vorbelzoz.exe to time in turn with this one")
    parser.add_argument("--prefix", default=os.path.join(ROOT, "build", "wine-bench"))
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--dpi", type=int, default=96)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="vorbelzoz-startup-")
    programs = {"vorbelzoz": os.path.join(work, "program")}
    if args.baseline:
        programs["baseline"] = os.path.join(work, "baseline")
    for name, folder in programs.items():
        shutil.copytree(os.path.join(args.win_build, "program"), folder)
        if name == "baseline":
            shutil.copy(args.baseline, os.path.join(folder, "vorbelzoz.exe"))
        with open(os.path.join(folder, "vorbelzoz.ini"), "w", encoding="ascii", newline="\r\n") as out:
            out.write("dictionary=127.0.0.1:9\nspeech=127.0.0.1:9\n")
    log = open(os.path.join(work, "wine.log"), "w")
    session = WineSession(os.path.abspath(args.prefix), work, log, screen="2400x1800x24")
    server = None
    try:
        session.start()
        session.set_log_pixels(args.dpi)
        server = subprocess.Popen(["wineserver", "-f", "-p"], env=session.env(), stdout=log, stderr=log)
        times = {"notepad": [], **{name: [] for name in programs}}
        for run in range(args.runs + 1):
            measured = {"notepad": time_to_window(session, ["notepad.exe"], "Notepad$", work)}
            for name, folder in programs.items():
                measured[name] = time_to_window(session, [os.path.join(folder, "vorbelzoz.exe")], "^选择词库$",
                                                folder)
            if run > 0:  # the first is a warm-up
                for name, ms in measured.items():
                    times[name].append(ms)
    finally:
        if session.display is not None and args.dpi != 96:
            session.set_log_pixels(96)
        session.stop()
        if server is not None:
            server.wait(30)
        log.close()
        shutil.rmtree(work, ignore_errors=True)
    print(f"runs: {args.runs} at {args.dpi} DPI; milliseconds to the first window, median (range)")
    for name, values in times.items():
        print(f"{name}: {statistics.median(values):.0f} ({min(values):.0f}-{max(values):.0f})")
    notepad = statistics.median(times["notepad"])
    for name in programs:
        print(f"ratio {name} / notepad: {statistics.median(times[name]) / notepad:.2f}")


if __name__ == "__main__":
    sys.exit(main())
