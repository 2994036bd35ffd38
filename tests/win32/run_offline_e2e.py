#!/usr/bin/env python3
"""The release zip under Wine, offline: nothing but what the zip holds.

Unpacks build/win32/vorbelzoz-win64.zip into a fresh folder, adds a bank
with "apple", "ice cream" and a word the bundled dictionary lacks, and lets
the driver run a quiz in a clean Wine prefix with no sound device, no
settings file and nothing listening on the service port beforehand. The
program must start its bundled service, which then supplies phonetics,
meanings and spoken MP3s; after the program ends, no service process may
be left. Then the zip's service, started on its own, answers the reference
list with the transcriptions and core senses a learner's dictionary gives.

  run_offline_e2e.py --win-build DIR --prefix DIR --work DIR
"""
import argparse
import ctypes
import ctypes.util
import math
import os
import shutil
import socket
import subprocess
import sys
import threading
import time
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402
from run_e2e import Checks, cache_name  # noqa: E402
from wine_session import WineSession, windows_path  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "service"))
import reference_pages  # noqa: E402

SERVICE_PORT = 47800
BANK_ROW = "离线词库.txt"
UNKNOWN_WORD = "zorblimpic"
BANK_WORDS = ["apple", "ice cream", UNKNOWN_WORD]
NEW_BANK_NAME = "新词库"
NEW_BANK_TEXT = "alpha\r\n苹果 apple"
WRONG_TEXT = "wrongtext"
BRITISH_MARKER = "<span>英 ["
EXAM_FOLDERS = ["02中考", "03高考", "04四级", "05六级", "06考研", "07托福", "08雅思", "09GRE", "10牛津3000"]
# Root mean square of the decoded samples, full scale 32768: about -40 dBFS.
# Flite's speech lies far above it, digital silence and a faint hiss far below.
RMS_FLOOR = 300.0


def port_answers(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=1):
            return True
    except OSError:
        return False


def unpack_release(zip_path, run_dir, log):
    subprocess.run(["unzip", "-q", zip_path, "-d", run_dir], stdout=log, stderr=log, check=True)
    program = os.path.join(run_dir, "vorbelzoz")
    with open(os.path.join(program, "单词表", BANK_ROW), "wb") as out:
        out.write("\r\n".join(BANK_WORDS).encode("gbk") + b"\r\n")
    return program


def mp3_rms(path):
    """Decodes an MP3 file with libmpg123; (frames decoded ok, RMS of the samples)."""
    lib = ctypes.CDLL(ctypes.util.find_library("mpg123") or "libmpg123.so.0")
    lib.mpg123_new.restype = ctypes.c_void_p
    lib.mpg123_new.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_int)]
    lib.mpg123_open_feed.argtypes = [ctypes.c_void_p]
    lib.mpg123_param.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_long, ctypes.c_double]
    lib.mpg123_decode.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t, ctypes.c_void_p,
                                  ctypes.c_size_t, ctypes.POINTER(ctypes.c_size_t)]
    lib.mpg123_getformat.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_long),
                                     ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
    lib.mpg123_delete.argtypes = [ctypes.c_void_p]
    MPG123_OK, MPG123_NEW_FORMAT, MPG123_ADD_FLAGS, MPG123_QUIET = 0, -11, 2, 0x20
    MPG123_ENC_SIGNED_16 = 0xD0
    lib.mpg123_init()
    handle = lib.mpg123_new(None, None)
    lib.mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0)
    lib.mpg123_open_feed(handle)
    data = open(path, "rb").read()
    out = ctypes.create_string_buffer(1 << 16)
    done = ctypes.c_size_t(0)
    ok, total, count = False, 0.0, 0
    result = lib.mpg123_decode(handle, data, len(data), out, len(out), ctypes.byref(done))
    while True:
        if result == MPG123_NEW_FORMAT:
            rate, channels, encoding = ctypes.c_long(), ctypes.c_int(), ctypes.c_int()
            lib.mpg123_getformat(handle, ctypes.byref(rate), ctypes.byref(channels), ctypes.byref(encoding))
            ok = encoding.value == MPG123_ENC_SIGNED_16
        samples = memoryview(out.raw[:done.value]).cast("h")
        total += sum(s * s for s in samples)
        count += len(samples)
        if result not in (MPG123_OK, MPG123_NEW_FORMAT):
            break
        result = lib.mpg123_decode(handle, None, 0, out, len(out), ctypes.byref(done))
    lib.mpg123_delete(handle)
    return ok and count > 0, math.sqrt(total / count) if count else 0.0


class PageWatcher(threading.Thread):
    """Fetches the service's page for "apple" once the service answers."""

    def __init__(self):
        super().__init__(daemon=True)
        self.page = None
        self.stop = threading.Event()

    def run(self):
        while not self.stop.is_set() and self.page is None:
            try:
                with urllib.request.urlopen(f"http://127.0.0.1:{SERVICE_PORT}/apple", timeout=10) as reply:
                    self.page = reply.read().decode("utf-8")
            except OSError:
                time.sleep(0.3)


