#!/usr/bin/env python3
"""The reference list against the running service: each page must carry the
British transcription a learner's dictionary prints and put the word's core
sense first.

    reference_pages.py [--wrapper wine] SERVICE_EXECUTABLE

Starts the service on a free port, asks it for every word of
reference_words.tsv and prints the figures. Fails when fewer than 70 % of
the transcriptions match exactly, when any other one differs by more than
two symbols, or when a page's first sense is not the word's core sense.
Also used by the Windows end-to-end test, through check_service().
"""
import argparse
import os
import socket
import subprocess
import sys
import time
import urllib.parse
import urllib.request

REFERENCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "reference_words.tsv")
MARKER = "<span>英 ["
EXACT_SHARE = 0.70
NEAR_SYMBOLS = 2


def reference_words():
    with open(REFERENCE, encoding="utf-8") as lines:
        return [line.rstrip("\n").split("\t")[:3] for line in lines if line.strip() and not line.startswith("#")]


def distance(a, b):
    row = list(range(len(b) + 1))
    for i, x in enumerate(a, 1):
        previous, row[0] = row[0], i
        for j, y in enumerate(b, 1):
            previous, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, previous + (x != y))
    return row[-1]


def transcription(page):
    start = page.find(MARKER)
    if start < 0:
        return None
    start += len(MARKER)
    return page[start:page.find("]</span>", start)]


def first_sense(page):
    start = page.find("<li>")
    if start < 0:
        return None
    start += len("<li>")
    if page.startswith("<b>", start):
        start = page.index("</b> ", start) + len("</b> ")
    end = min(i for i in (page.find("；", start), page.find("</li>", start)) if i >= 0)
    return page[start:end]


def page_of(port, word):
    url = f"http://127.0.0.1:{port}/" + urllib.parse.quote(word)
    with urllib.request.urlopen(url, timeout=20) as reply:
        return reply.read().decode("utf-8")


def check_service(port, report=print):
    """Failures as texts; the figures go to report."""
    words = reference_words()
    failures, exact = [], 0
    for word, expected, sense in words:
        page = page_of(port, word)
        got = transcription(page)
        if got == expected:
            exact += 1
        elif got is None or distance(got, expected) > NEAR_SYMBOLS:
            failures.append(f"{word}: transcription {got!r}, a learner's dictionary prints {expected!r}")
        else:
            report(f"near: {word} {got} (dictionary {expected})")
        if first_sense(page) != sense:
            failures.append(f"{word}: first sense {first_sense(page)!r}, core sense {sense!r}")
    report(f"reference list: {exact} of {len(words)} transcriptions exact ({100 * exact / len(words):.0f} %)")
    if exact < EXACT_SHARE * len(words):
        failures.append(f"only {exact} of {len(words)} transcriptions exact")
    return failures


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for(port, process, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline and process.poll() is None:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=1):
                return True
        except OSError:
            time.sleep(0.2)
    return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wrapper", action="append", default=[])
    parser.add_argument("service")
    args = parser.parse_args()
    port = free_port()
    process = subprocess.Popen([*args.wrapper, args.service, "--port", str(port)], stdout=subprocess.DEVNULL)
    try:
        if not wait_for(port, process, 120):
            print("FAIL: the service did not start")
            return 1
        failures = check_service(port)
    finally:
        process.terminate()
        process.wait(30)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
