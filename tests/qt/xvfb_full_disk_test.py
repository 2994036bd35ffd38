#!/usr/bin/env python3
"""A disk that fills during a quiz, with the Linux program under Xvfb.

The program folder lies on a small tmpfs of its own. After two answers are
on the disk, a file takes every byte left; the learner answers the rest.
The quiz runs to its summary, one message box tells of the record, and no
report or review bank is left half-written. Once the file is gone again the
next start finds a sound record, says nothing, and holds both answers.

Mounting needs root: as root the test runs (CI is root), otherwise it is
skipped (exit code 77) with a message saying so.

  xvfb_full_disk_test.py <vorbelzoz executable> <source folder> <work folder>
"""
import glob
import os
import sqlite3
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xvfb_record_test as rec  # noqa: E402

SKIP = 77
BANK = "满盘.txt"
WORDS = ["one", "two", "three", "four", "five", "six", "seven", "eight"]


def fill(folder):
    """Writes until the file system refuses another byte."""
    with open(os.path.join(folder, "filler"), "wb", buffering=0) as out:
        block = b"\0" * 65536
        try:
            while True:
                out.write(block)
        except OSError:
            pass
        for size in (4096, 512, 1):
            try:
                while True:
                    out.write(b"\0" * size)
            except OSError:
                pass


def boxes_after_summary(run, shots):
    """Closes the summary box and every box after it; returns how many followed."""
    box = rec.window(rec.MESSAGE_BOX)
    if box is None:
        raise RuntimeError("the summary box did not appear")
    count = -1
    while box is not None:
        count += 1
        time.sleep(0.5)
        subprocess.run(["import", "-window", "root", os.path.join(shots, f"full-disk-box{count}.png")])
        rec.xdotool("windowfocus", "--sync", box)
        rec.xdotool("key", "Return")
        time.sleep(1.5)
        box = rec.window(rec.MESSAGE_BOX, timeout=3)
    return count


def whole_text(path):
    """A report or bank as the program writes it, or none at all."""
    if not os.path.exists(path):
        return True
    data = open(path, "rb").read()
    return data.endswith(b"-" * 64) or (data.endswith(b"\r\n") and b"\0" not in data)


def inside(executable, source, work, port):
    shots = os.path.join(work, "shots")
    os.makedirs(shots, exist_ok=True)
    disk = os.path.join(work, "disk")
    os.makedirs(disk)
    # Room for the program and the sound effects, and a little to spare.
    size = os.path.getsize(executable) + 8 * 1024 * 1024
    subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", disk], check=True)
    failures = []

    def check(condition, message):
        if not condition:
            failures.append(message)

    try:
        folder = rec.program_folder(disk, executable, source, port, BANK, WORDS)
        run = rec.Run(folder, shots, "full-disk")
        try:
            run.choose_first_bank()
            for _ in range(2):
                run.answer_blind()
            fill(folder)
            for _ in range(len(WORDS) - 2):
                run.answer_blind(wait_for_record=False)
            told = boxes_after_summary(run, shots)
            check(run.boxes_before_bank_window == 0, f"{run.boxes_before_bank_window} messages at the start")
            check(told == 1, f"{told} messages after the summary, not one")
        finally:
            run.stop()
        check(whole_text(os.path.join(folder, "日志", "报告" + BANK)), "a half-written report")
        for bank in glob.glob(os.path.join(folder, "单词表", "00复习", "*")):
            check(whole_text(bank) and not bank.endswith(".tmp"), f"half-written: {bank}")

        os.remove(os.path.join(folder, "filler"))
        again = rec.Run(folder, shots, "after-full-disk")
        try:
            deadline = time.time() + 30
            while rec.xdotool("search", "--onlyvisible", "--name", "^选择词库$") == [] and time.time() < deadline:
                if rec.xdotool("search", "--onlyvisible", "--name", rec.MESSAGE_BOX):
                    again.boxes_before_bank_window += 1
                    subprocess.run(["import", "-window", "root", os.path.join(shots, "after-full-disk-box.png")])
                    break
                time.sleep(0.1)
        finally:
            again.stop()
        check(again.boxes_before_bank_window == 0, "the next start had something to say about the record")
        check(not glob.glob(os.path.join(folder, rec.RECORD + ".*")), "the record was set aside")
        with sqlite3.connect(os.path.join(folder, rec.RECORD)) as db:
            check(db.execute("PRAGMA integrity_check").fetchall() == [("ok",)], "integrity_check")
            typed = [t for (t,) in db.execute("SELECT typed FROM answers ORDER BY id")]
        check(len(typed) >= 2 and set(typed) == {b"x"}, f"answers kept: {typed!r}")
    finally:
        # A program still closing may hold the folder for a moment.
        if subprocess.run(["umount", disk]).returncode != 0:
            time.sleep(2)
            subprocess.run(["umount", "--lazy", disk])

    for failure in failures:
        print("FAIL:", failure)
    print("screenshots in", shots)
    return 1 if failures else 0


def main():
    if sys.argv[1] == "--inside":
        return inside(*sys.argv[2:5], int(sys.argv[5]))
    if os.geteuid() != 0:
        print("SKIP: mounting the small tmpfs the program folder must fill needs root")
        return SKIP
    executable, source, work = map(os.path.abspath, sys.argv[1:4])
    subprocess.run(["umount", os.path.join(work, "disk")], stderr=subprocess.DEVNULL)
    subprocess.run(["rm", "-rf", work])
    os.makedirs(work)
    return rec.run_inside(__file__, executable, source, work)


if __name__ == "__main__":
    sys.exit(main())
