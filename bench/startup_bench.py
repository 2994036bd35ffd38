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
  samples, Wine's own Notepad, and a bare Win32 window showing a list of
  three rows (built here from a few lines with mingw-w64, with common
  controls 6 as the program has them); time to the first visible window
  and resident memory then. The Wine server is kept running, so all pay
  the same for Wine itself.

The programs' web hosts point at a closed port, so no service is started.
The ratios, not the times, compare between machines.

  bench/startup_bench.py [--linux-build build/linux] [--win-build build/win32]
                         [--baseline DIR] [--runs 11] [--prefix DIR] [--dpi 96]
                         [--first-word] [--only linux|win32] [--settle SECONDS]

--baseline DIR times the executables in DIR (vorbelzoz and/or vorbelzoz.exe,
for example those of the build before a change) in copies of the same
program folders, in turn with the others. A build folder that does not
hold its program is skipped. --first-word also times, on Linux, the first
word of a quiz: from the click on "开始" until its pronunciation is cached,
against the local test server (the quiz's 300 ms waits make that figure
coarse). --only runs one build's part. --settle SECONDS also reads each
program's memory that long after its window appeared, once it has drawn
and loaded what it loads in the background (the Linux program's audio
libraries, for the bank window's background loop).
"""
import argparse
import ctypes
import os
import re
import select
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
# --settle: seconds after the map to read the memory once more, when the
# programs have drawn and loaded what they load in the background.
SETTLE = 0.0
settled = {}  # name -> MB read SETTLE seconds after the map
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

BARE_WIN32 = r"""
#include <windows.h>
#include <commctrl.h>
static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, w, l);
}
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR line, int show) {
    INITCOMMONCONTROLSEX common = {sizeof(common), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&common);
    WNDCLASSW windowClass = {0};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"bare";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"bare", L"bare-win32-list", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                320, 240, NULL, NULL, instance, NULL);
    HWND list = CreateWindowW(WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 200, window,
                              NULL, instance, NULL);
    LVCOLUMNW column = {LVCF_WIDTH, 0, 280};
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, (LPARAM)&column);
    const wchar_t* rows[] = {L"one", L"two", L"three"};
    for (int i = 0; i < 3; ++i) {
        LVITEMW item = {LVIF_TEXT, i};
        item.pszText = (wchar_t*)rows[i];
        SendMessageW(list, LVM_INSERTITEMW, 0, (LPARAM)&item);
    }
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
"""

COMMON_CONTROLS_6 = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <dependency><dependentAssembly>
    <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
                      processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
  </dependentAssembly></dependency>
</assembly>
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


class MapWatch:
    """Top-level windows as the X server maps them, through libX11: the map
    is seen the moment it happens, where polling with xdotool is late by up
    to a poll and the xdotool start, and burns a core meanwhile."""

    MAP_NOTIFY = 19
    SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

    def __init__(self, env):
        x11 = self.x11 = ctypes.CDLL("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x11.XConnectionNumber.argtypes = x11.XPending.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long,
                                           ctypes.c_long, ctypes.c_int, ctypes.c_ulong,
                                           ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
                                           ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                           ctypes.POINTER(ctypes.c_void_p)]
        x11.XFree.argtypes = [ctypes.c_void_p]
        self.display = x11.XOpenDisplay(env["DISPLAY"].encode())
        if not self.display:
            raise RuntimeError("cannot open display " + env["DISPLAY"])
        x11.XSelectInput(self.display, x11.XDefaultRootWindow(self.display), self.SUBSTRUCTURE_NOTIFY_MASK)
        self.x11.XPending(self.display)  # sends the selection before any program starts
        self.names = [x11.XInternAtom(self.display, b"_NET_WM_NAME", 0),
                      x11.XInternAtom(self.display, b"WM_NAME", 0)]

    def close(self):
        self.x11.XCloseDisplay(self.display)

    def title(self, window):
        for atom in self.names:
            kind, fmt = ctypes.c_ulong(), ctypes.c_int()
            count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
            if self.x11.XGetWindowProperty(self.display, window, atom, 0, 1024, 0, 0, ctypes.byref(kind),
                                           ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                           ctypes.byref(data)) != 0 or not data.value:
                continue
            text = ctypes.string_at(data.value, count.value).decode("utf-8", "replace")
            self.x11.XFree(data)
            if text:
                return text
        return ""

    def wait_for(self, title, deadline, process):
        """The first window mapped from now on whose title matches title."""
        pattern = re.compile(title)
        event = (ctypes.c_long * 24)()
        while True:
            while self.x11.XPending(self.display):
                self.x11.XNextEvent(self.display, event)
                if event[0] & 0xFFFFFFFF == self.MAP_NOTIFY and pattern.search(self.title(event[5])):
                    return event[5]
            if time.perf_counter() > deadline or process.poll() is not None:
                return None
            select.select([self.x11.XConnectionNumber(self.display)], [], [], 0.01)


def visible_window(env, title):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], env=env,
                           capture_output=True, text=True, timeout=TIMEOUT).stdout.split()
    return found[0] if found else None


def window_pid(env, window):
    """The process that owns the window. "wine notepad.exe" starts Notepad
    through start.exe, so the process started is not the one to measure."""
    found = subprocess.run(["xdotool", "getwindowpid", window], env=env, capture_output=True, text=True,
                           timeout=TIMEOUT).stdout.strip()
    return int(found) if found.isdigit() else None


def resident_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def time_to_window(command, env, title, cwd, owner_by_window=False):
    """Milliseconds from the start of the process to the map of its first
    window titled title, and its resident memory in MB then. With
    owner_by_window the memory is that of the process owning the window
    (Wine), found with one more xdotool call; otherwise that of the process
    started, read at once, as the window appears."""
    watch = MapWatch(env)
    started = time.perf_counter()
    process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = watch.wait_for(title, started + TIMEOUT, process)
        elapsed = (time.perf_counter() - started) * 1000
        resident = resident_kib(process.pid)
        if window is None:
            raise RuntimeError(f"no window {title!r} from {command[-1]} (exit code {process.poll()})")
        owner = (window_pid(env, str(window)) if owner_by_window else None) or process.pid
        if owner != process.pid:
            resident = resident_kib(owner)
        settled = None
        if SETTLE > 0:
            time.sleep(SETTLE)
            settled = resident_kib(owner) / 1024
        return elapsed, resident / 1024, settled
    finally:
        watch.close()
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


def build_bare_win32(work):
    """The bare Win32 list, or None where mingw-w64 is missing."""
    compiler, windres = shutil.which("x86_64-w64-mingw32-gcc"), shutil.which("x86_64-w64-mingw32-windres")
    if not compiler or not windres:
        return None
    with open(os.path.join(work, "bare_win32.c"), "w") as out:
        out.write(BARE_WIN32)
    with open(os.path.join(work, "bare_win32.manifest"), "w") as out:
        out.write(COMMON_CONTROLS_6)
    with open(os.path.join(work, "bare_win32.rc"), "w") as out:
        out.write('1 24 "bare_win32.manifest"\n')
    subprocess.run([windres, "bare_win32.rc", "-O", "coff", "-o", "bare_win32_rc.o"], cwd=work, check=True)
    program = os.path.join(work, "bare_win32.exe")
    subprocess.run([compiler, "-O2", "-municode", "-mwindows", "-static", "bare_win32.c", "bare_win32_rc.o",
                    "-o", program, "-lcomctl32"], cwd=work, check=True)
    return program


def rounds(runs, contenders):
    """contenders: name -> function returning (ms, MB, settled MB or None);
    the first round is a warm-up."""
    times = {name: [] for name in contenders}
    memory = {name: [] for name in contenders}
    for run in range(runs + 1):
        for name, start in contenders.items():
            ms, mb, settled_mb = start()
            if run > 0:
                times[name].append(ms)
                memory[name].append(mb)
                if settled_mb is not None:
                    settled.setdefault(name, []).append(settled_mb)
    return times, memory


def report(title, times, memory, reference):
    """Each program against the reference and a bare window, against itself
    with the samples only, and the baseline against this build."""
    print(f"\n{title}: median (range) over {len(times[reference])} runs")
    for name in times:
        t, m = times[name], memory[name]
        later = f", {statistics.median(settled[name]):.1f} MB {SETTLE:g} s later" if name in settled else ""
        print(f"  {name}: {statistics.median(t):.0f} ms ({min(t):.0f}-{max(t):.0f}), "
              f"{statistics.median(m):.1f} MB resident{later}")

    def ratio(name, other):
        if name not in times or other not in times:
            return
        mt, ot = statistics.median(times[name]), statistics.median(times[other])
        mm, om = statistics.median(memory[name]), statistics.median(memory[other])
        line = f"  {name} / {other}: time {mt / ot:.2f}, memory {mm / om:.2f} ({mm - om:+.1f} MB)"
        if name in settled and other in settled:
            sm, so = statistics.median(settled[name]), statistics.median(settled[other])
            line += f", {SETTLE:g} s later {sm / so:.2f} ({sm - so:+.1f} MB)"
        print(line)

    programs = [name for name in times if name != reference]
    for name in programs:
        ratio(name, reference)
    # Against a bare window of the same toolkit too, where it is not the
    # reference: what the program's own start costs beyond its toolkit's.
    for bare in (name for name in programs if name.startswith("bare ")):
        for name in programs:
            if name.startswith(("all", "baseline all")):
                ratio(name, bare)
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
        # By its path: "wine notepad.exe" goes through start.exe, a second
        # process that adds its own start to Notepad's time.
        notepad = os.path.join(session.prefix, "drive_c", "windows", "system32", "notepad.exe")
        if not os.path.exists(notepad):
            notepad = "notepad.exe"
        contenders = {"notepad": lambda: time_to_window(["wine", notepad], env, "Notepad$", work, True)}
        bare = build_bare_win32(work)
        if bare:
            contenders["bare Win32 list"] = (lambda: time_to_window(["wine", bare], env, "^bare-win32-list$", work,
                                                                    True))
        for name, folder in folders.items():
            contenders[name] = (lambda f=folder: time_to_window(["wine", os.path.join(f, "vorbelzoz.exe")], env,
                                                                BANK_WINDOW, f, True))
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
    parser.add_argument("--settle", type=float, default=0.0)
    args = parser.parse_args()
    global SETTLE
    SETTLE = args.settle
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
