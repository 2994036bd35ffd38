#!/usr/bin/env python3
"""Start-up of both builds to the word-bank window, against small native programs.

In one process, on private X displays, the programs are started in turn,
round after round, so that every ratio sees the same machine and load; the
first round is a warm-up, the medians of the rest are printed with their
ratios:

* Linux under Xvfb: the program with every bundled bank, the same program
  with only the three sample banks, and a bare Qt 6 window showing a list
  of three rows (built here from a few lines); time from the start of the
  process to its first visible window, and resident memory then.
* Windows under Wine: the program with every bundled bank, with the three
  samples, and Wine's own Notepad; time to the first visible window and
  resident memory then. The Wine server is kept running, so all pay the
  same for Wine itself.

The programs' web hosts point at a closed port, so no service is started.
The ratios, not the times, compare between machines.

  bench/startup_bench.py [--linux-build build/linux] [--win-build build/win32]
                         [--baseline DIR] [--runs 11] [--prefix DIR] [--dpi 96]
                         [--first-word] [--only linux|win32]

--baseline DIR times the executables in DIR (vorbelzoz and/or vorbelzoz.exe,
for example those of the build before a change) in copies of the same
program folders, in turn with the others. A build folder that does not
hold its program is skipped. --first-word also times, on Linux, the first
word of a quiz: from the click on "开始" until its pronunciation is cached,
against the local test server (the quiz's 300 ms waits make that figure
coarse). --only runs one build's part.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "win32"))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
from private_display import PrivateDisplay  # noqa: E402
from wine_session import WineSession  # noqa: E402

TIMEOUT = 60
BANK_WINDOW = "^选择词库$"
CLOSED_PORT_INI = "dictionary=127.0.0.1:9\nspeech=127.0.0.1:9\n"

BARE_QT = r"""
#include <QApplication>
#include <QListWidget>
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QListWidget list;
    list.setWindowTitle("bare-qt-list");
    list.addItems({"one", "two", "three"});
    list.show();
    return app.exec();
}
"""


def bank_count(folder):
    return sum(len(files) for _, _, files in os.walk(os.path.join(folder, "单词表")))


def program_folders(built, executable, baseline, work, name):
    """Copies of a built program folder: as built and with the samples only,
    for this build and, when given, the baseline's executable."""
    folders = {}
    builds = [("", None)] + ([("baseline ", baseline)] if baseline and os.path.exists(baseline) else [])
    for label, replacement in builds:
        for banks in ("all", "samples"):
            folder = os.path.join(work, f"{name}-{label.strip() or 'this'}-{banks}")
            shutil.copytree(built, folder, symlinks=True)
            for stale in ("学习记录.db", "学习记录.db-wal", "学习记录.db-shm"):
                if os.path.exists(os.path.join(folder, stale)):
                    os.remove(os.path.join(folder, stale))
            if replacement:
                shutil.copy(replacement, os.path.join(folder, executable))
            if banks == "samples":
                shutil.rmtree(os.path.join(folder, "单词表"))
                shutil.copytree(os.path.join(ROOT, "data", "单词表"), os.path.join(folder, "单词表"))
            with open(os.path.join(folder, "vorbelzoz.ini"), "w", encoding="ascii", newline="\r\n") as out:
                out.write(CLOSED_PORT_INI)
            folders[f"{label}{banks} banks ({bank_count(folder)})"] = folder
    return folders


def visible_window(env, title):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], env=env,
                           capture_output=True, text=True, timeout=TIMEOUT).stdout.split()
    return found[0] if found else None


def resident_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def time_to_window(command, env, title, cwd):
    """Milliseconds from the start of the process to its first visible window
    titled title, and its resident memory in MB then."""
    started = time.perf_counter()
    process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while not visible_window(env, title):
            if time.perf_counter() - started > TIMEOUT or process.poll() is not None:
                raise RuntimeError(f"no window {title!r} from {command[-1]} (exit code {process.poll()})")
            time.sleep(0.005)
        elapsed = (time.perf_counter() - started) * 1000
        return elapsed, resident_kib(process.pid) / 1024
    finally:
        process.kill()
        process.wait()
        # Until the window is gone, the next run could find it.
        deadline = time.perf_counter() + TIMEOUT
        while visible_window(env, title) and time.perf_counter() < deadline:
            time.sleep(0.02)


