// The end-of-quiz report text, the summary and the report file, byte for
// byte.
#include <gtest/gtest.h>

#include "app/quiz_state.h"
#include "app/report.h"
#include "support/program_folder.h"

namespace {

const Bytes kHyphens(64, '-');

class Report : public ::testing::Test {
protected:
    void SetUp() override { initQuizState(); }
    void TearDown() override { initQuizState(); }
};

TEST(Accuracy, WholeNumberPart) {
    EXPECT_EQ(accuracyText(2, 3), "66");
    EXPECT_EQ(accuracyText(3, 3), "100");
    EXPECT_EQ(accuracyText(7, 10), "70");
    EXPECT_EQ(accuracyText(3, 7), "42");
    EXPECT_EQ(accuracyText(0, 1), "0");
    EXPECT_EQ(accuracyText(1, 8), "12");
    EXPECT_EQ(accuracyText(0, 0), "0");  // never a "nan"
}

TEST_F(Report, NoWrongAnswers) {
    bankName = "CET4.txt";
    rightCount = 3;
    EXPECT_EQ(reportText(3),
              "\xB4\xF0\xCC\xE2\xB7\xB6\xCE\xA7\xA3\xBA"  // 答题范围：
              "CET4.txt\r\n"
              "\xB9\xB2\xB4\xF0\xCC\xE2\xA3\xBA"  // 共答题：
              "3\r\n"
              "\xD5\xFD\xC8\xB7\xC2\xCA:"  // 正确率:
              "100%\r\n"
              "\xB4\xED\xCE\xF3\xB4\xCE\xCA\xFD:"  // 错误次数:
              "0\r\n"
              "\xC7\xF3\xD6\xFA\xC1\xCB\xA3\xBA"  // 求助了：
              "0\r\n"
              "\xB4\xED\xCE\xF3\xCF\xEA\xC7\xE9\r\n"  // 错误详情
              "\r\n"
              "\xB4\xED\xB4\xCA\xB1\xED\xA3\xBA\r\n"  // 错词表：
                  + kHyphens);
}

TEST_F(Report, StoppedAtTheFirstWordWithWrongAnswersAndHints) {
    bankName = "a.txt";
    EXPECT_EQ(reportText(1),
              "答题范围：a.txt\r\n共答题：1\r\n正确率:0%\r\n错误次数:"
              "0\r\n求助了：0\r\n错误详情\r\n\r\n错词表：\r\n" +
                  kHyphens);

    rightCount = 1;
    wrongCount = 2;
    hintCount = 1;
    errorDetails = "apple写成了>aple\r\npear写成了>\r\n";
    wrongWords = "apple\r\npear\r\n";
    EXPECT_EQ(reportText(3),
              "答题范围：a.txt\r\n共答题：3\r\n正确率:33%\r\n错误次数:2\r\n求助了：1\r\n错误详情\r\n"
              "apple写成了>aple\r\npear写成了>\r\n\r\n错词表：\r\napple\r\npear\r\n" +
                  kHyphens);
}

TEST_F(Report, Summary) {
    bankName = "a.txt";
    wrongCount = 1;
    hintCount = 2;
    errorDetails = "apple写成了>aple\r\n";
    EXPECT_EQ(summaryText(4),
              "\xB4\xF0\xCC\xE2\xBD\xE1\xCA\xF8 \r\n"  // 答题结束 and a blank
              "共答题：4\r\n错误次数:1\r\n求助了：2\r\napple写成了>aple\r\n");
}

TEST_F(Report, FileBesideTheProgram) {
    TestProgramFolder root;
    bankName = "CET4.txt";
    EXPECT_EQ(reportFilePath(), root.folder() + "\\日志\\报告CET4.txt");

    root.write("\\日志\\报告CET4.txt", "an older and longer report");
    EXPECT_TRUE(writeReportFile("first"));
    EXPECT_EQ(root.read("\\日志\\报告CET4.txt"), "first");  // truncated and replaced

    bankName = "other.txt";
    EXPECT_TRUE(writeReportFile("second"));
    EXPECT_EQ(root.read("\\日志\\报告other.txt"), "second");
    EXPECT_EQ(root.read("\\日志\\报告CET4.txt"), "first");
}

TEST_F(Report, MissingLogFolderWritesNothing) {
    TestProgramFolder root;
    root.remove("\\日志");
    bankName = "CET4.txt";
    EXPECT_FALSE(writeReportFile("report"));
    EXPECT_FALSE(root.exists("\\日志"));
}

}  // namespace
