#!/usr/bin/env python3
"""The Linux program on a 1366x768 screen under Xvfb, driven from outside.

The word-bank window is taller than that screen as designed. It opens
inside the screen, with the selected bank's words shown; a new bank is
saved by clicking "保存" where the window shows it; a bank is taken; the main
window, moved against the right edge, widens for "词意" and stays inside the
screen. The screenshots stay in the work folder.

  xvfb_fit_test.py <vorbelzoz executable> <source folder> <work folder>
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from private_display import PrivateDisplay  # noqa: E402
from xvfb_record_test import geometry, window, xdotool  # noqa: E402

SCREEN_WIDTH, SCREEN_HEIGHT = 1366, 768
# The designed client area of the bank window: the outer 858 x 806 less the
# frame the layouts are drawn with.
BANK_CLIENT_HEIGHT = 806 - 25
NEW_BANK = "新词库"


def dark_pixels(shot, left, top, width, height):
    text = subprocess.run(["convert", shot, "-crop", f"{width}x{height}+{left}+{top}", "+repage", "txt:-"],
                          capture_output=True, text=True, check=True).stdout
    return sum(1 for m in re.finditer(r"\((\d+),(\d+),(\d+)", text) if sum(map(int, m.groups())) < 300)


def main():
    executable, source, work = map(os.path.abspath, sys.argv[1:4])
    shutil.rmtree(work, ignore_errors=True)
    folder = os.path.join(work, "练习")
    for sub in ("单词表", "音效", "mp3", "日志"):
        os.makedirs(os.path.join(folder, sub))
    shutil.copy(executable, folder)
    for sound in glob.glob(os.path.join(source, "data", "音效", "*.wav")):
        shutil.copy(sound, os.path.join(folder, "音效"))
    for name, words in (("a.txt", ["apple", "pear", "plum", "orange", "banana"]), ("b.txt", ["ice"])):
        with open(os.path.join(folder, "单词表", name), "wb") as out:
            out.write("\r\n".join(words).encode("gbk") + b"\r\n")
    # Nothing listens there: the windows are all this test needs.
    with open(os.path.join(folder, "vorbelzoz.ini"), "w", newline="\r\n") as out:
        out.write("dictionary=127.0.0.1:9\nspeech=127.0.0.1:9\n")

    failures = []

    def check(condition, message):
        if not condition:
            failures.append(message)

    def inside(what, x, y, width, height):
        check(x >= 0 and y >= 0 and x + width <= SCREEN_WIDTH and y + height <= SCREEN_HEIGHT,
              f"{what} at {x},{y} {width}x{height} is not inside the {SCREEN_WIDTH}x{SCREEN_HEIGHT} screen")

    display = PrivateDisplay(screen=f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24")
    display.start()
    os.environ["DISPLAY"] = display.name
    program = subprocess.Popen([os.path.join(folder, "vorbelzoz")], stderr=open(os.path.join(work, "program.log"), "w"))
    try:
        bank = window("^选择词库$")
        check(bank is not None, "the word-bank window did not open")
        if bank is None:
            return 1
        time.sleep(1)
        x, y, width, height = geometry(bank)
        inside("the word-bank window", x, y, width, height)
        check(height < BANK_CLIENT_HEIGHT, f"the word-bank window keeps its designed height {height}")
        given = BANK_CLIENT_HEIGHT - height  # what the panes gave up
        shot = os.path.join(work, "bank_window.png")
        subprocess.run(["import", "-window", "root", shot], check=True)
        # The first bank is selected and its words are shown without a click.
        check(dark_pixels(shot, x + 300, y + 32, 200, 60) > 30, "the selected bank's words are not shown")

        def click(left, top):
            xdotool("mousemove", str(x + left), str(y + top), "click", "1")
            time.sleep(0.3)

        click(700, 42)  # 编辑框2, the new bank's name
        xdotool("type", "--delay", "40", "newbank")
        click(700, 100)  # 编辑框3, its words
        xdotool("type", "--delay", "40", "kiwi")
        click(761 + 40, 740 - given + 12)  # 保存, where the fitted window shows it
        box = window("^信息：$", 10)
        check(box is not None, "no message box after the click on 保存")
        if box is not None:
            subprocess.run(["import", "-window", "root", os.path.join(work, "saved_box.png")], check=True)
            xdotool("windowfocus", "--sync", box)
            xdotool("key", "Return")
        check(os.path.exists(os.path.join(folder, "单词表", "newbank.txt")), "the new bank was not saved")

        xdotool("mousemove", str(x + 40), str(y + 27 + 31), "click", "--repeat", "2", "--delay", "120", "1")
        main = window("^Vorbelzoz", 30)
        check(main is not None, "the main window did not open")
        if main is None:
            return 1
        time.sleep(1)
        mx, my, mw, mh = geometry(main)
        xdotool("windowmove", "--sync", main, str(SCREEN_WIDTH - mw - 10), str(my))
        time.sleep(0.5)
        mx, my, mw, mh = geometry(main)
        xdotool("mousemove", str(mx + 18), str(my + 44), "click", "1")  # 词意
        time.sleep(1)
        wx, wy, ww, wh = geometry(main)
        check(ww > mw, f"ticking 词意 did not widen the window ({mw} -> {ww})")
        inside("the wide main window", wx, wy, ww, wh)
        subprocess.run(["import", "-window", "root", os.path.join(work, "main_window_wide.png")], check=True)
        print(f"bank window {width}x{height} at {x},{y}; main {mw}x{mh} at {mx},{my} -> {ww}x{wh} at {wx},{wy}")
    finally:
        program.kill()
        program.wait()
        display.stop()
    for failure in failures:
        print("FAIL:", failure)
    print("screenshots in", work)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
