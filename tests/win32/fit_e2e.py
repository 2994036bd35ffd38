#!/usr/bin/env python3
"""Both windows on screens smaller than the design, under Wine.

At 96 DPI on a 1366x768 display the word-bank window is taller than the
screen; at 144 DPI on a 1920x1080 one it is too. For each, the driver
checks that the bank window and every visible control lie inside the work
area, saves a new bank with a real click on "保存", takes a bank, moves the
main window against the right edge of the screen and ticks "词意" there:
the wider window moves left and stays on the screen. Screenshots of both
windows are kept.

  fit_e2e.py --win-build DIR --source DIR --prefix DIR --work DIR
"""
import argparse
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402
from run_e2e import NEW_BANK_NAME, Checks  # noqa: E402
from wine_session import WineSession  # noqa: E402

SCREENS = ((96, "1366x768x24"), (144, "1920x1080x24"))


def run_on(args, dpi, screen, checks):
    work = os.path.join(args.work, f"{dpi}-{screen.split('x')[0]}")
    shutil.rmtree(work, ignore_errors=True)
    shots = os.path.join(work, "screenshots")
    os.makedirs(shots)
    where = f"{dpi} DPI on {screen}"
    log = open(os.path.join(work, "wine.log"), "w")
    session = WineSession(args.prefix, work, log, screen=screen)
    try:
        session.start()
        session.set_log_pixels(dpi)
        # No service: the windows are all this test needs.
        program = run_e2e.assemble_program(args.win_build, work, 9)
        driver = os.path.join(args.win_build, "e2e-driver", "vorbelzoz_e2e_driver.exe")
        report_path = os.path.join(work, "driver-report.json")
        code = run_e2e.run_driver(session, driver, program, report_path, shots, "fit", 240)
    finally:
        # The prefix is shared with the other Windows tests, which run at 96.
        if session.display is not None:
            session.set_log_pixels(96)
        session.stop()
        log.close()
    seen = run_e2e.driver_report(report_path)
    checks.equal(f"{where}: driver exit code", code, 0)
    checks.equal(f"{where}: failed step", seen.get("failed_step"), None)
    for window in ("bank", "compact", "wide"):
        checks.true(f"{where}: {window} window inside the work area {seen.get('work_area')}: "
                    f"{seen.get(window + '_frame')}", seen.get(window + "_inside") is True)
        checks.equal(f"{where}: {window} controls outside the work area", seen.get(window + "_outside"), [])
    checks.true(f"{where}: the selected bank's words are shown at start", bool(seen.get("shown_words")))
    checks.equal(f"{where}: saving by a click on 保存", seen.get("save_message"), "保存成功")
    checks.equal(f"{where}: the saved bank's row", seen.get("saved_row"), NEW_BANK_NAME + ".txt")
    wide, compact = seen.get("wide_frame"), seen.get("compact_frame")
    if wide and compact:
        checks.true(f"{where}: ticking 词意 widened the window leftwards", int(wide[0]) < int(compact[0]))
    print(f"{where}: work area {seen.get('work_area')}, bank {seen.get('bank_frame')}, "
          f"main {compact} -> {wide}; screenshots in {shots}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--win-build", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    args.win_build, args.source, args.prefix, args.work = map(
        os.path.abspath, (args.win_build, args.source, args.prefix, args.work))
    os.makedirs(args.work, exist_ok=True)
    checks = Checks()
    for dpi, screen in SCREENS:
        run_on(args, dpi, screen, checks)
    return checks.outcome()


if __name__ == "__main__":
    sys.exit(main())
