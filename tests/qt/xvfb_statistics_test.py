#!/usr/bin/env python3
"""The statistics window of the Linux program under Xvfb, driven from outside.

A quiz over a three-word bank is answered blind ("x", judged wrong); at the
next start the bank window's 学习统计 button opens the window, Ctrl+S saves
its picture and Ctrl+E exports the record into 统计/. The picture must be at
least 600 x 450 and not of one colour, and the CSV's rows the record's
answers. The screen is a 1366x768 laptop's: the bank window is fitted to it
(学习统计 moves up with the buttons beside it) and the statistics window
must lie on it whole. With STATISTICS_SCALE=1.5 in the environment the
second start runs at 150 %, where the page does not fit and is drawn
smaller. Screenshots stay in the work folder.

  xvfb_statistics_test.py <vorbelzoz executable> <source folder> <work folder>
"""
import csv
import glob
import io
import os
import shutil
import sqlite3
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xvfb_record_test as driver  # noqa: E402

BANK = "测试S.txt"
SCREEN_WIDTH, SCREEN_HEIGHT = 1366, 768
# The bank window's designed client height, and 学习统计's place in it.
BANK_CLIENT_HEIGHT = 806 - 25
BUTTON_X, BUTTON_Y = 370 + 44, 740 + 12


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def colours(path):
    out = subprocess.run(["identify", "-format", "%k", path], stdout=subprocess.PIPE, text=True).stdout
    return int(out or 0)


def close_box(shots, name):
    box = driver.window(driver.MESSAGE_BOX, timeout=15)
    if box is None:
        return False
    time.sleep(0.5)
    subprocess.run(["import", "-window", "root", os.path.join(shots, name + ".png")])
    driver.xdotool("windowfocus", "--sync", box)
    driver.xdotool("key", "Return")
    time.sleep(0.5)
    return True


def inside(executable, source, work, port):
    shots = os.path.join(work, "shots")
    os.makedirs(shots, exist_ok=True)
    failures = []

    def check(condition, message):
        if not condition:
            failures.append(message)

    folder = driver.program_folder(work, executable, source, port, BANK, ["pear", "plum", "fig"])
    run = driver.Run(folder, shots, "quiz")
    try:
        run.choose_first_bank()
        for _ in range(3):
            run.answer_blind()
        check(run.finish(), "a further message box after the summary")
    finally:
        run.stop()

    log = open(os.path.join(shots, "statistics.log"), "w")
    scale = float(os.environ.get("STATISTICS_SCALE", "1"))
    process = subprocess.Popen([os.path.join(folder, "vorbelzoz")], stdout=log, stderr=log,
                               env=dict(os.environ, QT_SCALE_FACTOR=str(scale)))
    try:
        bank = driver.window("^选择词库$")
        if bank is None:
            raise RuntimeError("the word-bank window did not open")
        time.sleep(1)
        x, y, _, height = driver.geometry(bank)
        # Fitted to the screen, the buttons under the lists move up by what
        # the window lacks.
        button = (str(x + round(BUTTON_X * scale)),
                  str(y + round((BUTTON_Y - (BANK_CLIENT_HEIGHT - height / scale)) * scale)))
        driver.xdotool("mousemove", *button, "click", "1")
        stats = driver.window("^学习统计$")
        if stats is None:
            raise RuntimeError("学习统计 did not open")
        time.sleep(1)
        subprocess.run(["import", "-window", "root", os.path.join(shots, "statistics.png")])
        sx, sy, sw, sh = driver.geometry(stats)
        check(sx >= 0 and sy >= 0 and sx + sw <= SCREEN_WIDTH and sy + sh <= SCREEN_HEIGHT,
              f"the statistics window at {(sx, sy, sw, sh)} is not on the screen whole")
        # A second click brings the same window to the front.
        driver.xdotool("mousemove", *button, "click", "1")
        time.sleep(0.5)
        check(len(driver.xdotool("search", "--onlyvisible", "--name", "^学习统计$")) == 1, "a second window")

        driver.xdotool("windowfocus", "--sync", stats)
        driver.xdotool("key", "ctrl+s")
        check(close_box(shots, "saved-box"), "no message after Ctrl+S")
        driver.xdotool("windowfocus", "--sync", stats)
        driver.xdotool("key", "ctrl+e")
        check(close_box(shots, "exported-box"), "no message after Ctrl+E")
    finally:
        process.terminate()
        process.wait(10)

    pictures = glob.glob(os.path.join(folder, "统计", "学习统计-*.png"))
    check(len(pictures) == 1, f"pictures: {pictures!r}")
    if pictures:
        size = png_size(pictures[0])
        check(size is not None and size[0] >= 600 and size[1] >= 450, f"picture size {size}")
        check(colours(pictures[0]) > 1, "the picture is of one colour")
    exports = glob.glob(os.path.join(folder, "统计", "学习记录-*.csv"))
    check(len(exports) == 1, f"exports: {exports!r}")
    check(not glob.glob(os.path.join(folder, "统计", "*.tmp")), "a temporary file left")
    if exports:
        data = open(exports[0], "rb").read()
        check(data.startswith(b"\xef\xbb\xbf"), "no byte-order mark")
        rows = list(csv.reader(io.StringIO(data[3:].decode("utf-8"), newline="")))
        with sqlite3.connect(os.path.join(folder, driver.RECORD)) as db:
            answers = db.execute("SELECT bank, entry, typed, correct, hint_shown, answer_ms FROM answers"
                                 " ORDER BY id").fetchall()
        check(rows[0] == ["时间", "词库", "单词", "输入", "结果", "提示", "用时毫秒"], f"header {rows[0]!r}")
        expected = [[bank.decode("gbk"), entry.decode("gbk"), typed.decode("gbk"), "对" if correct else "错",
                     "是" if hint else "否", str(ms)] for bank, entry, typed, correct, hint, ms in answers]
        check(len(answers) == 3 and [row[1:] for row in rows[1:]] == expected,
              f"rows {rows[1:]!r} against {expected!r}")

    for failure in failures:
        print("FAIL:", failure)
    print("screenshots in", shots)
    return 1 if failures else 0


def main():
    if sys.argv[1] == "--inside":
        return inside(*sys.argv[2:5], int(sys.argv[5]))
    executable, source, work = map(os.path.abspath, sys.argv[1:4])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    return driver.run_inside(__file__, executable, source, work, f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24")


if __name__ == "__main__":
    sys.exit(main())
