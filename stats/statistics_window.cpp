// The statistics window's behaviour.
#include "stats/statistics_window.h"

#include "record/learning_day.h"
#include "record/learning_record.h"
#include "runtime/files.h"
#include "runtime/native_fs.h"
#include "runtime/platform.h"
#include "runtime/services.h"
#include "stats/record_csv.h"
#include "stats/stats_page.h"
#include "stats/stats_source.h"
#include "ui/window_fit.h"
#include "wordbank/bank_files.h"

namespace {

// The page last shown, so that its picture is what the learner sees.
ShapePage shownPage;
bool pageHasRecord = false;

constexpr int kMostNumberedNames = 999;

// The bundled lists do not change while the program runs (the learner saves
// banks into 单词表 itself), so their hundreds of chapters are read once.
const std::vector<WordListEntries>& bundledLists() {
    static Text readFrom;
    static std::vector<WordListEntries> lists;
    if (readFrom != bankFolder()) {
        lists = readBundledLists();
        readFrom = bankFolder();
    }
    return lists;
}

Text statsFolder() {
    return programFolder() + "\\统计";
}

// Where a saved file is, as the learner's system writes paths.
Text shownPath(const Text& path) {
    const Text shown = programFolderShown();
    const char separator = shown.find('\\') != Text::npos ? '\\' : '/';
    Text relative = path.substr(programFolder().size());
    for (char& c : relative)
        if (c == '\\') c = separator;
    return shown + relative;
}

bool writeComplete(const Text& path, const Bytes& data) {
    native::FileHandle file = native::open(path, native::kModeCreateNew, 4);
    if (!file.valid()) return false;
    bool ok = native::write(file, data.data(), static_cast<long long>(data.size()));
    ok = native::flush(file) && ok;
    ok = native::close(file) && ok;
    if (!ok) native::remove(path);
    return ok;
}

void tellSaved(const Text& path, const Text& what) {
    if (path.empty())
        messageBox(what + "保存失败");
    else
        messageBox(what + "已保存：" + shownPath(path));
}

void savePicture() {
    const Bytes png = platform().pagePicture(shownPage);
    const Text path =
        png.empty()
            ? Text()
            : saveNumberedFile(statsFolder(), "学习统计-" + calendarDayText(todayCalendarDay()), ".png", png);
    tellSaved(path, "图片");
}

void exportRecord() {
    RecordStore* store = keptLearningRecord();
    if (store == nullptr) return;
    std::vector<AnswerRow> answers;
    if (int code = readAnswers(*store, answers); code != 0) {
        giveUpLearningRecord(code);
        tellRecordTroubleOnce();
        return;
    }
    const Text path = saveNumberedFile(statsFolder(), "学习记录-" + calendarDayText(todayCalendarDay()),
                                       ".csv", answersCsv(answers, currentUtcOffsetSeconds()));
    tellSaved(path, "学习记录");
}

}  // namespace

Text saveNumberedFile(const Text& folder, const Text& stem, const Text& extension, const Bytes& data) {
    if (!native::makeFolder(folder)) return Text();
    for (int n = 1; n <= kMostNumberedNames; ++n) {
        Text path = folder + "\\" + stem;
        if (n > 1) path += '-' + std::to_string(n);
        path += extension;
        if (native::exists(path)) continue;
        Text temporary;
        for (int attempt = 1; attempt <= kTemporaryCopyAttempts && temporary.empty(); ++attempt) {
            const Text candidate = temporaryCopyName(path, attempt);
            if (!native::exists(candidate)) temporary = candidate;
        }
        if (temporary.empty() || !writeComplete(temporary, data)) return Text();
        // Never over a file that appeared meanwhile: then the next number.
        if (native::moveNoReplace(temporary, path)) return path;
        native::remove(temporary);
        if (!native::exists(path)) return Text();
    }
    return Text();
}

void openStatistics() {
    StatsInput input;
    Text notice;
    // A damaged record is set aside and begun anew by giveUpLearningRecord;
    // the new one is read once more.
    RecordStore* store = keptLearningRecord();
    for (int attempt = 0; attempt < 2 && store != nullptr; ++attempt) {
        int code = readAnswers(*store, input.answers, false);
        if (code == 0) code = readWordHistories(*store, input.words);
        if (code == 0) break;
        input = StatsInput{};
        giveUpLearningRecord(code);
        store = keptLearningRecord();
    }
    pageHasRecord = store != nullptr;
    if (pageHasRecord) {
        input.lists = bundledLists();
        input.lists.push_back(readOwnBanks());
        input.today = todayLearningDay();
        input.utcOffsetSeconds = currentUtcOffsetSeconds();
        if (input.answers.empty()) notice = "还没有答题记录：选择一个词库，开始一次听写吧。";
    } else {
        input.today = hasPlatform() ? todayLearningDay() : 0;
        notice = learningRecordTrouble();
    }
    shownPage = statisticsPage(computeLearningStats(input), notice, pageHasRecord);
    // Opened from the bank window, on its screen; the picture saved later is
    // drawn at the screen's DPI whatever this scale.
    const Rect area = platform().workArea(WindowId::Bank);
    platform().showPageWindow(
        shownPage, fitPageScale(shownPage.width, shownPage.height, OuterSize{area.width, area.height}));
}

void onStatisticsCommand(int command) {
    if (!pageHasRecord) return;
    if (command == kSavePicture) savePicture();
    if (command == kExportRecord) exportRecord();
}
