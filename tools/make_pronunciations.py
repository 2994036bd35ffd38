#!/usr/bin/env python3
"""Writes the pronunciation table the Windows service ships: one
"text<TAB>IPA" line, UTF-8, for every single-word headword of the word list,
every entry of the bundled banks (GBK, CR LF; a folder stands for the banks
in it and its sub-folders) and every word of those, transcribed with
espeak-ng's British voice exactly as the Linux service does it live (the
clauses joined by one blank, trimmed). The service turns the result into
textbook notation as it does on Linux; it uses the table only where the
word list has no usable transcription, and composes a phrase from its words.

    make_pronunciations.py OUTPUT DICTIONARY.tsv BANK.txt|FOLDER...
"""
import ctypes
import ctypes.util
import os
import sys

AUDIO_OUTPUT_SYNCHRONOUS = 2
INITIALIZE_DONT_EXIT = 0x8000
CHARS_UTF8 = 1
PHONEMES_IPA = 0x02
MAX_CLAUSES = 1000


class Voice(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("languages", ctypes.c_char_p),
                ("identifier", ctypes.c_char_p), ("gender", ctypes.c_ubyte),
                ("age", ctypes.c_ubyte), ("variant", ctypes.c_ubyte),
                ("xx1", ctypes.c_ubyte), ("score", ctypes.c_int),
                ("spare", ctypes.c_void_p)]


def load_espeak():
    name = ctypes.util.find_library("espeak-ng") or "libespeak-ng.so.1"
    lib = ctypes.CDLL(name)
    lib.espeak_Initialize.restype = ctypes.c_int
    lib.espeak_Initialize.argtypes = [ctypes.c_int, ctypes.c_int, ctypes.c_char_p, ctypes.c_int]
    lib.espeak_SetVoiceByProperties.argtypes = [ctypes.POINTER(Voice)]
    lib.espeak_TextToPhonemes.restype = ctypes.c_char_p
    lib.espeak_TextToPhonemes.argtypes = [ctypes.POINTER(ctypes.c_void_p), ctypes.c_int, ctypes.c_int]
    if lib.espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 200, None, INITIALIZE_DONT_EXIT) <= 0:
        sys.exit("cannot load the espeak-ng data (is espeak-ng-data installed?)")
    british = Voice()
    british.languages = b"en-gb"
    if lib.espeak_SetVoiceByProperties(ctypes.byref(british)) != 0:
        sys.exit('espeak-ng has no British English voice "en-gb"')
    return lib


def transcribe(lib, text):
    buffer = ctypes.create_string_buffer(text.encode("utf-8"))
    pointer = ctypes.c_void_p(ctypes.addressof(buffer))
    pieces = []
    for _ in range(MAX_CLAUSES):
        if not pointer.value:
            break
        piece = lib.espeak_TextToPhonemes(ctypes.byref(pointer), CHARS_UTF8, PHONEMES_IPA)
        if piece:
            pieces.append(piece.decode("utf-8", "replace"))
    return " ".join(pieces).strip(" \n")


def bank_files(paths):
    for path in paths:
        if os.path.isdir(path):
            for folder, _, names in sorted(os.walk(path)):
                yield from (os.path.join(folder, n) for n in sorted(names) if n.endswith(".txt"))
        else:
            yield path


def texts(dictionary, banks):
    wanted = set()
    with open(dictionary, encoding="utf-8") as lines:
        for line in lines:
            head = line.split("\t", 1)[0].strip()
            if head and " " not in head:
                wanted.add(head)
    for bank in bank_files(banks):
        with open(bank, "rb") as f:
            for entry in f.read().decode("gbk").split("\r\n"):
                entry = entry.strip()
                if entry:
                    wanted.add(entry)
    # Every single word too, so that a phrase outside the table can be
    # composed from its words.
    for text in list(wanted):
        wanted.update(text.split())
    return sorted(t for t in wanted if "\t" not in t and "\n" not in t and "\r" not in t)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    output, dictionary, banks = sys.argv[1], sys.argv[2], sys.argv[3:]
    lib = load_espeak()
    partial = output + ".part"
    with open(partial, "w", encoding="utf-8", newline="\n") as out:
        for text in texts(dictionary, banks):
            ipa = transcribe(lib, text)
            if ipa:
                out.write(f"{text}\t{ipa}\n")
    os.replace(partial, output)


if __name__ == "__main__":
    main()
