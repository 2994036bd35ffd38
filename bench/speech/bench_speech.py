#!/usr/bin/env python3
"""How well each voice of the offline service can be understood.

Every single-word entry of a bank is spoken through the service as the quiz
program asks for it (GET /text2audio?lan=uk&...&text=WORD&spd=2), the MP3 is
decoded and resampled to 16 kHz mono with sox, and pocketsphinx decodes each
recording in forced choice: its grammar holds exactly the bank's words, with
the pronunciations of the model's own dictionary, so every recording is heard
as one of them. Prints, per voice, the words tested, the share heard as the
right word, the share heard as the right word or one pronounced the same in
the dictionary, the median time to get the MP3, and ten of the misses.

  bench_speech.py --service BINARY [--bank FILE] [--voices awb,rms] [--spd 2]
                  [--cut-ms N]

--cut-ms drops the start of every recording, as a player does that opens
its sound device late.

A voice "uk" (or "en") means no --voice option: the service picks the voice
for lan=uk (or lan=en) itself. Any other name is passed as --voice NAME.
"""
import argparse
import http.client
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.parse

MODEL = "/usr/share/pocketsphinx/model/en-us"
DICTIONARY = MODEL + "/cmudict-en-us.dict"


def bank_words(path):
    words = []
    with open(path, "rb") as f:
        for raw in f.read().decode("gbk", errors="replace").splitlines():
            word = raw.strip().lower()
            if re.fullmatch(r"[a-z][a-z']*", word) and word not in words:
                words.append(word)
    return words


def pronunciations(words):
    wanted = set(words)
    found = {}
    with open(DICTIONARY, encoding="utf-8", errors="replace") as f:
        for line in f:
            parts = line.split()
            if len(parts) < 2:
                continue
            word = re.sub(r"\(\d+\)$", "", parts[0])
            if word in wanted:
                found.setdefault(word, []).append(" ".join(parts[1:]))
    return found


def write_grammar(folder, prons):
    words = sorted(prons)
    with open(os.path.join(folder, "words.dict"), "w") as f:
        for word in words:
            for i, pron in enumerate(prons[word]):
                f.write(f"{word}{'' if i == 0 else f'({i + 1})'} {pron}\n")
    with open(os.path.join(folder, "words.jsgf"), "w") as f:
        f.write("#JSGF V1.0;\ngrammar words;\npublic <word> = " + " | ".join(words) + ";\n")


def homophones(prons):
    by_sound = {}
    for word, sounds in prons.items():
        for sound in sounds:
            by_sound.setdefault(sound, set()).add(word)
    same = {word: {word} for word in prons}
    for group in by_sound.values():
        for word in group:
            same[word] |= group
    return same


class Service:
    def __init__(self, binary, voice):
        args = [binary, "--port", "0"]
        if voice not in ("uk", "en"):
            args += ["--voice", voice]
        self.process = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        match = re.search(r"127\.0\.0\.1:(\d+)", line)
        if not match:
            self.process.kill()
            sys.exit(f"the service did not start: {line}{self.process.stderr.read()}")
        self.port = int(match.group(1))
        self.language = voice if voice in ("uk", "en") else "uk"

    def speak(self, word, spd):
        target = "/text2audio?lan=%s&pid=101&ie=UTF-8&text=%s&spd=%s" % (
            self.language, urllib.parse.quote(word), spd)
        start = time.perf_counter()
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
        connection.request("GET", target)
        response = connection.getresponse()
        body = response.read()
        connection.close()
        ms = (time.perf_counter() - start) * 1000
        if response.status != 200:
            sys.exit(f"{word}: HTTP {response.status}")
        return body, ms

    def stop(self):
        self.process.terminate()
        self.process.wait()


def recognise(folder, names):
    with open(os.path.join(folder, "ctl"), "w") as f:
        f.write("".join(name + "\n" for name in names))
    hyp = os.path.join(folder, "hyp")
    subprocess.run(["pocketsphinx_batch", "-hmm", MODEL + "/en-us", "-dict", os.path.join(folder, "words.dict"),
                    "-jsgf", os.path.join(folder, "words.jsgf"), "-ctl", os.path.join(folder, "ctl"),
                    "-cepdir", folder, "-cepext", ".wav", "-adcin", "yes", "-adchdr", "44",
                    "-hyp", hyp], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    heard = {}
    with open(hyp) as f:
        for line in f:
            match = re.fullmatch(r"(.*) \((\S+)(?: \S+)*\)\s*", line)
            if match:
                words = match.group(1).split()
                heard[match.group(2)] = re.sub(r"\(\d+\)$", "", words[-1]) if words else ""
    return heard


def bench_voice(binary, voice, words, same, spd, cut_ms, folder):
    service = Service(binary, voice)
    times = []
    names = []
    try:
        for i, word in enumerate(words):
            mp3, ms = service.speak(word, spd)
            times.append(ms)
            name = f"w{i:04d}"
            names.append(name)
            with open(os.path.join(folder, name + ".mp3"), "wb") as f:
                f.write(mp3)
    finally:
        service.stop()
    for name in names:
        subprocess.run(["sox", "-q", os.path.join(folder, name + ".mp3"), "-r", "16000", "-c", "1", "-b", "16",
                        os.path.join(folder, name + ".wav"), "trim", f"{cut_ms / 1000:.3f}"], check=True)
    heard = recognise(folder, names)
    right = tolerant = 0
    misses = []
    for name, word in zip(names, words):
        got = heard.get(name, "")
        right += got == word
        tolerant += got in same[word]
        if got not in same[word]:
            misses.append(f"{word}>{got or '?'}")
    n = len(words)
    return {"voice": voice, "n": n, "acc": 100.0 * right / n, "tol": 100.0 * tolerant / n,
            "ms": statistics.median(times), "misses": misses}


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--service", required=True)
    parser.add_argument("--bank", default=os.path.join(root, "data", "单词表", "01示例", "常用词汇.txt"))
    parser.add_argument("--voices", default="awb,rms")
    parser.add_argument("--spd", default="2")
    parser.add_argument("--cut-ms", type=int, default=0)
    parser.add_argument("--label", default="")
    args = parser.parse_args()

    words = bank_words(args.bank)
    prons = pronunciations(words)
    missing = [w for w in words if w not in prons]
    words = [w for w in words if w in prons]
    same = homophones(prons)
    if missing:
        print(f"not in the recogniser's dictionary, left out: {' '.join(missing)}")
    results = []
    with tempfile.TemporaryDirectory(prefix="bench-speech-") as folder:
        write_grammar(folder, prons)
        for voice in args.voices.split(","):
            results.append(bench_voice(args.service, voice, words, same, args.spd, args.cut_ms, folder))
    title = f" ({args.label})" if args.label else ""
    cut = f", first {args.cut_ms} ms cut" if args.cut_ms else ""
    print(f"Intelligibility{title}, spd={args.spd}{cut}, bank {os.path.basename(args.bank)}")
    print(f"{'voice':<6} {'words':>5} {'right %':>8} {'homophone-ok %':>15} {'median MP3 ms':>14}  misses (first 10, word>heard)")
    for r in results:
        print(f"{r['voice']:<6} {r['n']:>5} {r['acc']:>8.1f} {r['tol']:>15.1f} {r['ms']:>14.1f}  "
              + " ".join(r["misses"][:10]))


if __name__ == "__main__":
    main()
