"""A private X display and Wine prefix for running the Windows program.

The prefix lives in the test's build folder and is created once (wineboot
takes a while); later runs reuse it. It is set up like an English Windows
with East Asian font linking: the system code page is not 936, so every
Chinese text on screen proves the program's own code-page handling.
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from private_display import PrivateDisplay  # noqa: E402

# No sound device (the program must stay silent without one), no browser
# engine or .NET installers, no GStreamer behind the media player.
DLL_OVERRIDES = "mscoree,mshtml,winegstreamer,winealsa.drv,winepulse.drv,wineoss.drv="

PREFIX_VERSION = "5"

# The CJK face the system's GUI fonts fall back to, as Windows links them.
LINKED_FONT = "NotoSansCJK-Regular.ttc,Noto Sans CJK SC"
LINKED_FACES = ["Tahoma", "MS Shell Dlg", "MS Shell Dlg 2", "Microsoft Sans Serif", "Segoe UI"]


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def _multi_string(value):
    data = value.encode("utf-16-le") + b"\0\0" + b"\0\0"
    return "hex(7):" + ",".join(f"{b:02x}" for b in data)


def _registry_file():
    lines = ["Windows Registry Editor Version 5.00", "", r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]"]
    lines += [f'"{face}"={_multi_string(LINKED_FONT)}' for face in LINKED_FACES]
    # The Chinese default face of Windows ("宋体", SimSun) is the CJK font here.
    lines += ["", r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]",
              '"宋体"="Noto Sans CJK SC"', '"SimSun"="Noto Sans CJK SC"']
    # Text files open in Notepad, as on every Windows.
    lines += ["", r"[HKEY_CLASSES_ROOT\.txt]", '@="txtfile"',
              "", r"[HKEY_CLASSES_ROOT\txtfile\shell\open\command]", '@="notepad.exe \\"%1\\""']
    # Wine draws the frames itself: there is no window manager on the display.
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]", '"Decorated"="N"', '"Managed"="N"', ""]
    return "\r\n".join(lines)


class WineSession:
    def __init__(self, prefix, work_dir, log, screen="1600x1200x24"):
        self.work_dir = work_dir
        self.prefix = prefix
        self.log = log
        self.screen = screen
        self.xvfb = None
        self.display = None

    def env(self):
        env = dict(os.environ)
        env.update({
            "DISPLAY": self.display,
            "WINEPREFIX": self.prefix,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": DLL_OVERRIDES,
            "WINEARCH": "win64",
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
        })
        return env

    def start(self):
        for missing in [tool for tool in ("Xvfb", "wine", "wineserver", "import") if shutil.which(tool) is None]:
            raise RuntimeError(f"{missing} is not installed")
        self._start_display()
        self._prepare_prefix()

    def stop(self):
        if self.display is not None and os.path.isdir(self.prefix):
            subprocess.run(["wineserver", "-k"], env=self.env(), stdout=self.log, stderr=self.log, timeout=60)
        if self.xvfb is not None:
            self.xvfb.stop()

    def run(self, args, timeout, stdout=None, **kwargs):
        """A Windows program under Wine; its output goes to the log unless stdout says otherwise."""
        return subprocess.run(["wine", *args], env=self.env(), stdout=stdout or self.log, stderr=self.log,
                              timeout=timeout, **kwargs)

    def set_log_pixels(self, dpi):
        """The display's DPI as Windows programs started afterwards see it.

        Each process reads HKCU\\Control Panel\\Desktop\\LogPixels when it
        starts; the Hardware Profiles key that Wine also keeps changes nothing.
        """
        self.run(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                  str(dpi), "/f"], timeout=120, check=True)

    def screenshot(self, path, left, top, width, height):
        subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}", "+repage", path],
                       env=self.env(), stdout=self.log, stderr=self.log, timeout=60, check=True)

    def _start_display(self):
        self.xvfb = PrivateDisplay(self.screen, log=self.log)
        self.display = self.xvfb.start()

    def _prepare_prefix(self):
        marker = os.path.join(self.prefix, ".vorbelzoz-ready")
        if os.path.exists(marker) and open(marker).read() == PREFIX_VERSION:
            return
        os.makedirs(self.prefix, exist_ok=True)
        subprocess.run(["wineboot", "-i"], env=self.env(), stdout=self.log, stderr=self.log, timeout=600,
                       check=True)
        registry = os.path.join(self.work_dir, "prefix-settings.reg")
        with open(registry, "w", encoding="utf-16") as out:  # with its byte-order mark
            out.write(_registry_file())
        self.run(["regedit", "/S", windows_path(registry)], timeout=120, check=True)
        subprocess.run(["wineserver", "-w"], env=self.env(), stdout=self.log, stderr=self.log, timeout=120)
        with open(marker, "w") as out:
            out.write(PREFIX_VERSION)
