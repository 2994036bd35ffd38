#!/usr/bin/env python3
"""How long the statistics window takes to open with a large record, on
both builds: 100,000 answers over 10,000 words across 400 days, with every
bundled bank in the word-bank folder.

The Linux program makes its record at a first start; the answers and word
histories are then written into it, and the same file serves the Windows
program. Each run starts the program, waits for the bank window and clicks
学习统计: under Xvfb the time until the window is shown is taken by polling
(xdotool, a few milliseconds per look), under Wine by the end-to-end
driver's statistics mode. Prints the medians.

  statistics_window_bench.py --source DIR [--linux-program DIR] [--win-build DIR] [--runs N] [--work DIR]
"""
import argparse
import datetime
import json
import os
import shutil
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import time

ANSWERS, WORDS, DAYS = 100000, 10000, 400


def xdotool(*args):
    return subprocess.run(["xdotool", *args], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          text=True).stdout.split()


def wait_for(name, timeout=60, pause=0.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = xdotool("search", "--onlyvisible", "--name", name)
        if found:
            return found[0]
        time.sleep(pause)
    raise RuntimeError(name + " did not open")


def copy_program(built, folder):
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(built, folder, symlinks=True)
    # No web service is asked; a closed port keeps the bundled one from starting.
    with open(os.path.join(folder, "vorbelzoz.ini"), "w", newline="\r\n") as out:
        out.write("dictionary=127.0.0.1:9\nspeech=127.0.0.1:9\n")


def seed(record, banks):
    entries = []
    seen = set()
    for root, _, files in sorted(os.walk(banks)):
        for name in sorted(files):
            for line in open(os.path.join(root, name), "rb").read().split(b"\r\n"):
                if line and line not in seen and len(entries) < WORDS:
                    seen.add(line)
                    entries.append(line)
    today = (datetime.datetime.now() - datetime.timedelta(hours=4)).date()
    today_number = (today - datetime.date(1970, 1, 1)).days
    db = sqlite3.connect(record)
    rows = []
    for a in range(ANSWERS):
        day = today_number - DAYS + 1 + a * DAYS // ANSWERS
        entry = entries[a % len(entries)]
        typed = entry[:2] + entry[3:] if a % 7 == 0 and len(entry) > 3 else entry
        rows.append(((day * 86400 + 36000) * 1000, "04四级\\x.txt".encode("gbk"), entry, typed, int(typed == entry)))
    db.executemany("INSERT INTO answers(utc_ms, bank, entry, typed, correct, hint_shown, answer_ms)"
                   " VALUES(?, ?, ?, ?, ?, 0, 2000)", rows)
    db.executemany("INSERT INTO words(entry, stability, difficulty, last_day, due_day, reviews, lapses, last_correct,"
                   " missed_answer, right_days, last_right_day, last_recalled) VALUES(?, 5, 5, ?, ?, 10, 1, ?, 0, 0,"
                   " -1, ?)",
                   [(e, today_number - 1, today_number - 20 + i % 60, int(i % 3 != 0), int(i % 3 != 0))
                    for i, e in enumerate(entries)])
    db.commit()
    db.close()


def bench_linux(program, runs, work):
    """The seeded record file, and the Linux times in ms."""
    folder = os.path.join(work, "linux")
    copy_program(program, folder)
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
    os.close(write_fd)
    os.environ["DISPLAY"] = ":" + os.read(read_fd, 16).decode().strip()
    os.close(read_fd)
    times = []
    try:
        first = subprocess.Popen([os.path.join(folder, "vorbelzoz")], stderr=subprocess.DEVNULL)
        wait_for("^选择词库$")
        time.sleep(1)
        first.terminate()
        first.wait()
        seed(os.path.join(folder, "学习记录.db"), os.path.join(folder, "单词表"))
        record = os.path.join(work, "record.db")
        shutil.copy(os.path.join(folder, "学习记录.db"), record)
        for _ in range(runs):
            process = subprocess.Popen([os.path.join(folder, "vorbelzoz")], stderr=subprocess.DEVNULL)
            try:
                bank = wait_for("^选择词库$", pause=0.1)
                time.sleep(1.5)
                started = time.perf_counter()
                xdotool("mousemove", "--window", bank, "414", "752", "click", "1")
                wait_for("^学习统计$")
                times.append((time.perf_counter() - started) * 1000)
            finally:
                process.terminate()
                process.wait()
    finally:
        xvfb.terminate()
        xvfb.wait()
    return record, times


def bench_wine(source, win_build, record, runs, work):
    sys.path.insert(0, os.path.join(source, "tests", "win32"))
    from wine_session import WineSession, windows_path
    folder = os.path.join(work, "windows")
    copy_program(os.path.join(win_build, "program"), folder)
    driver = os.path.join(win_build, "e2e-driver", "vorbelzoz_e2e_driver.exe")
    log = open(os.path.join(work, "wine.log"), "w")
    session = WineSession(os.path.join(work, "wineprefix"), work, log)
    times = []
    try:
        session.start()
        for run in range(runs):
            for stale in ("学习记录.db-wal", "学习记录.db-shm"):
                if os.path.exists(os.path.join(folder, stale)):
                    os.remove(os.path.join(folder, stale))
            shutil.copy(record, os.path.join(folder, "学习记录.db"))
            shutil.rmtree(os.path.join(folder, "统计"), ignore_errors=True)
            report = os.path.join(work, f"driver-{run}.json")
            process = subprocess.Popen(["wine", driver, windows_path(os.path.join(folder, "vorbelzoz.exe")),
                                        windows_path(report), "statistics"], env=session.env(),
                                       stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=log, text=True)
            for line in process.stdout:  # the screenshot the driver asks for: none taken here
                if line.startswith("shot "):
                    process.stdin.write("ok\n")
                    process.stdin.flush()
            process.wait()
            seen = json.load(open(report, encoding="utf-8")) if os.path.exists(report) else {}
            if "statistics_ms" in seen:
                times.append(seen["statistics_ms"])
            else:
                print("wine run failed:", seen.get("failed_step"))
    finally:
        session.stop()
        log.close()
    return times


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("--linux-program", default="build/linux/program")
    parser.add_argument("--win-build")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--work")
    args = parser.parse_args()
    work = os.path.abspath(args.work or tempfile.mkdtemp(prefix="vorbelzoz-stats-bench-"))
    os.makedirs(work, exist_ok=True)
    record, linux = bench_linux(os.path.abspath(args.linux_program), args.runs, work)
    print(f"Linux: opening the statistics window, median {statistics.median(linux):.0f} ms "
          f"(runs {sorted(round(t) for t in linux)})")
    if args.win_build:
        wine = bench_wine(os.path.abspath(args.source), os.path.abspath(args.win_build), record, args.runs, work)
        if wine:
            print(f"Wine: opening the statistics window, median {statistics.median(wine):.0f} ms "
                  f"(runs {sorted(wine)})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
