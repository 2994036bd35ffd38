#!/usr/bin/env python3
"""The Windows installer under Wine, silent, in a fresh prefix, offline.

An older version is made first, from a copy of the program folder in the
earlier bank layout (the samples directly in 单词表\\, the exam chapters in
folders without their number), with stand-in programs, a service file the
newer version no longer ships and an older text of one sample. It is
installed; the learner then edits one bank that will move, adds files of
their own, and the build's installer is run over it:

* the programs are replaced, the stale service file is gone, the Start-menu
  shortcut and the uninstall entry are there;
* a moved bank the learner left alone is gone from its old place, the one
  they edited stays there, and the new places hold the bundled banks;
* the sample whose bundled text changed is replaced, the learner's files
  (banks, mp3\\, 日志\\, 学习记录.db, a note) are untouched.

The installed program then runs a quiz with its bundled service, the learner
edits one bundled bank and removes another, and the same installer runs
again: the edited bank and the report survive, the removed bank stays away. A silent uninstall, run as Windows would from the
uninstall entry, removes the program and the unchanged banks and leaves
the edited banks, mp3\\, 日志\\ and the learner's files. An install while
the program runs changes nothing.

  installer_e2e.py --win-build DIR --source DIR --version X.Y.Z --prefix DIR --work DIR
"""
import argparse
import glob
import hashlib
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402
from run_e2e import Checks  # noqa: E402
from run_offline_e2e import BANK_ROW, BANK_WORDS, NEW_BANK_NAME, NEW_BANK_TEXT, SERVICE_PORT, WRONG_TEXT  # noqa: E402
from run_offline_e2e import port_answers  # noqa: E402
from wine_session import DLL_OVERRIDES, WineSession, windows_path  # noqa: E402

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorbelzoz"
SHORTCUT = "Vorbelzoz.lnk"  # the English name of the Linux menu entry
SAMPLES = "单词表/01示例"
EDITED_MOVED = "常用词汇.txt"  # edited by the learner at its old place
UNCHANGED_MOVED = "常用短语.txt"  # left alone at its old place
UPDATED_SAMPLE = "入门词汇.txt"  # bundled in its new place already, with an older text
STALE_PROGRAM_FILE = "service-data/older-words.tsv"
LEARNER_FILES = {"单词表/我的词库.txt": b"pear\r\nplum\r\n", "mp3/pear.mp3": b"ID3 not really",
                 "日志/报告我的词库.txt": "答题范围：我的词库.txt\r\n".encode("gbk"),
                 "学习记录.db": b"SQLite format 3\0 stand-in", "笔记.txt": "我的笔记".encode("gbk")}


class InstallerSession(WineSession):
    """No menu entries on the host: Wine would mirror the Start menu into ~/.local."""

    def env(self):
        env = super().env()
        env["WINEDLLOVERRIDES"] = DLL_OVERRIDES + ";winemenubuilder.exe=d"
        return env

    def wait_idle(self, timeout=300):
        subprocess.run(["wineserver", "-w"], env=self.env(), stdout=self.log, stderr=self.log, timeout=timeout)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def earlier_place(relative):
    """Where the earlier layout kept a bank: 单词表/01示例/x -> 单词表/x, 单词表/04四级/x -> 单词表/四级/x."""
    parts = relative.split("/")
    if len(parts) == 3 and re.fullmatch(r"\d\d.+", parts[1]):
        return "/".join([parts[0], parts[2]] if parts[1] == SAMPLES.split("/")[1] else
                        [parts[0], parts[1][2:], parts[2]])
    return relative


