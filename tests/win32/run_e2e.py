#!/usr/bin/env python3
"""End-to-end run of the Windows program under Wine.

Assembles a program folder with a three-word test bank, points both web
hosts at the local test server, lets the driver (a Win32 program) choose the
bank, save a new one, run a quiz answered right, wrong and stopped, and
close the program; then checks what the windows showed, the files the
program wrote and the requests the server received. The scenario
close-bank-window closes the word-bank window instead of choosing a bank.

  run_e2e.py --win-build DIR --source DIR --prefix DIR --work DIR [--scenario quiz|close-bank-window]
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_session import WineSession, windows_path  # noqa: E402

BANK_ROW = "测试词库.txt"
BANK_WORDS = ["apple", "ice cream", "banana"]
NEW_BANK_NAME = "新词库"
NEW_BANK_TEXT = "alpha\r\n苹果 apple"
WRONG_TEXT = "wrongtext"
USER_AGENT = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"
STATUS_PREFIX = "按F1可以重听语音    目前已进行了："


class Checks:
    def __init__(self):
        self.failures = []

    def equal(self, what, actual, expected):
        if actual != expected:
            self.failures.append(f"{what}: expected {expected!r}, got {actual!r}")

    def true(self, what, condition):
        if not condition:
            self.failures.append(what)

    def outcome(self):
        """Prints every failure; the test's exit code."""
        for failure in self.failures:
            print("FAIL:", failure)
        return 1 if self.failures else 0


def driver_report(path):
    """What the driver saw, as it wrote it; shown in the test's output."""
    seen = json.load(open(path, encoding="utf-8")) if os.path.exists(path) else {}
    print(json.dumps(seen, ensure_ascii=False, indent=2))
    return seen


def check_report(checks, program, words, bank_row=BANK_ROW):
    """The report of a three-word quiz answered right, wrong and stopped."""
    report = os.path.join(program, "日志", "报告" + bank_row)
    checks.true("report file exists", os.path.exists(report))
    if os.path.exists(report) and len(words) == 3:
        wrong = words[1]
        expected = (f"答题范围：{bank_row}\r\n共答题：3\r\n正确率:33%\r\n错误次数:1\r\n求助了：1\r\n错误详情\r\n"
                    f"{wrong}写成了>{WRONG_TEXT}\r\n\r\n错词表：\r\n{wrong}\r\n" + "-" * 64)
        checks.equal("report bytes", open(report, "rb").read(), expected.encode("gbk"))


def status_line(done, left, right, wrong, accuracy):
    return (f"{STATUS_PREFIX}{done}个   还有： {left}个  正确数量：{right}个  错误数量：{wrong}"
            f"正确率:{accuracy}%")


def cache_name(word):
    return word.replace(" ", "_") + ".mp3"


def wire_target(word):
    # The system's Internet functions percent-encode blanks in the request
    # object (on Windows and under Wine alike); every other byte of the word
    # goes out as it is.
    return word.replace(" ", "%20")


def assemble_program(win_build, run_dir, port):
    program = os.path.join(run_dir, "program")
    shutil.copytree(os.path.join(win_build, "program"), program)
    # A fresh start: no cached pronunciations, no reports of earlier runs.
    for folder in ("mp3", "日志"):
        shutil.rmtree(os.path.join(program, folder), ignore_errors=True)
        os.makedirs(os.path.join(program, folder))
    banks = os.path.join(program, "单词表")
    with open(os.path.join(banks, BANK_ROW), "wb") as out:
        out.write("\r\n".join(BANK_WORDS).encode("gbk") + b"\r\n")
    for stale in (NEW_BANK_NAME + ".txt",):
        if os.path.exists(os.path.join(banks, stale)):
            os.remove(os.path.join(banks, stale))
    with open(os.path.join(program, "vorbelzoz.ini"), "w", encoding="ascii", newline="\r\n") as out:
        out.write(f"; test server\ndictionary=127.0.0.1:{port}\nspeech=127.0.0.1:{port}\n")
    return program


def start_server(source, run_dir, log):
    requests = os.path.join(run_dir, "requests.jsonl")
    server = subprocess.Popen(
        [sys.executable, os.path.join(source, "tests", "e2e", "dict_server.py"), "--port", "0", "--log", requests],
        stdout=subprocess.PIPE, stderr=log, text=True)
    ready = server.stdout.readline().split()
    if len(ready) != 2 or ready[0] != "ready":
        server.kill()
        raise RuntimeError("test server did not start")
    return server, int(ready[1]), requests


def driver_arguments(scenario):
    if scenario == "close-bank-window":
        return [scenario]
    if scenario == "layout":
        return [scenario, BANK_ROW]
    if scenario == "fit":
        return [scenario, BANK_ROW, NEW_BANK_NAME, NEW_BANK_TEXT.replace("\r\n", "|")]
    return [BANK_ROW, NEW_BANK_NAME, NEW_BANK_TEXT.replace("\r\n", "|"), WRONG_TEXT]