def build_bare_qt(work):
    source = os.path.join(work, "bare_qt.cpp")
    with open(source, "w") as out:
        out.write(BARE_QT)
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", "Qt6Widgets"], capture_output=True, text=True,
                           check=True).stdout.split()
    program = os.path.join(work, "bare_qt")
    subprocess.run(["g++", "-O2", "-fPIC", source, "-o", program, *flags], check=True)
    return program


def rounds(runs, contenders):
    """contenders: name -> function returning (ms, MB); the first round is a warm-up."""
    times = {name: [] for name in contenders}
    memory = {name: [] for name in contenders}
    for run in range(runs + 1):
        for name, start in contenders.items():
            ms, mb = start()
            if run > 0:
                times[name].append(ms)
                memory[name].append(mb)
    return times, memory


def report(title, times, memory, reference):
    """Each program against the reference, against itself with the samples
    only, and the baseline against this build."""
    print(f"\n{title}: median (range) over {len(times[reference])} runs")
    for name in times:
        t, m = times[name], memory[name]
        print(f"  {name}: {statistics.median(t):.0f} ms ({min(t):.0f}-{max(t):.0f}), "
              f"{statistics.median(m):.1f} MB resident")

    def ratio(name, other):
        if name not in times or other not in times:
            return
        mt, ot = statistics.median(times[name]), statistics.median(times[other])
        mm, om = statistics.median(memory[name]), statistics.median(memory[other])
        print(f"  {name} / {other}: time {mt / ot:.2f}, memory {mm / om:.2f} ({mm - om:+.1f} MB)")

    programs = [name for name in times if name != reference]
    for name in programs:
        ratio(name, reference)
    for name in programs:
        if name.startswith(("all", "baseline all")):
            ratio(name, next(n for n in programs if n.startswith(name.split("all")[0] + "samples")))
    for name in programs:
        if name.startswith("baseline "):
            ratio(name[len("baseline "):], name)


def bench_linux(args, work):
    os.makedirs(work)
    built = os.path.join(args.linux_build, "program")
    folders = program_folders(built, "vorbelzoz", args.baseline and os.path.join(args.baseline, "vorbelzoz"),
                              work, "linux")
    bare = build_bare_qt(work)
    with PrivateDisplay("1280x1024x24") as display:
        env = display.env()
        env.pop("QT_QPA_PLATFORM", None)
        env["SDL_AUDIODRIVER"] = "dummy"
        contenders = {"bare Qt list": lambda: time_to_window([bare], env, "^bare-qt-list$", work)}
        for name, folder in folders.items():
            contenders[name] = (lambda f=folder: time_to_window([os.path.join(f, "vorbelzoz")], env, BANK_WINDOW, f))
        times, memory = rounds(args.runs, contenders)
        first_words = first_word_times(args, folders, env) if args.first_word else {}
    report("Linux program under Xvfb", times, memory, "bare Qt list")
    for name, values in first_words.items():
        print(f"  first word, {name}: median {statistics.median(values):.0f} ms "
              f"({min(values):.0f}-{max(values):.0f})")


def first_word_times(args, folders, env):
    """From the click on "开始" to the first word's pronunciation in the cache."""
    chosen = {name: folder for name, folder in folders.items() if "samples" in name}
    server = subprocess.Popen([sys.executable, os.path.join(ROOT, "tests", "e2e", "dict_server.py"), "--port", "0",
                               "--log", os.devnull], stdout=subprocess.PIPE, text=True)
    port = int(server.stdout.readline().split()[1])
    results = {name: [] for name in chosen}
    try:
        for name, folder in chosen.items():
            with open(os.path.join(folder, "vorbelzoz.ini"), "w", encoding="ascii", newline="\r\n") as out:
                out.write(f"dictionary=127.0.0.1:{port}\nspeech=127.0.0.1:{port}\n")
        for run in range(args.runs + 1):
            for name, folder in chosen.items():
                ms = one_first_word(folder, env)
                if run > 0:
                    results[name].append(ms)
    finally:
        server.terminate()
        server.wait()
        for folder in chosen.values():
            with open(os.path.join(folder, "vorbelzoz.ini"), "w", encoding="ascii", newline="\r\n") as out:
                out.write(CLOSED_PORT_INI)
    return results


