#!/usr/bin/env python3
"""The learning record of the Linux program under Xvfb, driven from outside.

  1. A quiz is killed with SIGKILL after three answers; the record then
     holds those three. Another is closed by the main window's close box
     (WM_DELETE_WINDOW) after two answers; the record then holds it as a
     stopped quiz, and the next start marks its bank practised.
  2. A record of random bytes, a read-only program folder and a record
     another process holds (a transaction begun with BEGIN EXCLUSIVE): each
     time the quiz runs to its report, one message box explains, and a
     damaged record is found moved aside, byte for byte as it was.

Each run's word-bank folder holds one bank, so it is the list's first row.
Answers are typed blind ("x", judged wrong); an answer is known to be
recorded when the record's write-ahead log grows.

  xvfb_record_test.py <vorbelzoz executable> <source folder> <work folder>
"""
import contextlib
import ctypes
import glob
import os
import shutil
import signal
import sqlite3
import stat
import subprocess
import sys
import time

RECORD = "学习记录.db"
MESSAGE_BOX = "^信息：$"


def xdotool(*args, check=False):
    result = subprocess.run(["xdotool", *args], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    if check and result.returncode != 0:
        raise RuntimeError("xdotool " + " ".join(args))
    return result.stdout.split()


def window(name, timeout=30):
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = xdotool("search", "--onlyvisible", "--name", name)
        if found:
            return found[0]
        time.sleep(0.1)
    return None


def geometry(win):
    values = dict(line.split("=") for line in subprocess.run(
        ["xdotool", "getwindowgeometry", "--shell", win], stdout=subprocess.PIPE, text=True).stdout.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def close_box(win):
    """What the window manager sends when the close box is clicked."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]

    display = x11.XOpenDisplay(None)
    event = ClientMessage(type=33, window=int(win), format=32,
                          message_type=x11.XInternAtom(display, b"WM_PROTOCOLS", 0))
    event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(display, int(win), 0, 0, ctypes.byref(event))
    x11.XFlush(display)
    x11.XCloseDisplay(display)


def wal_size(folder):
    path = os.path.join(folder, RECORD + "-wal")
    return os.path.getsize(path) if os.path.exists(path) else -1


class Run:
    """One start of the program in its folder, driven to its first bank's quiz."""

    def __init__(self, folder, shots, name):
        self.folder, self.shots, self.name = folder, shots, name
        self.boxes_before_bank_window = 0
        log = open(os.path.join(shots, name + ".log"), "w")
        self.process = subprocess.Popen([os.path.join(folder, "vorbelzoz")], stdout=log, stderr=log)

    def choose_first_bank(self):
        deadline = time.time() + 30
        while time.time() < deadline:
            box = xdotool("search", "--onlyvisible", "--name", MESSAGE_BOX)
            if box:
                self.boxes_before_bank_window += 1
                time.sleep(0.5)
                subprocess.run(["import", "-window", "root", os.path.join(self.shots, self.name + "-box.png")])
                xdotool("windowfocus", "--sync", box[0])
                xdotool("key", "Return")
                time.sleep(0.5)
            bank = xdotool("search", "--onlyvisible", "--name", "^选择词库$")
            if bank:
                break
            time.sleep(0.1)
        else:
            raise RuntimeError("the word-bank window did not open")
        time.sleep(1)
        x, y, _, _ = geometry(bank[0])
        xdotool("mousemove", str(x + 40), str(y + 27 + 31), "click", "--repeat", "2", "--delay", "120", "1")
        main = window("^Vorbelzoz")
        if main is None:
            raise RuntimeError("the main window did not open")
        time.sleep(1)
        self.main_x, self.main_y, _, _ = geometry(main)
        self.main = main
        self.click(284, 44)  # 开始

    def click(self, x, y):
        xdotool("windowfocus", "--sync", self.main)
        xdotool("mousemove", str(self.main_x + x), str(self.main_y + y), "click", "1")
        time.sleep(0.3)

    def answer_blind(self, wait_for_record=True):
        time.sleep(1.5)  # the word is looked up and spoken
        before = wal_size(self.folder)
        self.click(292, 244)  # the answer box
        xdotool("type", "x")
        xdotool("key", "Return")
        if wait_for_record:
            deadline = time.time() + 10
            while wal_size(self.folder) == before and time.time() < deadline:
                time.sleep(0.05)

    def finish(self):
        box = window(MESSAGE_BOX)
        if box is None:
            raise RuntimeError("the summary box did not appear")
        time.sleep(0.5)
        xdotool("windowfocus", "--sync", box)
        xdotool("key", "Return")
        time.sleep(1.5)
        further = xdotool("search", "--onlyvisible", "--name", MESSAGE_BOX)
        self.stop()
        return not further

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def program_folder(work, executable, source, port, bank, words):
    folder = os.path.join(work, "练习")
    if os.path.isdir(folder):  # after a run cut short
        if os.geteuid() == 0:
            subprocess.run(["chattr", "-i", folder])
        os.chmod(folder, 0o755)
        shutil.rmtree(folder)
    for sub in ("单词表", "音效", "mp3", "日志"):
        os.makedirs(os.path.join(folder, sub))
    shutil.copy(executable, folder)
    for sound in glob.glob(os.path.join(source, "data", "音效", "*.wav")):
        shutil.copy(sound, os.path.join(folder, "音效"))
    with open(os.path.join(folder, "单词表", bank), "wb") as out:
        out.write("\r\n".join(words).encode("gbk") + b"\r\n")
    with open(os.path.join(folder, "vorbelzoz.ini"), "w", newline="\r\n") as out:
        out.write(f"dictionary=127.0.0.1:{port}\nspeech=127.0.0.1:{port}\n")
    return folder


def inside(executable, source, work, port):
    shots = os.path.join(work, "shots")
    os.makedirs(shots, exist_ok=True)
    failures = []

    def check(condition, message):
        if not condition:
            failures.append(message)

    # 1. Killed after three answers.
    folder = program_folder(work, executable, source, port, "测试C.txt", ["one", "two", "three", "four", "five"])
    run = Run(folder, shots, "killed")
    try:
        run.choose_first_bank()
        for _ in range(3):
            run.answer_blind()
        time.sleep(0.3)
        run.process.send_signal(signal.SIGKILL)
        run.process.wait()
    finally:
        run.stop()
    # Closed at once: an open reader would hold the record from the next start.
    with contextlib.closing(sqlite3.connect(os.path.join(folder, RECORD))) as db:
        answers = db.execute("SELECT typed FROM answers WHERE bank = ?", ("测试C.txt".encode("gbk"),)).fetchall()
    check([typed for (typed,) in answers] == [b"x"] * 3, f"answers kept through SIGKILL: {answers!r}")

    # The close box in the middle of a quiz, as a learner changing banks.
    run = Run(folder, shots, "closed")
    try:
        run.choose_first_bank()
        for _ in range(2):
            run.answer_blind()
        close_box(run.main)
        run.process.wait(20)
    finally:
        run.stop()
    with contextlib.closing(sqlite3.connect(os.path.join(folder, RECORD))) as db:
        # The error book of the killed quiz's misses is the first row now.
        quizzes = db.execute("SELECT asked_count, wrong_count, finished FROM quizzes").fetchall()
    check(run.process.returncode == 0, f"closed: exit code {run.process.returncode}")
    check(len(quizzes) == 1 and quizzes[0][1:] == (2, 0) and quizzes[0][0] >= 2,
          f"the closed quiz recorded as stopped: {quizzes!r}")
    run = Run(folder, shots, "after-close")
    try:
        bank = window("^选择词库$")
        time.sleep(1.5)
        if bank:  # the practised mark, to look at
            subprocess.run(["import", "-window", "root", os.path.join(shots, "after-close.png")])
    finally:
        run.stop()

    # 2. Records that cannot be kept.
    def bad_record_run(name, prepare, after=lambda folder: None):
        folder = program_folder(work, executable, source, port, "测试B.txt", ["pear", "plum"])
        undo = prepare(folder)
        run = Run(folder, shots, name)
        try:
            run.choose_first_bank()
            run.answer_blind(wait_for_record=False)
            run.answer_blind(wait_for_record=False)
            alone = run.finish()
        finally:
            run.stop()
            if undo:
                undo()
        check(run.boxes_before_bank_window == 1, f"{name}: {run.boxes_before_bank_window} messages")
        check(alone, f"{name}: a further message box after the summary")
        check(os.path.exists(os.path.join(folder, "日志", "报告测试B.txt")), f"{name}: no report")
        after(folder)

    garbage = os.urandom(16384)

    def random_bytes(folder):
        open(os.path.join(folder, RECORD), "wb").write(garbage)

    def set_aside(folder):
        aside = [p for p in glob.glob(os.path.join(folder, RECORD + "*"))
                 if not p.endswith((RECORD, "-wal", "-shm"))]
        check(len(aside) == 1 and open(aside[0], "rb").read() == garbage,
              f"random bytes: set aside {aside!r}")

    bad_record_run("random-bytes", random_bytes, set_aside)

    def read_only(folder):
        if os.geteuid() == 0:  # root writes through permission bits
            subprocess.run(["chattr", "+i", folder], check=True)
            return lambda: subprocess.run(["chattr", "-i", folder], check=True)
        os.chmod(folder, stat.S_IRUSR | stat.S_IXUSR)
        return lambda: os.chmod(folder, 0o755)

    bad_record_run("read-only", read_only,
                   lambda folder: check(not os.path.exists(os.path.join(folder, RECORD)), "read-only: a record"))

    held = {}

    def hold(folder):
        path = os.path.join(folder, RECORD)
        holder = sqlite3.connect(path, isolation_level=None)
        holder.execute("CREATE TABLE kept(x)")
        holder.execute("INSERT INTO kept VALUES ('mine')")
        held["bytes"] = open(path, "rb").read()
        holder.execute("BEGIN EXCLUSIVE")

        def release():
            holder.execute("ROLLBACK")
            holder.close()
        return release

    bad_record_run("held", hold, lambda folder: check(
        open(os.path.join(folder, RECORD), "rb").read() == held["bytes"], "held: the record changed"))

    for failure in failures:
        print("FAIL:", failure)
    print("screenshots in", shots)
    return 1 if failures else 0


def run_inside(script, executable, source, work, screen="1280x1024x24"):
    """Runs `script --inside` against a local dictionary server, on an X
    display of its own (so tests can run in parallel); returns its code."""
    server = subprocess.Popen([sys.executable, os.path.join(source, "tests", "e2e", "dict_server.py"), "--port", "0",
                               "--log", os.path.join(work, "server.log")], stdout=subprocess.PIPE, text=True)
    try:
        port = int(server.stdout.readline().split()[1])
        return subprocess.run([sys.executable, os.path.join(source, "tests", "support", "private_display.py"),
                               "--screen", screen, "--", sys.executable, os.path.abspath(script),
                               "--inside", executable, source, work, str(port)]).returncode
    finally:
        server.terminate()
        server.wait()


def main():
    if sys.argv[1] == "--inside":
        return inside(*sys.argv[2:5], int(sys.argv[5]))
    executable, source, work = map(os.path.abspath, sys.argv[1:4])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    return run_inside(__file__, executable, source, work)


if __name__ == "__main__":
    sys.exit(main())
