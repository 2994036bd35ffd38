#!/usr/bin/env python3
"""The Windows program's static SQLite works under Wine.

The probe writes "学习记录.db" into the work folder in WAL mode; here the
file must be found under that name and be readable by the host's SQLite,
holding the entry's GBK bytes as its key.

  sqlite_probe.py --win-build DIR --prefix DIR --work DIR
"""
import argparse
import glob
import os
import sqlite3
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_session import WineSession, windows_path  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    for name in ("--win-build", "--prefix", "--work"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    for old in glob.glob(os.path.join(work, "学习记录.db*")):
        os.remove(old)
    probe = os.path.join(os.path.abspath(args.win_build), "sqlite-probe", "vorbelzoz_sqlite_probe.exe")

    with open(os.path.join(work, "wine.log"), "w") as log:
        session = WineSession(os.path.abspath(args.prefix), work, log)
        try:
            session.start()
            result = session.run([probe, windows_path(work)], timeout=120, stdout=subprocess.PIPE, text=True)
        finally:
            session.stop()
    print(result.stdout.strip() or "(no output)")
    if result.returncode != 0:
        print(f"FAIL: probe exit code {result.returncode}; see {log.name}")
        return 1

    record = os.path.join(work, "学习记录.db")
    if not os.path.isfile(record):
        print("FAIL: no 学习记录.db in", work, "but", sorted(os.listdir(work)))
        return 1
    with sqlite3.connect(record) as db:
        rows = db.execute("SELECT entry, answers FROM entries").fetchall()
    if rows != [("苹果 apple".encode("gbk"), 3)]:
        print("FAIL: the host reads", rows)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
