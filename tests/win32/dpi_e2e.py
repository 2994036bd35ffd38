#!/usr/bin/env python3
"""The Windows program's two windows at 96, 144 and 192 DPI under Wine.

For each DPI the display's LogPixels is set in the Wine prefix, the driver
opens the word-bank window, chooses a bank and brings the main window to its
compact and wide sizes and to every optional control shown; its hook writes
each layout as the program's process sees it. Then:

- the program draws at that DPI, and at 96 DPI each window has its designed
  outer size;
- each window's client area is the one at 96 DPI times DPI / 96, within 2 px;
- every visible control lies inside its window, and no two controls overlap
  that do not overlap at 96 DPI;
- the text of every button, label and check box fits its control, measured
  with GetTextExtentPoint32 in the control's font (a text taller than its
  control at 96 DPI may not outgrow it further);
- the screenshots at 144 DPI have the window's size, and the blue status
  line and the bank list's rows are drawn where the scaled layout puts them;
- told that it moved to a 144-DPI screen (WM_DPICHANGED, which Wine never
  sends itself), the main window at 96 DPI takes the suggested rectangle and
  lays its controls out as the program started at 144 DPI does.

  dpi_e2e.py --win-build DIR --source DIR --prefix DIR --work DIR
"""
import argparse
import json
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402
from run_e2e import Checks  # noqa: E402
from wine_session import WineSession, windows_path  # noqa: E402

# 96 last: its run moves the main window to the 144-DPI run's size.
DPIS = (144, 192, 96)
# The states the driver measures, in its order, with the designed outer sizes.
STATES = (("bank", (858, 806)), ("compact", (586, 366)), ("wide", (948, 531)), ("all shown", (948, 531)))
SHOT_DPI = 144
STATUS_LABEL, BANK_LIST = 16, 0  # table positions
BS_TYPE_MASK, BS_AUTOCHECKBOX = 0xF, 3
# The bank window at 192 DPI is about 1720 x 1620 pixels.
SCREEN = "2400x1800x24"


def run_at(session, args, dpi, extra=()):
    """One program run at dpi; returns (driver exit code, the layouts, the screenshot folder)."""
    work = os.path.join(args.work, f"dpi-{dpi}")
    shutil.rmtree(work, ignore_errors=True)
    shots = os.path.join(work, "screenshots")
    os.makedirs(shots)
    session.set_log_pixels(dpi)
    # The web hosts point at a port nothing listens on: no service is
    # started, and the windows are all this test needs.
    program = run_e2e.assemble_program(args.win_build, work, 9)
    os.environ["VORBELZOZ_E2E_MEASURE"] = windows_path(work)
    driver = os.path.join(args.win_build, "e2e-driver", "vorbelzoz_e2e_driver.exe")
    code = run_e2e.run_driver(session, driver, program, os.path.join(work, "driver-report.json"), shots,
                              "layout", 180, extra)
    layouts = []
    for number in range(len(STATES) + (1 if extra else 0)):
        path = os.path.join(work, f"layout-{number}.json")
        layouts.append(json.load(open(path, encoding="utf-8")) if os.path.exists(path) else None)
    return code, layouts, shots


def edges(control):
    left, top, width, height = control["rect"]
    return left, top, left + width, top + height


def overlapping_pairs(layout):
    controls = layout["controls"]
    pairs = set()
    for i, a in enumerate(controls):
        for b in controls[i + 1:]:
            al, at, ar, ab = edges(a)
            bl, bt, br, bb = edges(b)
            if al < br and bl < ar and at < bb and bt < ab:
                pairs.add((a["index"], b["index"]))
    return pairs


def text_room(control, dpi):
    """The width a control leaves its text: a check box's box and a button's edges take some."""
    width = control["rect"][2]
    if control["class"].lower() == "button":
        if control["style"] & BS_TYPE_MASK == BS_AUTOCHECKBOX:
            return width - round(16 * dpi / 96)
        return width - round(4 * dpi / 96)
    return width


def check_texts(checks, where, layout, base, dpi):
    base_controls = {c["index"]: c for c in base["controls"]}
    for control in layout["controls"]:
        if control["class"].lower() not in ("button", "static") or not control["visible"] or not control["text"]:
            continue
        name = f"{where}: text {control['text']!r} of control {control['index']}"
        width, height = control["extent"]
        room = text_room(control, dpi)
        checks.true(f"{name} is {width} px wide in {room} px", width <= room)
        box_height = control["rect"][3]
        at96 = base_controls.get(control["index"])
        if at96 is not None and at96["extent"][1] > at96["rect"][3]:
            limit = at96["extent"][1] * dpi / 96 + 1
            checks.true(f"{name} outgrows its {box_height} px at 96 DPI and more so here ({height} px)",
                        height <= limit)
        else:
            checks.true(f"{name} is {height} px high in {box_height} px", height <= box_height)


