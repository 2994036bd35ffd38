#!/usr/bin/env python3
"""The learning record of the Windows program under Wine, end to end.

With every bundled bank and four test banks of the learner's own, in one
Wine session:
  1. a one-word bank is answered right, then a quiz with one wrong answer
     runs to its end;
  2. a quiz is ended the task manager's way (TerminateProcess) after three
     answers, and another by closing the main window (WM_CLOSE) after two;
  3. the next start's bank window lists the error book among its first
     rows, holding the missed word, marks the bank with the miss as
     practised and the one-word bank as mastered, the bank of the closed
     quiz as practised too, selects the bank after
     the last finished one and shows it; the record holds every answer, the
     three of the ended quiz too;
  4. a record of random bytes, a read-only program folder and a record
     another process holds: each time the quiz runs to its report, one
     message explains, and a damaged record is found moved aside unchanged.

  record_e2e.py --win-build DIR --source DIR --prefix DIR --work DIR
"""
import argparse
import glob
import json
import os
import shutil
import sqlite3
import stat
import subprocess
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_e2e import Checks, start_server  # noqa: E402
from wine_session import WineSession, windows_path  # noqa: E402

RECORD = "学习记录.db"
BANKS = {
    "测试A.txt": ["apple", "banana", "orange"],
    "测试B.txt": ["pear", "plum"],
    "测试C.txt": ["one", "two", "three", "four", "five"],
    "测试D.txt": ["kiwi"],
}
PRACTISED_IMAGE, MASTERED_IMAGE = "2", "3"


def assemble_program(win_build, run_dir, port):
    program = os.path.join(run_dir, "program")
    shutil.copytree(os.path.join(win_build, "program"), program)
    for folder in ("mp3", "日志"):
        shutil.rmtree(os.path.join(program, folder), ignore_errors=True)
        os.makedirs(os.path.join(program, folder))
    for leftover in glob.glob(os.path.join(program, RECORD + "*")):
        os.remove(leftover)
    for name, words in BANKS.items():
        with open(os.path.join(program, "单词表", name), "wb") as out:
            out.write("\r\n".join(words).encode("gbk") + b"\r\n")
    with open(os.path.join(program, "vorbelzoz.ini"), "w", encoding="ascii", newline="\r\n") as out:
        out.write(f"dictionary=127.0.0.1:{port}\nspeech=127.0.0.1:{port}\n")
    return program


class Driver:
    """Runs the e2e driver once per program start and returns what it saw."""

    def __init__(self, session, driver, program, work):
        self.session, self.driver, self.program, self.work = session, driver, program, work
        self.runs = 0

    def __call__(self, *args, timeout=240):
        self.runs += 1
        report = os.path.join(self.work, f"driver-{self.runs}.json")
        command = ["wine", self.driver, windows_path(os.path.join(self.program, "vorbelzoz.exe")),
                   windows_path(report), *args]
        process = subprocess.Popen(command, env=self.session.env(), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   stderr=self.session.log, text=True, encoding="utf-8", errors="replace")
        timer = threading.Timer(timeout, process.kill)
        timer.start()
        try:
            for line in process.stdout:  # screenshots the driver asks for
                parts = line.split()
                if len(parts) == 6 and parts[0] == "shot":
                    shot = os.path.join(self.work, parts[1] + ".png")
                    self.session.screenshot(shot, *map(int, parts[2:]))
                    process.stdin.write("ok\n")
                    process.stdin.flush()
            code = process.wait()
        finally:
            timer.cancel()
        seen = json.load(open(report, encoding="utf-8")) if os.path.exists(report) else {}
        print(f"run {self.runs} {args[:2]}: exit {code}")
        print(json.dumps({k: v for k, v in seen.items() if k not in ("bank_rows", "row_images")},
                         ensure_ascii=False, indent=1))
        seen["driver_exit"] = code
        return seen


def answers_of(program, bank):
    with sqlite3.connect(os.path.join(program, RECORD)) as db:
        return db.execute("SELECT entry, correct FROM answers WHERE bank = ? ORDER BY id",
                          (bank.encode("gbk"),)).fetchall()


def check_finished(checks, what, seen):
    checks.equal(f"{what}: driver failed at", seen.get("failed_step"), None)
    checks.true(f"{what}: summary box", seen.get("summary", "").startswith("答题结束"))
    checks.equal(f"{what}: a further message box", seen.get("further_message_box"), False)
    checks.equal(f"{what}: exit code", seen.get("exit_code"), 0)


