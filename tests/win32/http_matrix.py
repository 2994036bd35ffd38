#!/usr/bin/env python3
"""The Windows HTTP client against the hostile test server, under Wine.

Each hostile behaviour must end in a failure as the program reads one (not
completed, or not a 2xx status), with no byte of a local file, at most what
a resetting server sent before it broke off, within the deadline plus two
seconds; the process's peak memory must stay far below the 100 MiB bodies,
and afterwards the thread still handles messages and an ordinary request
succeeds.

  http_matrix.py --win-build DIR --source DIR --prefix DIR --work DIR
"""
import argparse
import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_session import WineSession  # noqa: E402

KINDS = ["hang", "drip", "huge", "huge-stream", "loop", "file", "reset", "garbage", "big-header"]
DEADLINE_MS = 3000


def check(lines):
    failures = []
    seen = {line["kind"]: line for line in lines if "kind" in line}
    for kind in KINDS:
        got = seen.get(kind)
        if got is None:
            failures.append(f"{kind}: no answer from the probe")
            continue
        if got["completed"] and 200 <= got["status"] <= 299:
            failures.append(f"{kind}: taken as a success: {got}")
        if got["passwd"]:
            failures.append(f"{kind}: a local file came back as the body")
        if got["bytes"] > 1000:
            failures.append(f"{kind}: {got['bytes']} bytes kept")
        if got["ms"] >= DEADLINE_MS + 2000:
            failures.append(f"{kind}: took {got['ms']} ms")
    after = next((line for line in lines if "memory_growth" in line), None)
    if after is None:
        failures.append("the probe did not finish")
    else:
        if after["memory_growth"] >= 48 * 1024 * 1024:
            failures.append(f"peak memory grew by {after['memory_growth']} bytes")
        if not after["messages_handled"]:
            failures.append("window messages no longer handled")
        if (after["ok_status"], after["ok_body"]) != (200, "fine"):
            failures.append(f"an ordinary request afterwards: {after}")
    return failures


def main():
    parser = argparse.ArgumentParser()
    for name in ("--win-build", "--source", "--prefix", "--work"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    probe = os.path.join(os.path.abspath(args.win_build), "http-probe", "vorbelzoz_http_probe.exe")

    log = open(os.path.join(work, "wine.log"), "w")
    session = WineSession(os.path.abspath(args.prefix), work, log)
    server = None
    try:
        session.start()
        server = subprocess.Popen([sys.executable, os.path.join(args.source, "tests", "e2e", "hostile_server.py")],
                                  stdout=subprocess.PIPE, stderr=log, text=True)
        ready = server.stdout.readline().split()
        if len(ready) != 2 or ready[0] != "ready":
            raise RuntimeError("hostile server did not start")
        result = session.run([probe, ready[1], str(DEADLINE_MS), *KINDS], stdout=subprocess.PIPE, text=True,
                             timeout=60 + len(KINDS) * (DEADLINE_MS / 1000 + 2) * 2)
    finally:
        if server is not None:
            server.kill()
            server.wait()
        session.stop()
        log.close()

    lines = [json.loads(line) for line in result.stdout.splitlines() if line.startswith("{")]
    for line in lines:
        print(json.dumps(line))
    failures = check(lines)
    if result.returncode != 0:
        failures.append(f"probe exit code {result.returncode}")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