def service_processes():
    """Wine processes of the service still alive, by their command lines."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            cmdline = open(f"/proc/{pid}/cmdline", "rb").read().decode("utf-8", "replace")
        except OSError:
            continue
        if "vorbelzoz_service.exe" in cmdline:
            found.append(pid)
    return found


def reference_pages_under_wine(session, program):
    """The reference list against the zip's own service, started on its own."""
    port = reference_pages.free_port()
    service = subprocess.Popen(["wine", os.path.join(program, "vorbelzoz_service.exe"), "--port", str(port)],
                               env=session.env(), stdout=session.log, stderr=session.log)
    try:
        if not reference_pages.wait_for(port, service, 120):
            return ["the service did not start for the reference list"]
        return reference_pages.check_service(port)
    finally:
        service.terminate()
        service.wait(30)


def check_exam_banks(checks, program):
    """The zip carries the exam chapters, GBK with CR LF, as the Linux build does."""
    for name in EXAM_FOLDERS:
        folder = os.path.join(program, "单词表", name)
        chapters = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
        checks.true(f"{name} has chapters in the zip", len(chapters) > 10)
        for chapter in chapters:
            with open(os.path.join(folder, chapter), "rb") as f:
                data = f.read()
            try:
                data.decode("gbk")
                gbk = True
            except UnicodeDecodeError:
                gbk = False
            if not (gbk and data.endswith(b"\r\n") and data.count(b"\n") == data.count(b"\r\n")):
                checks.true(f"{name}/{chapter} is GBK with CR LF", False)


def check(checks, seen, program, page, orphans):
    checks.equal("driver failed at", seen.get("failed_step"), None)
    words = seen.get("words", [])
    checks.equal("words asked", sorted(words), sorted(BANK_WORDS))
    for k, word in enumerate(words, start=1):
        phonetic = seen.get(f"phonetic_{k}", "")
        if word == "apple":
            checks.true(f"British transcription of apple: {phonetic!r}",
                        phonetic.startswith("[") and phonetic.endswith("]") and len(phonetic) > 2)
    cache = os.path.join(program, "mp3")
    for word in ("apple", "ice cream"):
        path = os.path.join(cache, cache_name(word))
        checks.true(f"{cache_name(word)} exists", os.path.exists(path))
        if os.path.exists(path):
            ok, rms = mp3_rms(path)
            print(f"{cache_name(word)}: {os.path.getsize(path)} bytes, RMS {rms:.0f}")
            checks.true(f"{cache_name(word)} decodes as MP3", ok)
            checks.true(f"{cache_name(word)} is not silence (RMS {rms:.0f} <= {RMS_FLOOR})", rms > RMS_FLOOR)

    checks.true("the service answered /apple while the program ran", page is not None)
    if page is not None:
        marker = page.find(BRITISH_MARKER)
        checks.true("the page carries the phonetic marker", marker >= 0)
        checks.true("the page's transcription is not empty",
                    marker >= 0 and page[marker + len(BRITISH_MARKER)] != "]")
        checks.true("the page has a meaning list", "<ul" in page and "<li>" in page)

    check_exam_banks(checks, program)
    run_e2e.check_report(checks, program, words, BANK_ROW)
    checks.equal("program ended after closing", seen.get("ended"), True)
    checks.equal("service processes left after the program ended", orphans, [])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--win-build", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--timeout", type=int, default=300)
    args = parser.parse_args()
    args.win_build, args.prefix, args.work = map(os.path.abspath, (args.win_build, args.prefix, args.work))

    if port_answers(SERVICE_PORT):
        print(f"FAIL: something already listens on 127.0.0.1:{SERVICE_PORT}; stop it to run this test")
        return 1
    driver = os.path.join(args.win_build, "e2e-driver", "vorbelzoz_e2e_driver.exe")
    run_dir = os.path.join(args.work, "run")
    shots_dir = os.path.join(args.work, "screenshots")
    for folder in (run_dir, shots_dir, args.prefix):
        shutil.rmtree(folder, ignore_errors=True)  # a clean prefix every time
        os.makedirs(folder)

    log = open(os.path.join(args.work, "wine.log"), "w")
    session = WineSession(args.prefix, args.work, log)
    watcher = PageWatcher()
    code, program, orphans, reference_failures = None, run_dir, None, ["not checked"]
    report_path = os.path.join(run_dir, "driver-report.json")
    try:
        session.start()
        program = unpack_release(os.path.join(args.win_build, "vorbelzoz-win64.zip"), run_dir, log)
        watcher.start()
        # The driver's quiz steps, on this test's bank.
        driver_args = [BANK_ROW, NEW_BANK_NAME, NEW_BANK_TEXT.replace("\r\n", "|"), WRONG_TEXT]
        run_e2e.driver_arguments = lambda scenario: driver_args
        code = run_e2e.run_driver(session, driver, program, report_path, shots_dir, "quiz", args.timeout)
        # The job ends the service as the program ends; give Wine a moment.
        deadline = time.time() + 10
        while service_processes() and time.time() < deadline:
            time.sleep(0.2)
        orphans = service_processes()
        reference_failures = reference_pages_under_wine(session, program)
    finally:
        watcher.stop.set()
        session.stop()
        log.close()

    seen = run_e2e.driver_report(report_path)
    checks = Checks()
    checks.equal("driver exit code", code, 0)
    check(checks, seen, program, watcher.page, orphans)
    checks.failures.extend(f"Windows service: {failure}" for failure in reference_failures)
    for failure in checks.failures:
        print("FAIL:", failure)
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