def check_layouts(checks, dpi, layouts, base):
    for (state, design), layout, at96 in zip(STATES, layouts, base):
        where = f"{dpi} DPI, {state}"
        if layout is None or at96 is None:
            checks.true(f"{where}: layout measured", False)
            continue
        checks.equal(f"{where}: DPI the program draws at", layout["dpi"], dpi)
        if dpi == 96:
            checks.equal(f"{where}: outer size", layout["outer"], list(design))
        frame = [o - c for o, c in zip(at96["outer"], at96["client"])]
        expected = [round((d - f) * dpi / 96) for d, f in zip(design, frame)]
        checks.true(f"{where}: client area {layout['client']} is {expected} within 2 px",
                    all(abs(c - e) <= 2 for c, e in zip(layout["client"], expected)))
        client_width, client_height = layout["client"]
        for control in layout["controls"]:
            left, top, right, bottom = edges(control)
            if control["visible"]:
                checks.true(f"{where}: control {control['index']} {control['rect']} inside {layout['client']}",
                            left >= 0 and top >= 0 and right <= client_width and bottom <= client_height)
        new = overlapping_pairs(layout) - overlapping_pairs(at96)
        checks.equal(f"{where}: controls that overlap only here", sorted(new), [])
        check_texts(checks, where, layout, at96, dpi)


def check_dpi_change(checks, moved, at144):
    """The 96-DPI main window after WM_DPICHANGED to 144, against the one started at 144."""
    if moved is None or at144 is None:
        checks.true("main window measured after WM_DPICHANGED", False)
        return
    checks.equal("outer size after WM_DPICHANGED (the suggested one)", moved["outer"], at144["outer"])
    started = {c["index"]: c for c in at144["controls"]}
    for control in moved["controls"]:
        other = started.get(control["index"], {})
        # A control without a font of its own measures in the system font,
        # which is the system DPI's.
        keys = ("rect", "font_height", "extent") if control["font_height"] else ("rect",)
        for key in keys:
            checks.equal(f"{key} of control {control['index']} after WM_DPICHANGED", control[key], other.get(key))


def pixels(path, rect):
    """RGB triples of a rectangle of a picture."""
    left, top, width, height = rect
    data = subprocess.run(["convert", path, "-crop", f"{width}x{height}+{left}+{top}", "+repage", "-depth", "8",
                           "rgb:-"], capture_output=True, timeout=60, check=True).stdout
    return list(zip(data[0::3], data[1::3], data[2::3]))


def picture_size(path):
    out = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True, timeout=60,
                         check=True).stdout
    return [int(v) for v in out.split()]


def in_picture(layout, control):
    """A control's rectangle in a capture of its whole window, frame included."""
    border = (layout["outer"][0] - layout["client"][0]) // 2
    caption = layout["outer"][1] - layout["client"][1] - border
    left, top, width, height = control["rect"]
    return left + border, top + caption, width, height


def check_screenshots(checks, shots, layouts):
    bank, main = layouts[0], layouts[3]
    for name, layout in (("bank", bank), ("main", main)):
        path = os.path.join(shots, name + ".png")
        checks.true(f"screenshot {name} at {SHOT_DPI} DPI taken", os.path.exists(path))
        if not os.path.exists(path) or layout is None:
            return
        checks.equal(f"screenshot {name} size", picture_size(path), layout["outer"])
    status = next(c for c in main["controls"] if c["index"] == STATUS_LABEL)
    blue = sum(1 for r, g, b in pixels(os.path.join(shots, "main.png"), in_picture(main, status))
               if b > 180 and r < 90 and g < 90)
    checks.true(f"the status line is drawn blue at its scaled place ({blue} px)", blue > 100)
    rows = next(c for c in bank["controls"] if c["index"] == BANK_LIST)
    dark = sum(1 for r, g, b in pixels(os.path.join(shots, "bank.png"), in_picture(bank, rows))
               if r + g + b < 300)
    checks.true(f"the bank list's rows are drawn ({dark} dark px)", dark > 2000)


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

    log = open(os.path.join(args.work, "wine.log"), "w")
    session = WineSession(args.prefix, args.work, log, screen=SCREEN)
    results = {}
    try:
        session.start()
        for dpi in DPIS:
            extra = ()
            if dpi == 96 and results[144][1][3] is not None:
                extra = tuple(str(v) for v in (144, *results[144][1][3]["outer"]))
            results[dpi] = run_at(session, args, dpi, extra)
    finally:
        # The prefix is shared with the other Windows tests, which run at 96.
        if session.display is not None:
            session.set_log_pixels(96)
        session.stop()
        log.close()

    checks = Checks()
    base = results[96][1]
    for dpi, (code, layouts, shots) in sorted(results.items()):
        checks.equal(f"{dpi} DPI: driver exit code", code, 0)
        check_layouts(checks, dpi, layouts[:len(STATES)], base)
        sizes = ", ".join(f"{state} {layout['client'] if layout else None}"
                          for (state, _), layout in zip(STATES, layouts))
        print(f"{dpi} DPI client areas: {sizes}")
    check_dpi_change(checks, base[len(STATES)] if len(base) > len(STATES) else None, results[144][1][3])
    code, layouts, shots = results[SHOT_DPI]
    if None not in layouts:
        check_screenshots(checks, shots, layouts)
    print("screenshots at", SHOT_DPI, "DPI:", shots)
    for failure in checks.failures:
        print("FAIL:", failure)
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