def learn_and_come_back(checks, run, program):
    mastered = run("answer", "测试D.txt", "0", "1", "finish")
    check_finished(checks, "mastered bank", mastered)
    first = run("answer", "测试A.txt", "2", "3", "finish")
    check_finished(checks, "finished quiz", first)
    checks.equal("finished quiz: record messages", first.get("messages_before_bank_window"), [])
    missed = first.get("words", ["?", "?"])[1]

    killed = run("answer", "测试C.txt", "0", "3", "kill")
    checks.equal("killed quiz: driver failed at", killed.get("failed_step"), None)
    checks.equal("killed quiz: TerminateProcess", killed.get("killed"), True)
    # One miss: with both answers right, the killed and the closed quiz
    # together cover all five words once in ten random orders, and the bank
    # is rightly mastered.
    closed = run("answer", "测试C.txt", "1", "2", "close")
    checks.equal("closed quiz: driver failed at", closed.get("failed_step"), None)
    checks.equal("closed quiz: exit code", closed.get("exit_code"), 0)

    seen = run("bank-window", "marks")
    rows, images = seen.get("bank_rows", []), seen.get("row_images", [])
    checks.equal("restart: driver failed at", seen.get("failed_step"), None)
    checks.true("restart: the error book among the first rows", "错词本.txt" in rows[:2])
    book = os.path.join(program, "单词表", "00复习", "错词本.txt")
    lines = open(book, "rb").read().decode("gbk").split("\r\n") if os.path.exists(book) else []
    checks.true(f"the error book holds {missed!r}: {lines!r}", missed in lines)
    if "测试A.txt" in rows and "测试B.txt" in rows:
        finished = rows.index("测试A.txt")
        checks.equal("the finished bank's mark", images[finished] if finished < len(images) else None,
                     PRACTISED_IMAGE)
        mastered = rows.index("测试D.txt")
        checks.equal("the mastered bank's mark", images[mastered] if mastered < len(images) else None,
                     MASTERED_IMAGE)
        closed_row = rows.index("测试C.txt")
        checks.equal("the closed quiz's bank's mark", images[closed_row] if closed_row < len(images) else None,
                     PRACTISED_IMAGE)
        checks.equal("the row selected", seen.get("selected_row"), rows.index("测试B.txt"))
        checks.equal("the selected row in view", seen.get("selected_row_in_view"), True)
    else:
        checks.true("the test banks listed", False)
    checks.equal("row texts are the bank names", sorted(n for n in rows if n.startswith("测试")), sorted(BANKS))
    checks.true("every row marked", images and all(image in ("1", "2", "3") for image in images))

    finished_answers = answers_of(program, "测试A.txt")
    checks.equal("answers of the finished quiz", [correct for _, correct in finished_answers], [1, 0, 1])
    # Kept beside the screenshots, to look at the marks on another build.
    shutil.copy(os.path.join(program, RECORD), os.path.join(os.path.dirname(program), "record-after-restart.db"))
    killed_answers = answers_of(program, "测试C.txt")
    checks.equal("answers given before the kill", [entry.decode("gbk") for entry, _ in killed_answers[:3]],
                 killed.get("words"))


def check_bad_record(checks, what, seen, program):
    check_finished(checks, what, seen)
    checks.equal(f"{what}: messages", len(seen.get("messages_before_bank_window", [])), 1)
    checks.true(f"{what}: report written", os.path.exists(os.path.join(program, "日志", "报告测试B.txt")))


def make_read_only(folder):
    """No file can be made in the folder itself, root included; returns the undo."""
    if os.geteuid() == 0:  # root writes through permission bits
        subprocess.run(["chattr", "+i", folder], check=True)
        return lambda: subprocess.run(["chattr", "-i", folder], check=True)
    os.chmod(folder, stat.S_IRUSR | stat.S_IXUSR)
    return lambda: os.chmod(folder, 0o755)


def bad_records(checks, run, program):
    record = os.path.join(program, RECORD)

    def fresh_start():
        for leftover in glob.glob(record + "*"):
            os.remove(leftover)
        for report in glob.glob(os.path.join(program, "日志", "*")):
            os.remove(report)

    fresh_start()
    garbage = os.urandom(16384)
    open(record, "wb").write(garbage)
    seen = run("answer", "测试B.txt", "0", "2", "finish")
    check_bad_record(checks, "random bytes", seen, program)
    aside = [path for path in glob.glob(record + "*") if path != record and not path.endswith(("-wal", "-shm"))]
    checks.equal("random bytes: files set aside", len(aside), 1)
    checks.true("random bytes: set aside unchanged", aside and open(aside[0], "rb").read() == garbage)

    fresh_start()
    undo = make_read_only(program)
    try:
        seen = run("answer", "测试B.txt", "0", "2", "finish")
    finally:
        undo()
    check_bad_record(checks, "read-only folder", seen, program)
    checks.equal("read-only folder: no record", os.path.exists(record), False)

    fresh_start()
    holder = sqlite3.connect(record, isolation_level=None)
    holder.execute("CREATE TABLE kept(x)")
    holder.execute("INSERT INTO kept VALUES ('mine')")
    before = open(record, "rb").read()
    holder.execute("BEGIN EXCLUSIVE")
    try:
        seen = run("answer", "测试B.txt", "0", "2", "finish")
    finally:
        holder.execute("ROLLBACK")
        holder.close()
    check_bad_record(checks, "held record", seen, program)
    checks.true("held record: unchanged", open(record, "rb").read() == before)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--win-build", "--source", "--prefix", "--work"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    args.win_build, args.source, args.prefix, args.work = map(
        os.path.abspath, (args.win_build, args.source, args.prefix, args.work))
    driver = os.path.join(args.win_build, "e2e-driver", "vorbelzoz_e2e_driver.exe")
    run_dir = os.path.join(args.work, "run")
    if os.path.isdir(os.path.join(run_dir, "program")):  # after a run cut short
        if os.geteuid() == 0:
            subprocess.run(["chattr", "-i", os.path.join(run_dir, "program")])
        os.chmod(os.path.join(run_dir, "program"), 0o755)
    shutil.rmtree(run_dir, ignore_errors=True)
    os.makedirs(run_dir)
    os.makedirs(args.prefix, exist_ok=True)

    checks = Checks()
    log = open(os.path.join(args.work, "wine.log"), "w")
    session = WineSession(args.prefix, args.work, log)
    server = None
    try:
        session.start()
        server, port, _ = start_server(args.source, run_dir, log)
        program = assemble_program(args.win_build, run_dir, port)
        run = Driver(session, driver, program, run_dir)
        learn_and_come_back(checks, run, program)
        bad_records(checks, run, program)
    finally:
        if server is not None:
            server.terminate()
            server.wait()
        session.stop()
        log.close()
    print("screenshots:", run_dir)
    return checks.outcome()


if __name__ == "__main__":
    sys.exit(main())
