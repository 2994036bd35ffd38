#!/usr/bin/env python3
"""Lists the Windows program folder for the installer.

    make_installer_list.py PROGRAM_DIR GUIDE_UTF8 OUTPUT_DIR

Writes OUTPUT_DIR/installed_files.nsh, included by
packaging/windows/installer.nsi, and beside it the guide converted to GBK
with CR LF, as the release zip carries it. The include holds two macros:

  VZ_INSTALL_PROGRAM  the programs, the guide, the sound effects, the service
                      data and the licences: always written, so an update
                      replaces them;
  VZ_INSTALL_BANKS    each bundled bank with its SHA-256, written only where
                      the installer's rules allow (never over a bank the
                      learner changed).

and VZ_INSTALLED_KB, the size Windows shows in its list of programs. The
installer records each file it installed with its SHA-256 in the install
folder; the hashes here are what it records.

The same files as the release zip, from the same lists.
"""
import hashlib
import os
import sys

from make_release_zip import FILES, FOLDERS, GUIDE

BANKS = "单词表"
INCLUDE = "installed_files.nsh"


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def nsis_text(text):
    """A text inside an NSIS string in double quotes."""
    if '"' in text or "\n" in text or "`" in text:
        raise ValueError(f"a bundled name NSIS cannot quote: {text!r}")
    return text.replace("$", "$$")


def windows_name(relative):
    """The installed file's path below the install folder, as the record keeps it.

    The record is an INI file with the path as the key: a key cannot hold
    "=" nor start with "[" or ";"; and the installer takes no path with ".."
    from it."""
    name = relative.replace("/", "\\")
    if "=" in name or ".." in name or name.startswith(("[", ";")) or name != name.strip():
        raise ValueError(f"a bundled name the install record cannot keep: {name!r}")
    return nsis_text(name)


def files_below(program, folder):
    """Relative paths of the files in a folder and its sub-folders, in name order."""
    found = []
    for name in sorted(os.listdir(os.path.join(program, folder))):
        relative = f"{folder}/{name}"
        path = os.path.join(program, relative)
        if os.path.isdir(path):
            found += files_below(program, relative)
        elif os.path.isfile(path):
            found.append(relative)
    return found


def write_if_changed(path, data):
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    partial = path + ".part"
    with open(partial, "wb") as out:
        out.write(data)
    os.replace(partial, path)


def install_lines(macro, entries, record):
    """One macro: each entry is (relative path, source file on this machine)."""
    lines = [f"!macro {macro}"]
    for relative, source in entries:
        folder, name = os.path.split(relative)
        args = [windows_name(relative), sha256(source), windows_name(folder) if folder else "",
                nsis_text(name), nsis_text(os.path.abspath(source))]
        lines.append(f"  !insertmacro {record} " + " ".join(f'"{arg}"' for arg in args))
    lines.append("!macroend")
    return lines


def main():
    program, guide, output = sys.argv[1:4]
    os.makedirs(output, exist_ok=True)
    guide_copy = os.path.join(output, GUIDE)
    with open(guide, encoding="utf-8") as f:
        text = f.read().replace("\r\n", "\n").replace("\n", "\r\n")
    write_if_changed(guide_copy, text.encode("gbk"))

    program_files = [(name, os.path.join(program, name)) for name in FILES]
    program_files.append((GUIDE, guide_copy))
    for folder in FOLDERS:
        if folder != BANKS:
            program_files += [(relative, os.path.join(program, relative))
                              for relative in files_below(program, folder)]
    banks = [(relative, os.path.join(program, relative)) for relative in files_below(program, BANKS)]
    total = sum(os.path.getsize(source) for _, source in program_files + banks)

    lines = ["; Made by tools/make_installer_list.py from the program folder; do not edit.",
             f"!define VZ_INSTALLED_KB {(total + 1023) // 1024}"]
    lines += install_lines("VZ_INSTALL_PROGRAM", program_files, "VZ_PROGRAM_FILE")
    lines += install_lines("VZ_INSTALL_BANKS", banks, "VZ_BANK_FILE")
    # Unchanged contents keep the file's time, so the installer is not packed again.
    write_if_changed(os.path.join(output, INCLUDE), ("\n".join(lines) + "\n").encode("utf-8-sig"))
    print(f"{INCLUDE}: {len(program_files)} program files, {len(banks)} banks, {total} bytes")


if __name__ == "__main__":
    main()
