#!/usr/bin/env python3
"""The Windows program may import only DLLs that every Windows ships, whether
it imports them at start or delay-loads them at their first call.

  check_dlls.py OBJDUMP PROGRAM.exe
"""
import re
import struct
import subprocess
import sys

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "ole32.dll", "oleaut32.dll",
    "winmm.dll", "wininet.dll", "shell32.dll", "msvcrt.dll", "advapi32.dll", "shlwapi.dll", "ws2_32.dll",
}


def delay_loaded(program):
    """The DLLs named by the program's delay-import descriptors. GNU ld leaves
    the delay-import directory of the header empty, so objdump lists none;
    the descriptors (attributes 1, then the RVAs of the DLL's name, its
    handle, its address table and its name table) are found in the sections
    instead."""
    with open(program, "rb") as exe:
        data = exe.read()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    count, optional = struct.unpack_from("<H", data, header + 6)[0], struct.unpack_from("<H", data, header + 20)[0]
    sections = []
    for i in range(count):
        size, address, raw_size, raw = struct.unpack_from("<IIII", data, header + 24 + optional + 40 * i + 8)
        sections.append((address, min(size, raw_size), raw, raw_size))

    def offset(rva):
        for address, size, raw, _ in sections:
            if address <= rva < address + size:
                return raw + rva - address
        return None

    dlls = set()
    for _, _, raw, raw_size in sections:
        for at in range(raw, raw + raw_size - 32, 4):
            attributes, name, _, table, names = struct.unpack_from("<5I", data, at)
            if attributes != 1 or None in (offset(name), offset(table), offset(names)):
                continue
            found = re.match(rb"([A-Za-z0-9_.-]+\.dll)\0", data[offset(name):offset(name) + 64], re.IGNORECASE)
            if found:
                dlls.add(found.group(1).decode())
    return sorted(dlls)


def main():
    objdump, program = sys.argv[1], sys.argv[2]
    dump = subprocess.run([objdump, "-p", program], capture_output=True, text=True, check=True).stdout
    dlls = sorted(line.split(":", 1)[1].strip() for line in dump.splitlines() if "DLL Name:" in line)
    delayed = delay_loaded(program)
    print("imports:", ", ".join(dlls))
    print("delay-loaded:", ", ".join(delayed) or "(none)")
    foreign = [dll for dll in dlls + delayed if dll.lower() not in SYSTEM_DLLS]
    if not dlls or foreign:
        print("not shipped with Windows:", ", ".join(foreign) or "(no imports found)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
