#!/usr/bin/env python3
"""The report of a bank named like a script is shown, never run, under Wine.

A bank called "a&mkdir vorbelzoz-ran&.cmd" gives the report file
"日志\\报告a&mkdir vorbelzoz-ran&.cmd". Were it started, the command
interpreter would run its first line and create the folder vorbelzoz-ran.
The driver runs the usual quiz and presses "查看详情"; the report must show
up in Notepad under its designed name, and no folder may appear.

  report_script_e2e.py --win-build DIR --source DIR --prefix DIR --work DIR
"""
import argparse
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402
from wine_session import WineSession  # noqa: E402

SCRIPT_BANK = "a&mkdir vorbelzoz-ran&.cmd"
MARKER = "vorbelzoz-ran"


def main():
    parser = argparse.ArgumentParser()
    for name in ("--win-build", "--source", "--prefix", "--work"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    win_build, source, prefix, work = map(os.path.abspath, (args.win_build, args.source, args.prefix, args.work))
    # The usual quiz scenario, on the script-named bank.
    run_e2e.BANK_ROW = SCRIPT_BANK
    driver = os.path.join(win_build, "e2e-driver", "vorbelzoz_e2e_driver.exe")
    run_dir = os.path.join(work, "run")
    shots_dir = os.path.join(work, "screenshots")
    for folder in (run_dir, shots_dir):
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    os.makedirs(prefix, exist_ok=True)

    log = open(os.path.join(work, "wine.log"), "w")
    session = WineSession(prefix, work, log)
    server, code, program = None, None, run_dir
    report_path = os.path.join(run_dir, "driver-report.json")
    try:
        session.start()
        server, port, _ = run_e2e.start_server(source, run_dir, log)
        program = run_e2e.assemble_program(win_build, run_dir, port)
        code = run_e2e.run_driver(session, driver, program, report_path, shots_dir, "quiz", 300)
    finally:
        if server is not None:
            server.terminate()
            server.wait()
        session.stop()
        log.close()

    seen = run_e2e.driver_report(report_path)
    checks = run_e2e.Checks()
    checks.equal("driver exit code", code, 0)
    checks.equal("driver failed at", seen.get("failed_step"), None)
    checks.equal("report shown in Notepad under its name", seen.get("report_opened"), True)
    report = os.path.join(program, "日志", "报告" + SCRIPT_BANK)
    checks.true("report file named after the bank", os.path.exists(report))
    if os.path.exists(report):
        first_line = open(report, "rb").read().split(b"\r\n")[0]
        checks.equal("report's first line", first_line, ("答题范围：" + SCRIPT_BANK).encode("gbk"))
    for folder in (run_dir, program, os.path.join(program, "日志"), os.path.join(program, "单词表")):
        checks.true(f"the report's command ran in {folder}", not os.path.exists(os.path.join(folder, MARKER)))
    for failure in checks.failures:
        print("FAIL:", failure)
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