def make_older_program(program, older):
    """The earlier version's program folder; returns the banks it moves, old place -> new place."""
    shutil.rmtree(older, ignore_errors=True)
    os.makedirs(os.path.join(older, "service-data"))
    for name in ("vorbelzoz.exe", "vorbelzoz_service.exe"):
        with open(os.path.join(older, name), "wb") as out:
            out.write(b"the older version's " + name.encode())
    with open(os.path.join(older, STALE_PROGRAM_FILE), "wb") as out:
        out.write(b"word\tolder\n")
    for folder in ("音效", "licences"):
        shutil.copytree(os.path.join(program, folder), os.path.join(older, folder))
    moved = {}
    exam = sorted(name for name in os.listdir(os.path.join(program, "单词表")) if name != SAMPLES.split("/")[1])
    for relative in [f"{SAMPLES}/{name}" for name in sorted(os.listdir(os.path.join(program, SAMPLES)))] + \
            [f"单词表/{exam[0]}/{name}" for name in sorted(os.listdir(os.path.join(program, "单词表", exam[0])))[:3]]:
        old = earlier_place(relative)
        os.makedirs(os.path.dirname(os.path.join(older, old)), exist_ok=True)
        shutil.copyfile(os.path.join(program, relative), os.path.join(older, old))
        moved[old] = relative
    # One sample already in its new folder, with the text an older version had.
    os.makedirs(os.path.join(older, SAMPLES))
    with open(os.path.join(older, SAMPLES, UPDATED_SAMPLE), "wb") as out:
        out.write(b"older\r\nsample\r\n")
    return moved


def make_installer(source, win_build, program, version, work, name):
    list_dir = os.path.join(work, name + "-list")
    subprocess.run([sys.executable, os.path.join(source, "tools", "make_installer_list.py"), program,
                    os.path.join(source, "data", "使用说明.txt"), list_dir], check=True, timeout=300)
    setup = os.path.join(work, name + ".exe")
    subprocess.run(["makensis", "-V2", "-INPUTCHARSET", "UTF8", f"-DVERSION={version}", f"-DLIST_DIR={list_dir}",
                    f"-DICON={win_build}/windows-resources/vorbelzoz.ico", f"-DOUTFILE={setup}",
                    os.path.join(source, "packaging", "windows", "installer.nsi")],
                   env=dict(os.environ, LC_ALL="C.UTF-8"), check=True, timeout=1200)
    return setup


def registry_values(session):
    result = session.run(["reg", "query", UNINSTALL_KEY], timeout=120, stdout=subprocess.PIPE)
    text = result.stdout.decode("utf-8", "replace") if result.returncode == 0 else ""
    values = {}
    for line in text.splitlines():
        parts = re.split(r"\s{4,}|\t", line.strip(), maxsplit=2)
        if len(parts) == 3 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2]
    return values


def install(session, setup, checks, what):
    code = session.run([setup, "/S"], timeout=900).returncode
    session.wait_idle()
    checks.equal(f"{what}: the installer's exit code", code, 0)