def xdotool(env, *words):
    return subprocess.run(["xdotool", *words], env=env, capture_output=True, text=True, timeout=TIMEOUT).stdout


def one_first_word(folder, env):
    mp3 = os.path.join(folder, "mp3")
    shutil.rmtree(mp3, ignore_errors=True)
    os.makedirs(mp3)
    process = subprocess.Popen([os.path.join(folder, "vorbelzoz")], cwd=folder, env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.perf_counter() + TIMEOUT
        while not (bank := visible_window(env, BANK_WINDOW)):
            if time.perf_counter() > deadline:
                raise RuntimeError("no bank window")
            time.sleep(0.02)
        geometry = dict(line.split("=") for line in xdotool(env, "getwindowgeometry", "--shell", bank).split())
        x, y = int(geometry["X"]), int(geometry["Y"])
        # The first row of the list: list at (6, 27), below its header.
        xdotool(env, "mousemove", str(x + 40), str(y + 27 + 31), "click", "--repeat", "2", "--delay", "120", "1")
        while not (main := visible_window(env, "^Vorbelzoz")):
            if time.perf_counter() > deadline:
                raise RuntimeError("no main window")
            time.sleep(0.02)
        time.sleep(0.5)
        geometry = dict(line.split("=") for line in xdotool(env, "getwindowgeometry", "--shell", main).split())
        xdotool(env, "mousemove", str(int(geometry["X"]) + 284), str(int(geometry["Y"]) + 44))
        xdotool(env, "click", "1")  # 开始
        started = time.perf_counter()
        while not any(name.endswith(".mp3") for name in os.listdir(mp3)):
            if time.perf_counter() - started > TIMEOUT:
                raise RuntimeError("the first word was not cached")
            time.sleep(0.002)
        return (time.perf_counter() - started) * 1000
    finally:
        process.kill()
        process.wait()


def bench_wine(args, work):
    os.makedirs(work)
    built = os.path.join(args.win_build, "program")
    folders = program_folders(built, "vorbelzoz.exe",
                              args.baseline and os.path.join(args.baseline, "vorbelzoz.exe"), work, "win32")
    log = open(os.path.join(work, "wine.log"), "w")
    session = WineSession(os.path.abspath(args.prefix), work, log, screen="2400x1800x24")
    server = None
    try:
        session.start()
        session.set_log_pixels(args.dpi)
        env = session.env()
        server = subprocess.Popen(["wineserver", "-f", "-p"], env=env, stdout=log, stderr=log)
        contenders = {"notepad": lambda: time_to_window(["wine", "notepad.exe"], env, "Notepad$", work)}
        for name, folder in folders.items():
            contenders[name] = (lambda f=folder: time_to_window(["wine", os.path.join(f, "vorbelzoz.exe")], env,
                                                                BANK_WINDOW, f))
        times, memory = rounds(args.runs, contenders)
    finally:
        if session.display is not None and args.dpi != 96:
            session.set_log_pixels(96)
        session.stop()
        if server is not None:
            server.wait(30)
        log.close()
    report(f"Windows program under Wine at {args.dpi} DPI", times, memory, "notepad")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--linux-build", default=os.path.join(ROOT, "build", "linux"))
    parser.add_argument("--win-build", default=os.path.join(ROOT, "build", "win32"))
    parser.add_argument("--baseline", help="a folder with the executables to time against")
    parser.add_argument("--prefix", default=os.path.join(ROOT, "build", "wine-bench"))
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--dpi", type=int, default=96)
    parser.add_argument("--first-word", action="store_true")
    parser.add_argument("--only", choices=["linux", "win32"])
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="vorbelzoz-startup-")
    try:
        if args.only != "win32" and os.path.exists(os.path.join(args.linux_build, "program", "vorbelzoz")):
            bench_linux(args, os.path.join(work, "linux"))
        if args.only != "linux" and os.path.exists(os.path.join(args.win_build, "program", "vorbelzoz.exe")):
            bench_wine(args, os.path.join(work, "win32"))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
