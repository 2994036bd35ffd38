#!/usr/bin/env python3
"""The installer's pages in a Chinese Windows set-up under Wine.

In a fresh prefix with the Chinese locale, vorbelzoz-setup.exe runs as a
learner would run it, page by page, and then the uninstaller straight
after: every page's title names 英语听写, no language dialog comes first, and
afterwards no Vorbelzoz folder is left. A screenshot of each page is kept.

  installer_pages_e2e.py --win-build DIR --prefix DIR --work DIR
"""
import argparse
import glob
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_e2e import Checks  # noqa: E402
from wine_session import DLL_OVERRIDES, WineSession  # noqa: E402


class ChineseSession(WineSession):
    """The system's language is Chinese; no menu entries mirrored on the host."""

    def env(self):
        env = super().env()
        env.update({"LANG": "zh_CN.UTF-8", "LC_ALL": "zh_CN.UTF-8",
                    "WINEDLLOVERRIDES": DLL_OVERRIDES + ";winemenubuilder.exe=d"})
        return env


def windows(session, name):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], env=session.env(),
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout
    return out.split()


def title(session, window):
    return subprocess.run(["xdotool", "getwindowname", window], env=session.env(), stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, text=True).stdout.strip()


def wait_for(session, name, timeout=120):
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = windows(session, name)
        if found:
            return found[0]
        time.sleep(0.5)
    return None


def page(session, checks, window, shots, name, key="Return", settle=3):
    """Screenshots the wizard's page, checks its title, then presses key."""
    time.sleep(settle)
    path = os.path.join(shots, name + ".png")
    subprocess.run(["import", "-window", "root", path], env=session.env(), check=True, timeout=60)
    shown = title(session, window)
    checks.true(f"{name}: the title names 英语听写 ({shown!r})", "英语听写" in shown)
    if key:
        subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", "--delay", "300", *key.split()],
                       env=session.env(), timeout=30)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--win-build", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    win_build, prefix, work = map(os.path.abspath, (args.win_build, args.prefix, args.work))
    shutil.rmtree(work, ignore_errors=True)
    shutil.rmtree(prefix, ignore_errors=True)  # a fresh Chinese system
    shots = os.path.join(work, "screenshots")
    os.makedirs(shots)
    checks = Checks()
    log = open(os.path.join(work, "wine.log"), "w")
    session = ChineseSession(prefix, work, log, screen="1280x800x24")
    try:
        session.start()
        setup = subprocess.Popen(["wine", os.path.join(win_build, "vorbelzoz-setup.exe")], env=session.env(),
                                 stdout=log, stderr=log)
        wizard = wait_for(session, "英语听写|Vorbelzoz|Installer Language|Setup")
        checks.true("the installer opened", wizard is not None)
        if wizard is not None:
            checks.true(f"no language dialog first ({title(session, wizard)!r})",
                        "Language" not in title(session, wizard))
            page(session, checks, wizard, shots, "1-welcome")
            # "安装" starts the copying, and the wizard goes on by itself once done.
            page(session, checks, wizard, shots, "2-folder")
            page(session, checks, wizard, shots, "3-installing", key=None, settle=2)
            # The box that starts the program has the focus: untick it, then finish.
            page(session, checks, wizard, shots, "4-finished", key="space Return", settle=60)
            setup.wait(timeout=120)
        subprocess.run(["wineserver", "-w"], env=session.env(), timeout=120)

        installed = glob.glob(os.path.join(prefix, "drive_c/users/*/AppData/Local/Programs/Vorbelzoz"))
        checks.true("installed into %LOCALAPPDATA%\\Programs\\Vorbelzoz", len(installed) == 1)
        if installed:
            remover = subprocess.Popen(["wine", os.path.join(installed[0], "uninstall.exe")], env=session.env(),
                                       stdout=log, stderr=log)
            wizard = wait_for(session, "英语听写|Vorbelzoz")
            checks.true("the uninstaller opened", wizard is not None)
            if wizard is not None:
                page(session, checks, wizard, shots, "5-uninstall-confirm")
                page(session, checks, wizard, shots, "6-uninstalled", settle=20)
            try:
                remover.wait(timeout=120)
            except subprocess.TimeoutExpired:
                remover.kill()
            subprocess.run(["wineserver", "-w"], env=session.env(), timeout=120)
            # The uninstaller finishes from a copy of itself in the temporary folder.
            time.sleep(5)
            left = glob.glob(os.path.join(prefix, "drive_c/users/*/AppData/Local/Programs/Vorbelzoz"))
            checks.equal("folders left after installing and at once uninstalling", left, [])
    finally:
        session.stop()
        log.close()
    for failure in checks.failures:
        print("FAIL:", failure)
    print("screenshots in", shots)
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
