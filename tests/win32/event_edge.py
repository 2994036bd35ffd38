#!/usr/bin/env python3
"""An exception in a handler ends at the Win32 window procedure, under Wine.

The probe opens the word-bank window on the real port and clicks its mute
box while the handler throws; it prints one JSON line and exits 0 when the
click returned and the later clicks were handled.

  event_edge.py --win-build DIR --prefix DIR --work DIR
"""
import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_session import WineSession  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    for name in ("--win-build", "--prefix", "--work"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    probe = os.path.join(os.path.abspath(args.win_build), "event-edge-probe", "vorbelzoz_event_edge_probe.exe")

    with open(os.path.join(work, "wine.log"), "w") as log:
        session = WineSession(os.path.abspath(args.prefix), work, log)
        try:
            session.start()
            result = session.run([probe], timeout=120, stdout=subprocess.PIPE, text=True)
        finally:
            session.stop()
    print(result.stdout.strip() or "(no output)")
    if result.returncode != 0:
        print(f"FAIL: probe exit code {result.returncode}; see {log.name}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
