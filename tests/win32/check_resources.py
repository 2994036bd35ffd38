#!/usr/bin/env python3
"""The Windows executables carry their resources: the program its icon group,
both an application manifest and a version block whose numbers and texts are
the project version.

  check_resources.py WRESTOOL VERSION PROGRAM_FOLDER
"""
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 14, 16, 24
EXECUTABLES = {"vorbelzoz.exe": {RT_GROUP_ICON, RT_VERSION, RT_MANIFEST},
               "vorbelzoz_service.exe": {RT_VERSION, RT_MANIFEST}}
WINDOWED = "vorbelzoz.exe"
# Windows 7, 8, 8.1 and 10/11, as the compatibility section names them.
SUPPORTED_OS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
COMMON_CONTROLS = ("Microsoft.Windows.Common-Controls", "6.0.0.0", "6595b64144ccf1df")


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


def elements(root, name):
    """Elements by local name, whatever namespace the manifest puts them in."""
    return [element for element in root.iter() if element.tag.rsplit("}", 1)[-1] == name]


def manifest_problems(data, windowed):
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        return ["the manifest is no XML: %s" % error]
    problems = []
    levels = [element.get("level") for element in elements(root, "requestedExecutionLevel")]
    if levels != ["asInvoker"]:
        problems.append("requestedExecutionLevel %r, expected asInvoker" % levels)
    systems = {element.get("Id", "").lower() for element in elements(root, "supportedOS")}
    if systems != SUPPORTED_OS:
        problems.append("supportedOS %s, expected %s" % (sorted(systems), sorted(SUPPORTED_OS)))
    dependencies = [(e.get("name"), e.get("version"), (e.get("publicKeyToken") or "").lower())
                    for dependent in elements(root, "dependentAssembly")
                    for e in elements(dependent, "assemblyIdentity")]
    aware = [(e.text or "").strip() for e in elements(root, "dpiAware")]
    awareness = [(e.text or "").replace(" ", "").split(",") for e in elements(root, "dpiAwareness")]
    if windowed:
        if COMMON_CONTROLS not in dependencies:
            problems.append("no dependency on common controls 6: %r" % dependencies)
        if aware != ["true/pm"]:
            problems.append("dpiAware %r, expected true/pm" % aware)
        if len(awareness) != 1 or awareness[0][:1] != ["PerMonitorV2"] or "PerMonitor" not in awareness[0]:
            problems.append("dpiAwareness %r, expected PerMonitorV2 then PerMonitor" % awareness)
    elif dependencies or aware or awareness:
        problems.append("a windowless program declares controls or DPI awareness")
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
        # Exactly one manifest, the loader's id 1: a second one (a toolchain's
        # default) would be a link-time clash or an ignored manifest.
        manifests = re.findall(r"--type=24 --name=(\S+)", listing)
        if RT_MANIFEST in types and manifests != ["1"]:
            failures.append("%s: manifest resources %r, expected one named 1" % (name, manifests))
        elif RT_MANIFEST in types:
            data = wrestool(tool, "-x", "--raw", "--type=%d" % RT_MANIFEST, path)
            failures += ["%s: %s" % (name, problem) for problem in manifest_problems(data, name == WINDOWED)]
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