def run_driver(session, driver, program, report_path, shots_dir, scenario, timeout, extra=()):
    """Runs the driver, taking the screenshots it asks for; returns its exit code."""
    args = ["wine", driver, windows_path(os.path.join(program, "vorbelzoz.exe")), windows_path(report_path),
            *driver_arguments(scenario), *extra]
    process = subprocess.Popen(args, env=session.env(), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=session.log, text=True, encoding="utf-8", errors="replace")
    timer = threading.Timer(timeout, process.kill)
    timer.start()
    try:
        for line in process.stdout:
            parts = line.split()
            if len(parts) == 6 and parts[0] == "shot":
                name, left, top, width, height = parts[1], *map(int, parts[2:])
                answer = "ok"
                try:
                    session.screenshot(os.path.join(shots_dir, name + ".png"), left, top, width, height)
                except (subprocess.SubprocessError, OSError):
                    answer = "failed"
                process.stdin.write(answer + "\n")
                process.stdin.flush()
        return process.wait()
    finally:
        timer.cancel()


def bank_folder_contents(program):
    """Every bank file's name under 单词表 and its sub-folders (the exam chapters), and the folders searched."""
    names, folders = [], 0
    for _, _, files in os.walk(os.path.join(program, "单词表")):
        folders += 1
        names += files
    return sorted(names), folders


def check_windows(checks, seen, bank_files, folders_searched):
    checks.equal("driver failed at", seen.get("failed_step"), None)
    checks.equal("bank window caption", seen.get("bank_caption"), "选择词库")
    checks.equal("bank rows", sorted(seen.get("bank_rows", [])), bank_files)
    checks.equal("bank window size", (seen.get("bank_width"), seen.get("bank_height")), (858, 806))
    # The bar stands at the number of folders searched: 单词表 and each sub-folder.
    checks.equal("bank progress", seen.get("bank_progress"), folders_searched)
    checks.equal("bank progress bar visible", seen.get("bank_progress_visible"), False)
    checks.equal("save message", seen.get("save_message"), "保存成功")
    checks.equal("message box caption", seen.get("save_box_caption"), "信息：")
    checks.equal("message box disables the bank window", seen.get("save_box_blocks_window"), True)
    checks.equal("row added by saving", seen.get("saved_row"), NEW_BANK_NAME + ".txt")
    checks.equal("removal question", seen.get("remove_message"), "是否要删除词库：" + NEW_BANK_NAME + ".txt")
    checks.equal("rows after the removal", seen.get("row_above_removed"), (seen.get("bank_rows") or [""])[-1])
    checks.equal("bank window closed by the double-click", seen.get("bank_window_closed"), True)
    checks.equal("main window caption", seen.get("main_caption"), "Vorbelzoz" + BANK_ROW)
    checks.equal("main window compact size", (seen.get("main_compact_width"), seen.get("main_compact_height")),
                 (586, 366))
    checks.equal("main window wide size", (seen.get("main_wide_width"), seen.get("main_wide_height")), (948, 531))
    checks.equal("word count", seen.get("word_count_label"), f"当前词库单词数量：{len(BANK_WORDS)}")
    checks.equal("status line before the quiz", seen.get("status_initial"), "按F1可以重听语音")
    checks.equal("report button before the first quiz", seen.get("report_button_enabled_initially"), False)
    checks.equal("options show the phonetic box", seen.get("phonetic_box_visible"), True)
    checks.equal("options show the spelling label", seen.get("spelling_label_visible"), True)


def check_quiz(checks, seen, phonetics):
    words = seen.get("words", [])
    checks.equal("words asked", sorted(words), sorted(BANK_WORDS))
    for k, word in enumerate(words, start=1):
        checks.equal(f"phonetics of {word!r}", seen.get(f"phonetic_{k}"), "[" + phonetics[word] + "]")
    checks.equal("F2 shows the hint", seen.get("hint_shown"), True)
    checks.equal("status after a right answer", seen.get("status_1"), status_line(1, 2, 1, 0, 100))
    checks.equal("status after a wrong answer", seen.get("status_2"), status_line(2, 1, 1, 1, 50))
    checks.equal("answer box after Enter (right)", seen.get("answer_box_after_1"), "")
    checks.equal("answer box after Enter (wrong)", seen.get("answer_box_after_2"), "")
    checks.equal("status after stopping", seen.get("status_final"), status_line(2, 1, 1, 1, 50))
    if len(words) == 3:
        wrong = words[1]
        checks.equal("summary box", seen.get("summary"),
                     f"答题结束 \r\n共答题：3\r\n错误次数:1\r\n求助了：1\r\n{wrong}写成了>{WRONG_TEXT}\r\n")
    checks.equal("summary box caption", seen.get("summary_box_caption"), "信息：")
    checks.equal("summary box disables the main window", seen.get("summary_box_blocks_window"), True)
    checks.equal("report button after the quiz", seen.get("report_button_enabled_after"), True)
    checks.equal("report button opens the report", seen.get("report_opened"), True)
    checks.equal("program ended after closing", seen.get("ended"), True)
    checks.equal("exit code", seen.get("exit_code"), 0)


