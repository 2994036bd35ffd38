#!/usr/bin/env python3
"""Response times of the Windows service under Wine, as the program meets it.

Starts build/win32/program/vorbelzoz_service.exe under Wine on a free port
and prints, for words asked for the first time (nothing is cached on the
service's side; the program's mp3/ cache is what a first request misses):
the time from start to the first answered page (data still loading), then
per word the page and the spoken MP3 (synthesis and encoding included).

  bench/win32_service_bench.py [--win-build build/win32] [--prefix DIR]
"""
import argparse
import os
import statistics
import subprocess
import time
import urllib.request

WORDS = ["apple", "ice cream", "international", "beautiful", "government", "zorblimpic",
         "photograph", "understand", "necessary", "a piece of cake"]


def fetch(port, target):
    start = time.perf_counter()
    with urllib.request.urlopen(f"http://127.0.0.1:{port}{target}", timeout=30) as reply:
        body = reply.read()
    return (time.perf_counter() - start) * 1000, body


def speech(word):
    return "/text2audio?lan=uk&pid=101&ie=UTF-8&text=" + urllib.request.quote(word) + "&spd=2"


def main():
    parser = argparse.ArgumentParser()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--win-build", default=os.path.join(root, "build", "win32"))
    parser.add_argument("--prefix", default=os.path.join(root, "build", "wine-bench"))
    args = parser.parse_args()
    env = dict(os.environ, WINEPREFIX=os.path.abspath(args.prefix), WINEDEBUG="-all", WINEARCH="win64",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    env.pop("DISPLAY", None)
    os.makedirs(args.prefix, exist_ok=True)
    subprocess.run(["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=600)
    exe = os.path.join(args.win_build, "program", "vorbelzoz_service.exe")
    started = time.perf_counter()
    service = subprocess.Popen(["wine", exe, "--port", "0"], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
    try:
        line = service.stdout.readline().strip()
        port = int(line.rsplit(":", 1)[1])
        ready = (time.perf_counter() - started) * 1000
        first, _ = fetch(port, "/water")
        print(f"start under Wine to 'listening': {ready:.0f} ms; first page after that: {first:.0f} ms")
        pages, mp3s = [], []
        for word in WORDS:
            page_ms, _ = fetch(port, "/" + urllib.request.quote(word))
            mp3_ms, mp3 = fetch(port, speech(word))
            pages.append(page_ms)
            mp3s.append(mp3_ms)
            print(f"{word!r:22} page {page_ms:6.1f} ms   mp3 {mp3_ms:6.1f} ms ({len(mp3)} bytes)")
        print(f"page: median {statistics.median(pages):.1f} ms, max {max(pages):.1f} ms (goal < 300 ms)")
        print(f"mp3:  median {statistics.median(mp3s):.1f} ms, max {max(mp3s):.1f} ms (goal < 1000 ms)")
    finally:
        service.kill()
        subprocess.run(["wineserver", "-k"], env=env, timeout=60)


if __name__ == "__main__":
    main()
