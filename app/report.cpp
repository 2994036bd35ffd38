// The end-of-quiz report: the summary box, the report file beside the
// program, and the "查看详情" button that opens it.
#include "app/report.h"

#include "app/quiz_state.h"
#include "lookup/sound_effects.h"
#include "runtime/files.h"
#include "runtime/services.h"
#include "ui/main_window_layout.h"

namespace {
const Text kLineEnd = "\r\n";
}  // namespace

Text accuracyText(int right, int total) {
    // The driver never reports an empty quiz; should one come, 0 % is the
    // honest figure rather than the "nan" a division by zero would print.
    if (total <= 0) return "0";
    Text accuracy = toText(static_cast<double>(right) / total * 100);
    return accuracy.substr(0, accuracy.find('.'));
}

Text reportText(int total) {
    return "答题范围：" + bankName + kLineEnd + "共答题：" + toText(total) + kLineEnd +
           "正确率:" + accuracyText(rightCount, total) + "%" + kLineEnd + "错误次数:" + toText(wrongCount) +
           kLineEnd + "求助了：" + toText(hintCount) + kLineEnd + "错误详情" + kLineEnd + errorDetails +
           kLineEnd + "错词表：" + kLineEnd + wrongWords + Text(64, '-');
}

Text summaryText(int total) {
    return "答题结束 " + kLineEnd + "共答题：" + toText(total) + kLineEnd + "错误次数:" + toText(wrongCount) +
           kLineEnd + "求助了：" + toText(hintCount) + kLineEnd + errorDetails;
}

Text reportFilePath() {
    return programFolder() + "\\日志\\报告" + bankName;
}

bool writeReportFile(const Text& report) {
    // Written beside the old report and moved over it once complete, so a
    // full disk leaves the last whole report rather than a cut-off one. A
    // missing 日志 folder or a file held by another program means no
    // report, silently.
    return replaceFile(reportFilePath(), report);
}

void produceReport(int total) {
    playSound(soundEffectPath("结束.wav"));
    const Text report = reportText(total);
    messageBox(summaryText(total));
    writeReportFile(report);
    platform().setEnabled(mainWindow::ctl(mainWindow::按钮2), true);
}

// The bank's name, and so the report's, may end in .cmd, .bat or .hta; the
// report is shown as text and never handed over to be started.
void openReport() {
    platform().openTextFile(reportFilePath());
}
