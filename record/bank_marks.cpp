// Row marks for the bank list. Only banks that have been practised are
// read, so a long list of untouched chapters costs nothing but a lookup.
#include "record/bank_marks.h"

#include <map>

#include "app/report.h"
#include "record/learning_day.h"
#include "record/learning_record.h"
#include "record/review_banks.h"
#include "wordbank/bank_files.h"

namespace {

// Every entry answered and mastered.
bool mastered(RecordStore& store, const BankRow& row, int today, int& code) {
    TextArray entries = splitEntries(readBank(row.name, row.folder));
    if (entries.empty()) return false;
    for (const Text& entry : entries) {
        WordHistory history;
        bool found = false;
        code = loadWordHistory(store, entry, history, found);
        if (code != 0 || !found || !wordMastered(history, today)) return false;
    }
    return true;
}

Text practiceTip(const BankPractice& practice) {
    return "上次练习：" + calendarDayText(practice.lastCalendarDay) + "  正确率：" +
           accuracyText(practice.right, practice.asked) + "%";
}

int rowAfter(const std::vector<BankRow>& rows, const Text& bank) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (bankPathOf(rows[i]) == bank) return i + 1 < rows.size() ? static_cast<int>(i + 1) : 0;
    return 0;
}

}  // namespace

Text bankPathOf(const BankRow& row) {
    const Text top = bankFolder();
    if (row.folder.compare(0, top.size(), top) == 0) return row.folder.substr(top.size()) + row.name;
    return row.name;
}

BankListMarking markBankList(const std::vector<BankRow>& rows) {
    BankListMarking marking;
    RecordStore* store = keptLearningRecord();
    if (store == nullptr) return marking;
    std::map<Text, BankPractice> practised;
    Text lastFinished;
    int code = bankPractice(*store, bankPathOf(BankRow{reviewFolder(), Text()}), practised, lastFinished);
    if (code != 0) {
        giveUpLearningRecord(code);
        return marking;
    }
    const int today = todayLearningDay();
    std::map<Text, bool> masteredBank;  // by folder and name, for repeated rows
    marking.rows.resize(rows.size());
    for (std::size_t i = 0; i < rows.size() && code == 0; ++i) {
        RowMarking& row = marking.rows[i];
        auto found = practised.find(bankPathOf(rows[i]));
        if (found == practised.end()) {
            row.mark = RowMark::NotPractised;
            row.tooltip = "尚未练习";
            continue;
        }
        const Text key = rows[i].folder + rows[i].name;
        auto known = masteredBank.find(key);
        if (known == masteredBank.end())
            known = masteredBank.emplace(key, mastered(*store, rows[i], today, code)).first;
        row.mark = known->second ? RowMark::Mastered : RowMark::Practised;
        row.tooltip = practiceTip(found->second);
    }
    if (code != 0) {
        giveUpLearningRecord(code);
        return BankListMarking{};
    }
    if (!rows.empty()) marking.rowToShow = lastFinished.empty() ? 0 : rowAfter(rows, lastFinished);
    return marking;
}
