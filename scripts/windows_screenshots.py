#!/usr/bin/env python3
"""The Windows program's screenshots, taken under Wine (see scripts/screenshots):

  windows_screenshots.py WIN_BUILD PREFIX WORK SHOTS

Runs a copy of WIN_BUILD/program (which starts its bundled service on
127.0.0.1:47800 itself) in the Wine prefix PREFIX, made like the tests' one
(an English Windows whose GUI fonts link to the CJK font), on a private X
display. Wine draws the window frame itself, so the capture shows the
caption with the program's icon. Writes SHOTS/bank-window-windows.png and
SHOTS/statistics-window-windows.png (after scripts/seed_practice.py wrote a
few weeks of practice into the record) at 96 DPI and SHOTS/quiz-window-windows.png, the main window in a quiz with the
word shown, at 144 DPI (LogPixels of the prefix, set back to 96 at the
end); every step waits by polling, 60 s at most. The quiz picture leaves the
meanings out: the prefix has no browser engine (Wine's Gecko is no Debian
package), so the meanings view stays empty under Wine.
"""
import os
import shutil
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "win32"))
from wine_session import WineSession  # noqa: E402

TIMEOUT = 60
# Where the client area begins inside the window Wine draws, for a window
# with a caption and a fixed frame in Wine's default metrics: the 3-pixel
# frame, and the caption with its edge below it (19 pixels at 96 DPI, 28 at
# 144 DPI).
CLIENT_ORIGIN = {96: (3, 22), 144: (3, 31)}
QUIZ_DPI = 144
SERVICE_PORT = 47800


class Failure(Exception):
    pass


def poll(what, test):
    deadline = time.time() + TIMEOUT
    while time.time() < deadline:
        result = test()
        if result:
            return result
        time.sleep(0.3)
    raise Failure(what)


def port_in_use():
    try:
        socket.create_connection(("127.0.0.1", SERVICE_PORT), 1).close()
        return True
    except OSError:
        return False


