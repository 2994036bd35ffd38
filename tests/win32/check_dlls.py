#!/usr/bin/env python3
"""The Windows program may import only DLLs that every Windows ships.

  check_dlls.py OBJDUMP PROGRAM.exe
"""
import subprocess
import sys

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "ole32.dll", "oleaut32.dll",
    "winmm.dll", "wininet.dll", "shell32.dll", "msvcrt.dll", "advapi32.dll", "shlwapi.dll", "ws2_32.dll",
}


def main():
    objdump, program = sys.argv[1], sys.argv[2]
    dump = subprocess.run([objdump, "-p", program], capture_output=True, text=True, check=True).stdout
    dlls = sorted(line.split(":", 1)[1].strip() for line in dump.splitlines() if "DLL Name:" in line)
    print("imports:", ", ".join(dlls))
    foreign = [dll for dll in dlls if dll.lower() not in SYSTEM_DLLS]
    if not dlls or foreign:
        print("not shipped with Windows:", ", ".join(foreign) or "(no imports found)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
