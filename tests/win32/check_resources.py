#!/usr/bin/env python3
"""The Windows executables carry their resources: the program its icon group
and both a version block whose numbers and texts are the project version.

  check_resources.py WRESTOOL VERSION PROGRAM_FOLDER
"""
import re
import struct
import subprocess
import sys

RT_GROUP_ICON, RT_VERSION = 14, 16
EXECUTABLES = {"vorbelzoz.exe": {RT_GROUP_ICON, RT_VERSION}, "vorbelzoz_service.exe": {RT_VERSION}}


def wrestool(tool, *args):
    return subprocess.run([tool, *args], capture_output=True, check=True, timeout=60).stdout


def version_problems(block, version):
    problems = []
    signature = block.find(struct.pack("<I", 0xFEEF04BD))
    if signature < 0:
        return ["no fixed version information"]
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", block, signature + 8)
    numbers = [int(part) for part in version.split(".")] + [0] * 4
    packed = (numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3])
    if (file_ms, file_ls) != packed or (product_ms, product_ls) != packed:
        problems.append("fixed version %x.%x / %x.%x" % (file_ms, file_ls, product_ms, product_ls))
    # The string tables are UTF-16 and aligned to 32 bits: key, padding, value.
    text = block.decode("utf-16-le", errors="replace")
    for key, wanted in (("ProductVersion", version), ("FileVersion", version), ("ProductName", "Vorbelzoz")):
        values = re.findall(key + "\0+([^\0]*)\0", text)
        if len(values) < 1 or any(value != wanted for value in values):
            problems.append("%s: %r, expected %r" % (key, values, wanted))
    if not re.search("FileDescription\0+[^\0]", text):
        problems.append("no FileDescription")
    return problems


def main():
    tool, version, folder = sys.argv[1:4]
    failures = []
    for name, wanted_types in EXECUTABLES.items():
        path = folder + "/" + name
        listing = wrestool(tool, "-l", path).decode()
        print(name + ":\n" + listing.rstrip())
        types = {int(t) for t in re.findall(r"--type=(\d+)", listing)}
        failures += ["%s: no resource of type %d" % (name, t) for t in sorted(wanted_types - types)]
        if RT_VERSION in types:
            block = wrestool(tool, "-x", "--raw", "--type=%d" % RT_VERSION, path)
            failures += ["%s: %s" % (name, problem) for problem in version_problems(block, version)]
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
