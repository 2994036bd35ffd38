#!/usr/bin/env python3
"""Packs the Windows program folder into the release zip.

    make_release_zip.py PROGRAM_DIR GUIDE_UTF8 OUTPUT.zip

The zip holds one folder "vorbelzoz/" with the two programs, the banks, the
sound effects, the service data, the licences, empty "mp3/" and "日志/"
folders (whatever a test run left in the build's copies stays out) and the
guide, converted to GBK with CR LF as Notepad on a Chinese Windows expects.
Names are stored as UTF-8 with the zip's UTF-8 flag, which Windows' own
unpacker honours.
"""
import os
import sys
import zipfile

TOP = "vorbelzoz"
FILES = ["vorbelzoz.exe", "vorbelzoz_service.exe"]
FOLDERS = ["单词表", "音效", "service-data", "licences"]
EMPTY_FOLDERS = ["mp3", "日志"]
GUIDE = "使用说明.txt"


def add_file(archive, path, name):
    info = zipfile.ZipInfo.from_file(path, name)
    info.compress_type = zipfile.ZIP_DEFLATED
    with open(path, "rb") as f:
        archive.writestr(info, f.read(), compresslevel=9)


def add_folder(archive, program, folder):
    """The folder with its files and sub-folders (the exam chapters), in name order."""
    archive.writestr(zipfile.ZipInfo(f"{TOP}/{folder}/"), b"")
    for name in sorted(os.listdir(os.path.join(program, folder))):
        path = os.path.join(program, folder, name)
        if os.path.isdir(path):
            add_folder(archive, program, f"{folder}/{name}")
        elif os.path.isfile(path):
            add_file(archive, path, f"{TOP}/{folder}/{name}")


def main():
    program, guide, output = sys.argv[1:4]
    partial = output + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        archive.writestr(zipfile.ZipInfo(TOP + "/"), b"")
        for name in FILES:
            add_file(archive, os.path.join(program, name), f"{TOP}/{name}")
        for folder in FOLDERS:
            add_folder(archive, program, folder)
        for folder in EMPTY_FOLDERS:
            archive.writestr(zipfile.ZipInfo(f"{TOP}/{folder}/"), b"")
        with open(guide, encoding="utf-8") as f:
            text = f.read().replace("\r\n", "\n").replace("\n", "\r\n")
        info = zipfile.ZipInfo(f"{TOP}/{GUIDE}")
        info.compress_type = zipfile.ZIP_DEFLATED
        archive.writestr(info, text.encode("gbk"))
    os.replace(partial, output)
    print(f"{output}: {os.path.getsize(output)} bytes")


if __name__ == "__main__":
    main()