def check_installed(checks, session, install_dir, program, version, what):
    for name in ("vorbelzoz.exe", "vorbelzoz_service.exe", "service-data/dictionary.tsv"):
        path = os.path.join(install_dir, name)
        checks.true(f"{what}: {name} is the build's", os.path.isfile(path) and sha256(path) ==
                    sha256(os.path.join(program, name)))
    shortcuts = glob.glob(os.path.join(session.prefix, "drive_c/users/*/AppData/Roaming/Microsoft/Windows/"
                                       "Start Menu/Programs", SHORTCUT))
    checks.true(f"{what}: the Start-menu shortcut {SHORTCUT} exists", len(shortcuts) == 1)
    values = registry_values(session)
    folder = "C:\\" + os.path.relpath(install_dir, os.path.join(session.prefix, "drive_c")).replace("/", "\\")
    expected = {"DisplayName": "Vorbelzoz", "DisplayVersion": version, "Publisher": "The Vorbelzoz developers",
                "DisplayIcon": folder + "\\vorbelzoz.exe,0", "InstallLocation": folder,
                "UninstallString": f'"{folder}\\uninstall.exe"',
                "QuietUninstallString": f'"{folder}\\uninstall.exe" /S'}
    for key, value in expected.items():
        checks.equal(f"{what}: uninstall entry {key}", values.get(key), value)
    return values


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--win-build", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--timeout", type=int, default=300)
    args = parser.parse_args()
    args.win_build, args.source, args.prefix, args.work = map(os.path.abspath, (args.win_build, args.source,
                                                                                args.prefix, args.work))
    if port_answers(SERVICE_PORT):
        print(f"FAIL: something already listens on 127.0.0.1:{SERVICE_PORT}; stop it to run this test")
        return 1
    program = os.path.join(args.win_build, "program")
    setup = os.path.join(args.win_build, "vorbelzoz-setup.exe")
    if not os.path.isdir(os.path.join(program, SAMPLES)):
        print(f"FAIL: the program folder has no {SAMPLES}")
        return 1
    for folder in (args.work, args.prefix):
        shutil.rmtree(folder, ignore_errors=True)  # a clean prefix every time
        os.makedirs(folder)
    moved = make_older_program(program, os.path.join(args.work, "older"))
    older_setup = make_installer(args.source, args.win_build, os.path.join(args.work, "older"), "0.9.0",
                                 args.work, "older-setup")

    log = open(os.path.join(args.work, "wine.log"), "w")
    session = InstallerSession(args.prefix, args.work, log)
    checks = Checks()
    seen, code = {}, None
    try:
        session.start()
        install(session, windows_path(older_setup), checks, "older version")
        found = glob.glob(os.path.join(args.prefix, "drive_c/users/*/AppData/Local/Programs/Vorbelzoz"))
        if len(found) != 1:
            print("FAIL: the older version did not install into %LOCALAPPDATA%\\Programs\\Vorbelzoz")
            return 1
        install_dir = found[0]

        def path(relative):
            return os.path.join(install_dir, relative)

        edited_old = earlier_place(f"{SAMPLES}/{EDITED_MOVED}")
        with open(path(edited_old), "ab") as out:
            out.write(b"my own word\r\n")
        edited_old_bytes = open(path(edited_old), "rb").read()
        for relative, data in LEARNER_FILES.items():
            with open(path(relative), "wb") as out:
                out.write(data)

        # The update over the older version.
        install(session, windows_path(setup), checks, "update")
        check_installed(checks, session, install_dir, program, args.version, "update")
        checks.true("the service file the update no longer ships is gone", not os.path.exists(
            path(STALE_PROGRAM_FILE)))
        for old, new in moved.items():
            checks.true(f"{new} is installed", os.path.isfile(path(new)) and sha256(path(new)) ==
                        sha256(os.path.join(program, new)))
            if old != edited_old:
                checks.true(f"the unchanged {old} left its old place", not os.path.exists(path(old)))
        checks.equal("the edited bank at its old place", open(path(edited_old), "rb").read()
                     if os.path.exists(path(edited_old)) else None, edited_old_bytes)
        old_exam_folders = {os.path.dirname(old) for old in moved if old.count("/") == 2}
        checks.true(f"the emptied old folders {sorted(old_exam_folders)} are gone",
                    not any(os.path.exists(path(folder)) for folder in old_exam_folders))
        checks.equal("the sample with a newer bundled text", sha256(path(f"{SAMPLES}/{UPDATED_SAMPLE}")),
                     sha256(os.path.join(program, SAMPLES, UPDATED_SAMPLE)))
        for relative, data in LEARNER_FILES.items():
            checks.equal(f"the learner's {relative} after the update", open(path(relative), "rb").read()
                         if os.path.exists(path(relative)) else None, data)

        # The installed program, offline, with its own service.
        with open(path(f"单词表/{BANK_ROW}"), "wb") as out:
            out.write("\r\n".join(BANK_WORDS).encode("gbk") + b"\r\n")
        report_path = os.path.join(args.work, "driver-report.json")
        run_e2e.driver_arguments = lambda scenario: [BANK_ROW, NEW_BANK_NAME, NEW_BANK_TEXT.replace("\r\n", "|"),
                                                     WRONG_TEXT]
        shots = os.path.join(args.work, "screenshots")
        os.makedirs(shots)
        code = run_e2e.run_driver(session, os.path.join(args.win_build, "e2e-driver", "vorbelzoz_e2e_driver.exe"),
                                  install_dir, report_path, shots, "quiz", args.timeout)
        session.wait_idle()
        seen = run_e2e.driver_report(report_path)
        checks.equal("driver exit code", code, 0)
        checks.equal("driver failed at", seen.get("failed_step"), None)
        checks.equal("words asked", sorted(seen.get("words", [])), sorted(BANK_WORDS))
        run_e2e.check_report(checks, install_dir, seen.get("words", []), BANK_ROW)
        checks.true("the quiz spoke apple from the bundled service", os.path.isfile(
            path("mp3/" + run_e2e.cache_name("apple"))))
        edited_sample = f"{SAMPLES}/{UNCHANGED_MOVED}"
        with open(path(edited_sample), "ab") as out:
            out.write(b"another word\r\n")
        removed_sample = f"{SAMPLES}/{UPDATED_SAMPLE}"
        os.remove(path(removed_sample))
        kept = {relative: open(path(relative), "rb").read() for relative in
                [edited_sample, edited_old, f"单词表/{BANK_ROW}", f"日志/报告{BANK_ROW}", *LEARNER_FILES]
                if os.path.isfile(path(relative))}
        checks.true("the quiz wrote its report", f"日志/报告{BANK_ROW}" in kept)

        # The same version again: nothing the learner has is touched.
        install(session, windows_path(setup), checks, "reinstall")
        check_installed(checks, session, install_dir, program, args.version, "reinstall")
        checks.true(f"the removed {removed_sample} stays removed", not os.path.exists(path(removed_sample)))
        for relative, data in kept.items():
            checks.equal(f"{relative} after the reinstall", open(path(relative), "rb").read()
                         if os.path.exists(path(relative)) else None, data)

        # While the program runs, its files cannot be replaced: the installer
        # stops before it changes anything.
        running = subprocess.Popen(["wine", path("vorbelzoz.exe")], env=session.env(), stdout=log, stderr=log)
        deadline = time.time() + 120
        while not port_answers(SERVICE_PORT) and time.time() < deadline:
            time.sleep(0.5)
        checks.true("the installed program started its service", port_answers(SERVICE_PORT))
        record = open(path("install-record.ini"), "rb").read()
        code = session.run([windows_path(setup), "/S"], timeout=600).returncode
        checks.equal("installing while the program runs: the exit code", code, 2)
        checks.equal("installing while the program runs: the record", open(path("install-record.ini"), "rb").read(),
                     record)
        subprocess.run(["wineserver", "-k"], env=session.env(), stdout=log, stderr=log, timeout=60)
        running.wait(60)

        # Uninstall, as the system's list of programs runs it.
        quiet = registry_values(session).get("QuietUninstallString", "")
        match = re.fullmatch(r'"(.+)" /S', quiet)
        checks.true(f"a quiet uninstall string: {quiet!r}", match is not None)
        if match:
            session.run([match.group(1), "/S"], timeout=600)
            session.wait_idle()
        for name in ("vorbelzoz.exe", "vorbelzoz_service.exe", "uninstall.exe", "service-data", "音效",
                     "licences", "使用说明.txt", "install-record.ini", f"{SAMPLES}/{UPDATED_SAMPLE}",
                     f"{SAMPLES}/{EDITED_MOVED}"):
            checks.true(f"the uninstall removed {name}", not os.path.exists(path(name)))
        for relative, data in kept.items():
            checks.equal(f"{relative} after the uninstall", open(path(relative), "rb").read()
                         if os.path.exists(path(relative)) else None, data)
        checks.true("mp3 and 日志 stay", os.path.isdir(path("mp3")) and os.path.isdir(path("日志")))
        checks.true("the uninstall entry is gone", registry_values(session) == {})
        checks.true("the shortcut is gone", not glob.glob(os.path.join(
            session.prefix, "drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs", SHORTCUT)))
    finally:
        session.stop()
        log.close()

    for failure in checks.failures:
        print("FAIL:", failure)
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
