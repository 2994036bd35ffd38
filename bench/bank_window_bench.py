#!/usr/bin/env python3
"""How much longer the word-bank window takes to appear with every bundled
bank than with only the three samples, on both builds, in one run.

Each build's program folder is copied twice: once as built (the samples and
every exam chapter) and once with only the samples. The program is started
RUNS times in each, alternately, and the time from its start until the
bank window is shown is taken: under Wine by the end-to-end driver (which
also reads the rows and their marks), on Linux under Xvfb by polling for
the window. Prints each build's medians and their ratio.

  bank_window_bench.py --source DIR [--win-build DIR] [--linux-program DIR] [--runs N] [--work DIR]
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
BANK_WINDOW = "^选择词库$"


def bank_count(program):
    return sum(len(files) for _, _, files in os.walk(os.path.join(program, "单词表")))


def prepare_folders(built, source, work):
    """The built program folder, and a copy of it with only the sample banks."""
    full = os.path.join(work, "all-banks")
    samples = os.path.join(work, "samples-only")
    for folder in (full, samples):
        shutil.rmtree(folder, ignore_errors=True)
        shutil.copytree(built, folder, symlinks=True)
        for stale in ("学习记录.db", "学习记录.db-wal", "学习记录.db-shm"):
            if os.path.exists(os.path.join(folder, stale)):
                os.remove(os.path.join(folder, stale))
        # No web service is asked while the window opens; a closed port keeps
        # the bundled one from being started.
        with open(os.path.join(folder, "vorbelzoz.ini"), "w", newline="\r\n") as out:
            out.write("dictionary=127.0.0.1:9\nspeech=127.0.0.1:9\n")
    shutil.rmtree(os.path.join(samples, "单词表"))
    shutil.copytree(os.path.join(source, "data", "单词表"), os.path.join(samples, "单词表"))
    return full, samples


def summary(name, times, full, samples):
    a, b = statistics.median(times[full]), statistics.median(times[samples])
    print(f"{name}: {bank_count(full)} banks median {a:.0f} ms, {bank_count(samples)} banks median {b:.0f} ms, "
          f"ratio {a / b:.2f} (runs: {len(times[full])}; all banks {sorted(times[full])}, "
          f"samples {sorted(times[samples])})")
    return a / b


def bench_wine(args, work):
    os.makedirs(work, exist_ok=True)
    sys.path.insert(0, os.path.join(args.source, "tests", "win32"))
    from wine_session import WineSession, windows_path

    full, samples = prepare_folders(os.path.join(args.win_build, "program"), args.source, work)
    driver = os.path.join(args.win_build, "e2e-driver", "vorbelzoz_e2e_driver.exe")
    log = open(os.path.join(work, "wine.log"), "w")
    session = WineSession(os.path.join(work, "wineprefix"), work, log)
    times = {full: [], samples: []}
    try:
        session.start()
        report = os.path.join(work, "driver-report.json")
        for run in range(args.runs + 1):
            for folder in (full, samples):
                if os.path.exists(report):
                    os.remove(report)
                session.run([driver, windows_path(os.path.join(folder, "vorbelzoz.exe")), windows_path(report),
                             "bank-window"], timeout=180)
                seen = json.load(open(report, encoding="utf-8")) if os.path.exists(report) else {}
                if "bank_window_ms" not in seen:
                    raise RuntimeError(f"no time from the driver: {seen}")
                if run > 0:  # the first round warms the prefix and the file cache
                    times[folder].append(seen["bank_window_ms"])
    finally:
        session.stop()
        log.close()
    return summary("Win32 under Wine", times, full, samples)


def window_shown(env):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", BANK_WINDOW], env=env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return found.returncode == 0 and found.stdout.strip() != b""


def free_display():
    for number in range(150, 200):
        if not os.path.exists(f"/tmp/.X{number}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{number}"):
            return f":{number}"
    raise RuntimeError("no free X display number")


def bench_qt(args, work):
    os.makedirs(work, exist_ok=True)
    full, samples = prepare_folders(args.linux_program, args.source, work)
    log = open(os.path.join(work, "xvfb.log"), "w")
    display = free_display()
    # -noreset: the server would otherwise reset, and refuse, as each run ends.
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
                            stdout=log, stderr=log)
    env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy")
    env.pop("QT_QPA_PLATFORM", None)
    times = {full: [], samples: []}
    try:
        deadline = time.monotonic() + 15
        while not os.path.exists("/tmp/.X11-unix/X" + display[1:]) and time.monotonic() < deadline:
            time.sleep(0.1)
        for run in range(args.runs + 1):
            for folder in (full, samples):
                started = time.monotonic()
                program = subprocess.Popen([os.path.join(folder, "vorbelzoz")], env=env, stdout=log, stderr=log)
                try:
                    while not window_shown(env):
                        if time.monotonic() - started > 60:
                            raise RuntimeError("the bank window did not appear")
                        time.sleep(0.005)
                    elapsed = (time.monotonic() - started) * 1000
                finally:
                    program.kill()
                    program.wait()
                if run > 0:
                    times[folder].append(round(elapsed))
    finally:
        xvfb.terminate()
        xvfb.wait()
        log.close()
    return summary("Qt under Xvfb", times, full, samples)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", default=os.path.dirname(HERE))
    parser.add_argument("--win-build")
    parser.add_argument("--linux-program")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--work")
    args = parser.parse_args()
    work = args.work or tempfile.mkdtemp(prefix="bank-window-bench-")
    os.makedirs(work, exist_ok=True)
    if args.win_build:
        bench_wine(args, os.path.join(work, "wine"))
    if args.linux_program:
        bench_qt(args, os.path.join(work, "qt"))


if __name__ == "__main__":
    main()
