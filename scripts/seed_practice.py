#!/usr/bin/env python3
"""Fills a learning record with a few weeks of made-up practice, for the
README's pictures of the statistics window (see scripts/screenshots):

  seed_practice.py PROGRAM_FOLDER

The record must exist (the program made it) and the program must not be
running. Answers go to the first chapters of 中考 and 四级, some days with
none, today included; a wrong answer is a misspelling of one of the kinds
learners make. Each word's history follows its last answer. The same
pictures come out every run but for the dates.
"""
import datetime
import os
import random
import sqlite3
import sys

BANKS = ["02中考\\中考-001.txt", "04四级\\四级-001.txt"]
DAY_START_HOUR = 4


def misspell(word, rng):
    vowels = "aeiou"
    kinds = []
    for i in range(1, len(word)):
        if word[i] == word[i - 1]:
            kinds.append(lambda w, i=i: w[:i] + w[i + 1:])  # a double letter dropped
    for i, c in enumerate(word):
        if c in vowels:
            kinds.append(lambda w, i=i, c=c: w[:i] + rng.choice([v for v in vowels if v != c]) + w[i + 1:])
    if len(word) > 3:
        i = rng.randrange(1, len(word) - 2)
        kinds.append(lambda w, i=i: w[:i] + w[i + 1] + w[i] + w[i + 2:])  # two letters swapped
        kinds.append(lambda w, i=i: w[:i] + w[i + 1:])  # a letter missing
        kinds.append(lambda w, i=i: w[:i] + w[i] + w[i:])  # a letter doubled
    for a, b in (("ance", "ence"), ("ent", "ant"), ("tion", "sion"), ("er", "or"), ("able", "ible")):
        if word.endswith(a):
            kinds.append(lambda w, a=a, b=b: w[: -len(a)] + b)
    typed = rng.choice(kinds)(word) if kinds else word + "e"
    return typed if typed != word else word + word[-1]


def main():
    folder = sys.argv[1]
    rng = random.Random(7)
    words = {}
    for bank in BANKS:
        with open(os.path.join(folder, "单词表", *bank.split("\\")), "rb") as f:
            words[bank] = [line.decode("gbk") for line in f.read().split(b"\r\n") if line.strip()][:50]
    now = datetime.datetime.now()
    today = (now - datetime.timedelta(hours=DAY_START_HOUR)).date()
    epoch = datetime.date(1970, 1, 1)
    day_number = lambda d: (d - epoch).days  # noqa: E731
    utc_offset = datetime.datetime.now().astimezone().utcoffset()

    db = sqlite3.connect(os.path.join(folder, "学习记录.db"))
    history = {}
    answer_id = db.execute("SELECT coalesce(max(id), 0) FROM answers").fetchone()[0]
    for back in range(24, -1, -1):
        if back in (3, 9, 10, 17):
            continue  # days off
        day = today - datetime.timedelta(days=back)
        bank = BANKS[back % 2]
        start = datetime.datetime.combine(day, datetime.time(19, 30)) - utc_offset
        count = rng.randint(20, 50) if back else 30
        ms = int(start.replace(tzinfo=datetime.timezone.utc).timestamp() * 1000)
        right_total = 0
        for k in range(count):
            entry = rng.choice(words[bank])
            wrong = rng.random() < 0.22
            typed = misspell(entry, rng) if wrong else entry
            hint = not wrong and rng.random() < 0.05
            answer_id += 1
            right_total += not wrong
            db.execute("INSERT INTO answers(id, utc_ms, bank, entry, typed, correct, hint_shown, answer_ms)"
                       " VALUES(?, ?, ?, ?, ?, ?, ?, ?)",
                       (answer_id, ms + k * 9000, bank.encode("gbk"), entry.encode("gbk"), typed.encode("gbk"),
                        int(not wrong), int(hint), rng.randint(1500, 9000)))
            h = history.setdefault(entry, {"reviews": 0, "lapses": 0, "missed": 0, "right_days": 0,
                                           "last_right_day": -1})
            h["reviews"] += 1
            h["last_day"] = day_number(day)
            h["correct"] = int(not wrong)
            h["recalled"] = int(not wrong and not hint)
            if wrong:
                h["lapses"] += 1
                h["missed"] = answer_id
                h["right_days"] = 0
                h["due"] = day_number(day) + 1
            else:
                if h["recalled"] and h["last_right_day"] != day_number(day):
                    h["right_days"] += 1
                    h["last_right_day"] = day_number(day)
                h["due"] = day_number(day) + min(2 ** h["right_days"] + rng.randint(0, 3), 40)
        end_ms = ms + count * 9000
        db.execute("INSERT INTO quizzes(bank, start_utc_ms, end_utc_ms, end_local_day, asked_count, right_count,"
                   " wrong_count, hint_count, finished) VALUES(?, ?, ?, ?, ?, ?, ?, 0, 1)",
                   (bank.encode("gbk"), ms, end_ms, day_number(day), count, right_total, count - right_total))
    for entry, h in history.items():
        db.execute("INSERT OR REPLACE INTO words(entry, stability, difficulty, last_day, due_day, reviews, lapses,"
                   " last_correct, missed_answer, right_days, last_right_day, last_recalled)"
                   " VALUES(?, ?, 5, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                   (entry.encode("gbk"), float(h["due"] - h["last_day"]), h["last_day"], h["due"], h["reviews"],
                    h["lapses"], h["correct"], h["missed"], h["right_days"], h["last_right_day"], h["recalled"]))
    db.commit()
    db.close()


if __name__ == "__main__":
    main()
