#!/usr/bin/env python3
"""The statistics window of the Windows program under Wine, end to end.

After a quiz with one wrong answer, the next start's bank window opens
学习统计; Ctrl+S saves its picture (at least 600 x 450, not of one colour)
and Ctrl+E exports the record, whose rows must be the record's answers; a
second click on the button brings the same window back, not a second one.
Then at 144 DPI on a 1920x1080 screen, where the page at that DPI (1350 x
1050) is taller than the work area: the window is drawn smaller and lies
inside the work area, while the saved picture keeps the screen's DPI.

  statistics_e2e.py --win-build DIR --source DIR --prefix DIR --work DIR
"""
import argparse
import csv
import glob
import io
import os
import shutil
import sqlite3
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from record_e2e import RECORD, Driver, assemble_program, check_finished  # noqa: E402
from run_e2e import Checks, start_server  # noqa: E402
from wine_session import WineSession  # noqa: E402


def png_size(path):
    head = open(path, "rb").read(24)
    return struct.unpack(">II", head[16:24]) if head[:8] == b"\x89PNG\r\n\x1a\n" else None


def colours(path):
    return int(subprocess.run(["identify", "-format", "%k", path], stdout=subprocess.PIPE, text=True).stdout or 0)


def check_statistics(checks, run, program, dpi=96):
    check_finished(checks, "quiz", run("answer", "测试A.txt", "2", "3", "finish"))
    seen = run("statistics")
    checks.true(f"statistics window inside the work area at {dpi} DPI {seen.get('statistics_frame')}",
                seen.get("statistics_inside") is True)
    if dpi != 96:
        checks.true(f"statistics window drawn smaller: {seen.get('statistics_height')} px high",
                    0 < seen.get("statistics_height", 0) < 700 * dpi // 96)
    checks.equal("statistics: driver failed at", seen.get("failed_step"), None)
    checks.true("statistics: picture saved", "学习统计-" in seen.get("picture_message", ""))
    checks.true("statistics: record exported", "学习记录-" in seen.get("export_message", ""))
    checks.equal("statistics: one window after the second click", seen.get("statistics_windows"), 1)

    folder = os.path.join(program, "统计")
    pictures = glob.glob(os.path.join(folder, "学习统计-*.png"))
    checks.equal("pictures", len(pictures), 1)
    if pictures:
        size = png_size(pictures[0])
        checks.true(f"picture size {size}", size is not None and size[0] >= 600 and size[1] >= 450)
        if dpi != 96:
            checks.equal("picture at the screen's DPI", size, (900 * dpi // 96, 700 * dpi // 96))
        checks.true("picture of more than one colour", colours(pictures[0]) > 1)
    checks.equal("temporary files", glob.glob(os.path.join(folder, "*.tmp")), [])
    exports = glob.glob(os.path.join(folder, "学习记录-*.csv"))
    checks.equal("exports", len(exports), 1)
    if exports:
        data = open(exports[0], "rb").read()
        checks.true("byte-order mark", data.startswith(b"\xef\xbb\xbf"))
        rows = list(csv.reader(io.StringIO(data[3:].decode("utf-8"), newline="")))
        with sqlite3.connect(os.path.join(program, RECORD)) as db:
            answers = db.execute("SELECT bank, entry, typed, correct, hint_shown, answer_ms FROM answers"
                                 " ORDER BY id").fetchall()
        expected = [[bank.decode("gbk"), entry.decode("gbk"), typed.decode("gbk"), "对" if correct else "错",
                     "是" if hint else "否", str(ms)] for bank, entry, typed, correct, hint, ms in answers]
        checks.equal("header", rows[0] if rows else None, ["时间", "词库", "单词", "输入", "结果", "提示", "用时毫秒"])
        checks.equal("rows", [row[1:] for row in rows[1:]], expected)
        checks.equal("answers of the quiz", len(expected), 3)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--win-build", "--source", "--prefix", "--work"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    args.win_build, args.source, args.prefix, args.work = map(
        os.path.abspath, (args.win_build, args.source, args.prefix, args.work))
    driver = os.path.join(args.win_build, "e2e-driver", "vorbelzoz_e2e_driver.exe")
    run_dir = os.path.join(args.work, "run")
    shutil.rmtree(run_dir, ignore_errors=True)
    os.makedirs(run_dir)
    os.makedirs(args.prefix, exist_ok=True)

    checks = Checks()
    for dpi, screen, folder in ((96, None, run_dir), (144, "1920x1080x24", run_dir + "-144")):
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        log = open(os.path.join(folder, "wine.log"), "w")
        session = WineSession(args.prefix, folder, log, **({"screen": screen} if screen else {}))
        server = None
        try:
            session.start()
            if dpi != 96:
                session.set_log_pixels(dpi)
            server, port, _ = start_server(args.source, folder, log)
            program = assemble_program(args.win_build, folder, port)
            check_statistics(checks, Driver(session, driver, program, folder), program, dpi)
        finally:
            if server is not None:
                server.terminate()
                server.wait()
            if dpi != 96 and session.display is not None:
                session.set_log_pixels(96)
            session.stop()
            log.close()
        print("screenshots:", folder)
    return checks.outcome()


if __name__ == "__main__":
    sys.exit(main())
