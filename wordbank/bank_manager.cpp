// The word-bank window: browse the banks, take one into use, save, export
// and remove rows, mute the background loop. Beyond its controls the window
// keeps only the folder and name of each row: a bank in a sub-folder is
// listed by its bare name, and read from where it was found. Once listed,
// the rows are marked from the learning record.
#include "wordbank/bank_manager.h"

#include <vector>

#include "app/quiz_state.h"
#include "lookup/sound_effects.h"
#include "record/bank_marks.h"
#include "runtime/platform.h"
#include "runtime/services.h"
#include "ui/bank_window_layout.h"
#include "ui/window_fit.h"
#include "wordbank/bank_files.h"
#include "wordbank/banks_listed_ahead.h"

namespace {

using namespace bankWindow;

const char* const kBackgroundSound = "选词.wav";
constexpr int kListWidth = 600;

std::vector<BankRow> bankRows;  // by row, beside the list's rows

Text textOf(Control control) {
    return platform().controlText(ctl(control));
}
void setTextOf(Control control, const Text& text) {
    platform().setControlText(ctl(control), text);
}

int selectedBankRow() {
    return platform().selectedRow(ctl(超级列表框1));
}

// The text of row -1 is the empty text.
Text rowText(int row) {
    return row < 0 ? Text() : platform().cellText(ctl(超级列表框1), row, 0);
}

void appendRow(const Text& folder, const Text& text) {
    platform().insertRow(ctl(超级列表框1), text);
    bankRows.push_back(BankRow{folder, text});
}

Text folderOfRow(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= bankRows.size()) return bankFolder();
    return bankRows[static_cast<std::size_t>(row)].folder;
}

// The words of the selected row's bank in the all-words box, as a click
// on the row shows them.
void showSelectedBank() {
    int row = selectedBankRow();
    Text name = rowText(row);
    if (name.empty()) return;
    setTextOf(编辑框1, readBank(name, folderOfRow(row)));
}

// Each row's progress icon and tooltip, and the bank to go on with selected,
// in view and its words shown, quietly: nothing plays, nothing is recorded.
// Without a learning record the list stays as it was listed.
void markBankRows() {
    BankListMarking marking = markBankList(bankRows);
    for (std::size_t row = 0; row < marking.rows.size(); ++row)
        platform().setRowMark(ctl(超级列表框1), static_cast<int>(row), marking.rows[row].mark,
                              marking.rows[row].tooltip);
    if (marking.rowToShow >= 0) platform().showRow(ctl(超级列表框1), marking.rowToShow);
    showSelectedBank();
}

}  // namespace

void onBankWindowCreated() {
    fitBankWindow();
    playSound(soundEffectPath(kBackgroundSound), true);
    bankRows.clear();
    BanksListedAhead listed;
    if (takeBanksListedAhead(bankFolder(), listed)) {
        for (const BankRow& row : listed.rows) appendRow(row.folder, row.name);
        for (int folder = 0; folder < listed.folders; ++folder) announceFolderSearched();
    } else {
        listBanks(bankFolder(), appendRow);
    }
    platform().insertColumn(ctl(超级列表框1), "词库列表", kListWidth);
    platform().setColumnWidth(ctl(超级列表框1), 0, kListWidth);
    markBankRows();
}

// Closing without a bank in use leaves nothing to practise: the program ends.
void onBankWindowClosing() {
    if (bankName.empty()) endProgram(0);
}

void onSearchProgress(int first, int /*second*/) {
    platform().setProgress(ctl(进度条1), first);
}

void onMuteClicked() {
    if (platform().isChecked(ctl(选择框1))) {
        stopAllSounds();
    } else {
        playSound(soundEffectPath(kBackgroundSound), true);
    }
}

// Only clicks load a bank; moving the selection by keyboard does not.
void onBankClicked() {
    showSelectedBank();
}

void onBankDoubleClicked() {
    useBank();
}

// The words come from the all-words box, as the learner may have edited
// them; the name comes from the row selected now.
void useBank() {
    Text words = textOf(编辑框1);
    if (words.empty()) return;
    wordList = splitEntries(words);
    const int row = selectedBankRow();
    bankName = rowText(row);
    bankPath = bankName.empty() ? Text() : bankPathOf(BankRow{folderOfRow(row), bankName});
    stopAllSounds();
    closeWindow(WindowId::Bank);
}

void exportBank() {
    setTextOf(编辑框2, rowText(selectedBankRow()));
    setTextOf(编辑框2, stripTxt(textOf(编辑框2)));
    setTextOf(编辑框3, textOf(编辑框1));
}

void saveBank() {
    if (textOf(编辑框2).empty()) {
        messageBox("请输入词库名称");
        return;
    }
    if (textOf(编辑框3).empty()) {
        messageBox("请输入词库");
        return;
    }
    if (writeBank(textOf(编辑框2), textOf(编辑框3))) {
        messageBox("保存成功");
        appendRow(bankFolder(), textOf(编辑框2) + ".txt");
    } else {
        messageBox("保存失败");
    }
}

void clearBankEditor() {
    setTextOf(编辑框2, "");
    setTextOf(编辑框3, "");
}

// Only the row goes; the file stays and is listed again next time.
void removeBankRow() {
    int row = selectedBankRow();
    Text text = rowText(row);
    if (text.empty()) return;
    if (messageBox("是否要删除词库：" + text, kMbYesNo) == kIdYes) {
        platform().deleteRow(ctl(超级列表框1), row);
        if (static_cast<std::size_t>(row) < bankRows.size()) bankRows.erase(bankRows.begin() + row);
        setTextOf(编辑框1, "");
    }
}