def check_files(checks, seen, program, silent_mp3):
    new_bank = os.path.join(program, "单词表", NEW_BANK_NAME + ".txt")
    checks.true("saved bank file exists", os.path.exists(new_bank))
    if os.path.exists(new_bank):
        checks.equal("saved bank bytes", open(new_bank, "rb").read(), NEW_BANK_TEXT.encode("gbk"))

    words = seen.get("words", [])
    check_report(checks, program, words)

    cache = os.path.join(program, "mp3")
    checks.equal("cache files", sorted(os.listdir(cache)), sorted(cache_name(w) for w in BANK_WORDS))
    for name in os.listdir(cache):
        checks.equal(f"cache bytes of {name}", open(os.path.join(cache, name), "rb").read(), silent_mp3)


def check_requests(checks, seen, requests_path):
    requests = [json.loads(line) for line in open(requests_path, encoding="utf-8")] \
        if os.path.exists(requests_path) else []
    expected = []
    for word in seen.get("words", []):
        expected.append("/" + wire_target(word))
        expected.append("/text2audio?lan=uk&pid=101&ie=UTF-8&text=" + wire_target(word) + "&spd=2")
    checks.equal("request targets in order", [r["target"] for r in requests], expected)
    for r in requests:
        checks.equal(f"method of {r['target']}", r["method"], "GET")
        checks.equal(f"version of {r['target']}", r["version"], "HTTP/1.0")
        checks.equal(f"user agent of {r['target']}", r["headers"].get("User-Agent"), USER_AGENT)
        checks.equal(f"Accept of {r['target']}", r["headers"].get("Accept"), "*/*")


def check_closed_without_bank(checks, seen, program, requests_path):
    checks.equal("driver failed at", seen.get("failed_step"), None)
    checks.equal("program ended", seen.get("ended"), True)
    checks.equal("exit code", seen.get("exit_code"), 0)
    checks.equal("main window shown", seen.get("main_window_seen"), False)
    checks.equal("requests", os.path.exists(requests_path) and os.path.getsize(requests_path) > 0, False)
    reports = os.path.join(program, "日志")
    checks.equal("reports", os.listdir(reports) if os.path.isdir(reports) else [], [])


def check_quiz_run(checks, seen, program, bank_files, folders_searched, requests_path, shots_dir, dict_server):
    check_windows(checks, seen, bank_files, folders_searched)
    check_quiz(checks, seen, dict_server.PHONETICS)
    check_files(checks, seen, program, dict_server.silent_mp3())
    check_requests(checks, seen, requests_path)
    for name in ("bank", "main"):
        shot = os.path.join(shots_dir, name + ".png")
        checks.true(f"screenshot {name} taken", os.path.exists(shot) and os.path.getsize(shot) > 1000)
    print("screenshots:", shots_dir)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--win-build", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--scenario", choices=["quiz", "close-bank-window"], default="quiz")
    parser.add_argument("--timeout", type=int, default=300)
    args = parser.parse_args()
    args.win_build, args.source, args.prefix, args.work = map(
        os.path.abspath, (args.win_build, args.source, args.prefix, args.work))

    sys.path.insert(0, os.path.join(args.source, "tests", "e2e"))
    import dict_server  # the server's own phonetics and MP3 bytes

    driver = os.path.join(args.win_build, "e2e-driver", "vorbelzoz_e2e_driver.exe")
    run_dir = os.path.join(args.work, "run")
    shots_dir = os.path.join(args.work, "screenshots")
    shutil.rmtree(run_dir, ignore_errors=True)
    shutil.rmtree(shots_dir, ignore_errors=True)
    os.makedirs(run_dir)
    os.makedirs(shots_dir)
    os.makedirs(args.prefix, exist_ok=True)

    log = open(os.path.join(args.work, "wine.log"), "w")
    session = WineSession(args.prefix, args.work, log)
    server = None
    code, program, bank_files, folders_searched, requests_path = None, run_dir, [], 0, ""
    report_path = os.path.join(run_dir, "driver-report.json")
    try:
        session.start()
        server, port, requests_path = start_server(args.source, run_dir, log)
        program = assemble_program(args.win_build, run_dir, port)
        bank_files, folders_searched = bank_folder_contents(program)
        code = run_driver(session, driver, program, report_path, shots_dir, args.scenario, args.timeout)
    finally:
        if server is not None:
            server.terminate()
            server.wait()
        session.stop()
        log.close()

    seen = driver_report(report_path)
    checks = Checks()
    checks.equal("driver exit code", code, 0)
    if args.scenario == "quiz":
        check_quiz_run(checks, seen, program, bank_files, folders_searched, requests_path, shots_dir, dict_server)
    else:
        check_closed_without_bank(checks, seen, program, requests_path)
    for failure in checks.failures:
        print("FAIL:", failure)
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