def main():
    win_build, prefix, work, shots = map(os.path.abspath, sys.argv[1:5])
    program = os.path.join(work, "program")
    shutil.rmtree(program, ignore_errors=True)
    shutil.copytree(os.path.join(win_build, "program"), program)
    for folder in ("mp3", "日志"):
        shutil.rmtree(os.path.join(program, folder), ignore_errors=True)
        os.makedirs(os.path.join(program, folder))
    log = open(os.path.join(work, "wine.log"), "w")
    # Room for the word-bank window at 144 DPI, about 1290 x 1210 pixels.
    session = WineSession(prefix, work, log, screen="1920x1440x24")
    env = None

    def tool(*args, check=True):
        return subprocess.run(list(args), env=env, capture_output=True, text=True, timeout=TIMEOUT,
                              check=check).stdout

    def window(title):
        found = tool("xdotool", "search", "--onlyvisible", "--name", title, check=False).split()
        return found[0] if found else None

    def capture(window_id, path):
        tool("import", "-window", window_id, path)

    def pixels(window_id, left, top, width, height):
        data = subprocess.run(["import", "-window", window_id, "-depth", "8", "-crop",
                               f"{width}x{height}+{left}+{top}", "+repage", "rgb:-"],
                              env=env, capture_output=True, timeout=TIMEOUT).stdout
        return zip(data[0::3], data[1::3], data[2::3])

    def dark_pixels(*rect):
        return sum(1 for r, g, b in pixels(*rect) if r + g + b < 300)

    def blue_pixels(*rect):
        return sum(1 for r, g, b in pixels(*rect) if b > 180 and r < 90 and g < 90)

    def click(window_id, x, y, repeat=1):
        tool("xdotool", "mousemove", "--window", window_id, str(x), str(y), "click", "--repeat", str(repeat),
             "--delay", "120", "1")
        time.sleep(0.3)

    process = None
    try:
        session.start()
        env = session.env()
        # Marlett, the caption buttons' glyphs, from fonts-wine: this Wine
        # looks for it only in the prefix's font folder.
        shutil.copy("/usr/share/wine/fonts/marlett.ttf", os.path.join(prefix, "drive_c", "windows", "Fonts"))

        def start_program():
            return subprocess.Popen(["wine", os.path.join(program, "vorbelzoz.exe")], cwd=program, env=env,
                                    stdout=log, stderr=log)

        # A first start makes the learning record; a few weeks of practice
        # are written into it, as for the Linux pictures.
        process = start_program()
        poll("the word-bank window did not open", lambda: window("^选择词库$"))
        process.kill()
        process.wait()
        poll("the service kept running", lambda: not port_in_use())
        subprocess.run([sys.executable, os.path.join(os.path.dirname(os.path.abspath(__file__)), "seed_practice.py"),
                        program], check=True, timeout=TIMEOUT)

        process = start_program()
        bank = poll("the word-bank window did not open", lambda: window("^选择词库$"))
        left, top = CLIENT_ORIGIN[96]
        # The bank list at (6, 27) of the client area, the words at (295, 28).
        poll("the bank list stayed empty", lambda: dark_pixels(bank, left + 6, top + 27, 280, 120) > 60)
        click(bank, left + 40, top + 58)
        poll("the first bank's words were not shown",
             lambda: dark_pixels(bank, left + 295, top + 28, 241, 300) > 200)
        tool("xdotool", "mousemove", "--window", bank, str(left + 700), str(top + 790))
        time.sleep(0.5)
        capture(bank, os.path.join(shots, "bank-window-windows.png"))
        # 学习统计 under the middle column; the word-list progress at (16, 386).
        click(bank, left + 414, top + 752)
        stats = poll("the statistics window did not open", lambda: window("^学习统计$"))
        poll("the statistics stayed empty", lambda: dark_pixels(stats, left + 16, top + 386, 280, 270) > 200)
        tool("xdotool", "mousemove", "--window", stats, str(left + 890), str(top + 20))
        time.sleep(0.5)
        capture(stats, os.path.join(shots, "statistics-window-windows.png"))
        process.kill()
        process.wait()
        process = None
        # The service the program started ends with it.
        poll("the service kept running", lambda: not port_in_use())

        # The quiz window at 144 DPI: every layout position times 1.5.
        session.set_log_pixels(QUIZ_DPI)
        env = session.env()

        def scaled(value):
            return round(value * QUIZ_DPI / 96)

        def at(x, y):
            origin_left, origin_top = CLIENT_ORIGIN[QUIZ_DPI]
            return origin_left + scaled(x), origin_top + scaled(y)

        process = start_program()
        bank = poll("the word-bank window did not open at 144 DPI", lambda: window("^选择词库$"))
        poll("the bank list stayed empty at 144 DPI", lambda: dark_pixels(bank, *at(6, 27), scaled(280), scaled(120)) > 60)
        click(bank, *at(40, 58), repeat=2)
        main_window = poll("the main window did not open", lambda: window("^Vorbelzoz"))
        tool("xdotool", "windowfocus", "--sync", main_window, check=False)
        # 拼写: the word in the large label at (8, 135, 568, 40); 发音 (speech) is
        # ticked already. The phonetics stay off: Wine's RichEdit finds no
        # font for IPA symbols beside the CJK one and would draw empty boxes.
        click(main_window, *at(85, 44))
        label = (*at(8, 135), scaled(568), scaled(40))
        designed = poll("the spelling label was not shown", lambda: dark_pixels(main_window, *label))
        click(main_window, *at(284, 44))  # 开始
        poll("no word was shown", lambda: abs(dark_pixels(main_window, *label) - designed) > 50)
        time.sleep(1.0)
        click(main_window, *at(292, 244))  # the focus in the answer box
        tool("xdotool", "mousemove", "--window", main_window, *map(str, at(500, 340)))
        time.sleep(0.5)
        capture(main_window, os.path.join(shots, "quiz-window-windows.png"))
        return 0
    except (Failure, subprocess.SubprocessError, OSError) as failure:
        print("windows screenshots:", failure, file=sys.stderr)
        if env:
            subprocess.run(["import", "-window", "root", os.path.join(shots, "failure-windows.png")], env=env,
                           timeout=TIMEOUT)
        return 1
    finally:
        if process is not None:
            process.kill()
        if env:
            session.set_log_pixels(96)
        session.stop()
        log.close()

if __name__ == "__main__":
    sys.exit(main())
