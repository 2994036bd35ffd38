// The learning record in whole runs of the program: what a quiz leaves in
// it, what the next start makes of it, and the runs where it cannot be kept.
#include "record/learning_record.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "app/program_entry.h"
#include "record/bank_marks.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"
#include "support/record_query.h"
#include "support/scenario.h"
#include "support/web_services.h"
#include "ui/bank_window_layout.h"
#include "ui/main_window_layout.h"

namespace {

const ControlRef kBankList = bankWindow::ctl(bankWindow::超级列表框1);
const Text kRecord = "\\学习记录.db";
const Text kErrorBook = "\\单词表\\00复习\\错词本.txt";
const Text kTodayReview = "\\单词表\\00复习\\今日复习.txt";

// The bank list as the window showed it when the learner first saw it.
struct BankListSeen {
    std::vector<Text> rows;
    std::vector<RowMark> marks;
    std::vector<Text> tips;
    int shownRow = -1;
    int selectedRow = -1;
    Text words;  // the all-words box
};

// One run: at `start` the program opens, the learner notes the bank list,
// takes the bank of `row`, starts a quiz and answers a word every two
// seconds, as `typing` says (the word itself when it gives nothing).
struct QuizRun {
    FakePlatform fake;
    Answers answers;
    BankListSeen seen;

    QuizRun(const DateTime& start, int row, int words, Typing typing = nullptr) {
        fake.setStartTime(start);
        serveWords(fake);
        fake.at(400, [this] {
            ControlState& list = fake.control(kBankList);
            seen = BankListSeen{list.rows,        list.rowMarks,
                                list.rowTips,     list.shownRow,
                                list.selectedRow, fake.text(bankWindow::ctl(bankWindow::编辑框1))};
        });
        fake.doubleClickRowAt(500, kBankList, row);
        fake.clickAt(1000, mainWindow::ctl(mainWindow::按钮1));
        for (int i = 0; i < words; ++i) answerAt(fake, 3500 + 2000 * i, answers, typing);
    }
    void run() { EXPECT_EQ(runProgram(), 0); }
};

// The program folder, or one file in it, read-only to the program. Root
// passes any mode check, so a test run as root lowers its file-system
// identity meanwhile.
class ReadOnlyProgramFolder {
public:
    explicit ReadOnlyProgramFolder(const TestProgramFolder& folder, const Text& onlyFile = Text())
        : top_(folder.nativePath("")) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(top_))
            chmod(entry.path().c_str(), entry.is_directory() ? 0777 : 0666);
        if (onlyFile.empty()) {
            chmod(top_.c_str(), 0555);
        } else {
            chmod(top_.c_str(), 0777);
            chmod(folder.nativePath(onlyFile).c_str(), 0444);
        }
        if (geteuid() == 0) {
            setfsgid(65534);
            setfsuid(65534);
        }
    }
    ~ReadOnlyProgramFolder() {
        if (geteuid() == 0) {
            setfsuid(0);
            setfsgid(0);
        }
        chmod(top_.c_str(), 0700);
    }
    ReadOnlyProgramFolder(const ReadOnlyProgramFolder&) = delete;
    ReadOnlyProgramFolder& operator=(const ReadOnlyProgramFolder&) = delete;

private:
    std::string top_;
};

}  // namespace

// The whole round: a missed word goes into the error book, the next start
// marks the practised bank, selects the one after it and offers the word
// for review; practising the error book feeds the record like any bank.
TEST(LearningRecord, AMissedWordComesBackAfterARestart) {
    TestProgramFolder folder;
    folder.writeBank("a.txt", {"apple"});
    folder.writeBank("b.txt", {"banana"});
    {
        QuizRun first(DateTime{2024, 3, 1, 10, 0, 0}, 0, 1, dropLastLetter);
        first.run();
        // A first start with a record: nothing practised, the first row shown.
        EXPECT_EQ(first.seen.rows, (std::vector<Text>{"a.txt", "b.txt"}));
        EXPECT_EQ(first.seen.marks, (std::vector<RowMark>{RowMark::NotPractised, RowMark::NotPractised}));
        EXPECT_EQ(first.seen.shownRow, 0);
        EXPECT_EQ(first.seen.words, "apple");  // the shown bank's words, without a click
        // Nothing the quiz showed or wrote changed.
        EXPECT_EQ(
            first.fake.messageTexts(),
            std::vector<Text>{"答题结束 \r\n共答题：1\r\n错误次数:1\r\n求助了：0\r\napple写成了>appl\r\n"});
    }
    EXPECT_EQ(folder.read(kErrorBook), "apple\r\n");
    EXPECT_FALSE(folder.exists(kTodayReview));  // a missed word is due the next day
    const std::string record = folder.nativePath(kRecord);
    auto answers = queryFile(
        record, "SELECT bank, entry, typed, correct, hint_shown, answer_ms BETWEEN 1 AND 1000 FROM answers");
    EXPECT_EQ(answers, (std::vector<std::vector<Text>>{{"a.txt", "apple", "appl", "0", "0", "1"}}));
    auto quizzes =
        queryFile(record,
                  "SELECT bank, end_utc_ms - start_utc_ms > 2000, asked_count, right_count, wrong_count,"
                  " hint_count, finished FROM quizzes");
    EXPECT_EQ(quizzes, (std::vector<std::vector<Text>>{{"a.txt", "1", "1", "0", "1", "0", "1"}}));

    {
        QuizRun second(DateTime{2024, 3, 2, 9, 0, 0}, 0, 1);
        second.run();
        EXPECT_EQ(second.seen.rows, (std::vector<Text>{"错词本.txt", "今日复习.txt", "a.txt", "b.txt"}));
        EXPECT_EQ(second.seen.marks, (std::vector<RowMark>{RowMark::NotPractised, RowMark::NotPractised,
                                                           RowMark::Practised, RowMark::NotPractised}));
        EXPECT_EQ(second.seen.tips[2], "上次练习：2024-03-01  正确率：0%");
        EXPECT_EQ(second.seen.shownRow, 3);
        EXPECT_EQ(second.seen.selectedRow, 3);
        EXPECT_EQ(second.seen.words, "banana");
        EXPECT_EQ(second.answers.asked, std::vector<Text>{"apple"});  // from the error book
    }
    // Recalled on one day of three: still in the error book, no longer due.
    EXPECT_EQ(folder.read(kErrorBook), "apple\r\n");
    EXPECT_FALSE(folder.exists(kTodayReview));
    EXPECT_EQ(queryFile(record, "SELECT bank, correct FROM answers WHERE id = 2"),
              (std::vector<std::vector<Text>>{{"00复习\\错词本.txt", "1"}}));
}

// A word typed while the hint showed it was copied: graded Again, due the
// next day, although it counts right everywhere else. F2 with "提示"
// unchecked showed nothing, unless the box is checked afterwards.
TEST(LearningRecord, AnAnswerCopiedFromTheHintIsGradedAgain) {
    TestProgramFolder folder;
    folder.writeBank("a.txt", {"apple", "pear", "plum"});
    const ControlRef hintBox = mainWindow::ctl(mainWindow::单选框5);
    QuizRun quiz(DateTime{2024, 3, 1, 10, 0, 0}, 0, 3);
    quiz.fake.hotkeyAt(3300, 0x71);  // first word: F2, "提示" unchecked
    quiz.fake.hotkeyAt(5300, 0x71);  // second word: F2, then "提示" checked
    quiz.fake.clickAt(5400, hintBox);
    quiz.fake.hotkeyAt(7300, 0x71);  // third word: F2 with "提示" checked
    quiz.run();

    ASSERT_EQ(quiz.answers.asked.size(), 3u);
    auto answers =
        queryFile(folder.nativePath(kRecord), "SELECT entry, correct, hint_shown FROM answers ORDER BY id");
    EXPECT_EQ(answers, (std::vector<std::vector<Text>>{{quiz.answers.asked[0], "1", "0"},
                                                       {quiz.answers.asked[1], "1", "1"},
                                                       {quiz.answers.asked[2], "1", "1"}}));
    auto dueIn = queryFile(folder.nativePath(kRecord),
                           "SELECT entry, due_day - last_day FROM words ORDER BY due_day, entry");
    ASSERT_EQ(dueIn.size(), 3u);
    EXPECT_EQ(dueIn[0][1], "1");
    EXPECT_EQ(dueIn[1][1], "1");
    EXPECT_EQ(dueIn[2], (std::vector<Text>{quiz.answers.asked[0], "2"}));  // Good
    EXPECT_FALSE(folder.exists(kErrorBook));                               // right answers: no error book
}

// The learning day begins at 04:00: a word missed at 03:58 belongs to the
// day before, so it is due from 04:00 the same morning. The bank list names
// the calendar date.
TEST(LearningRecord, TheDayTurnsAtFourInTheMorning) {
    TestProgramFolder folder;
    folder.writeBank("a.txt", {"apple"});
    QuizRun(DateTime{2024, 3, 2, 3, 58, 0}, 0, 1, dropLastLetter).run();
    EXPECT_FALSE(folder.exists(kTodayReview));

    auto startAt = [&](const DateTime& time) {
        FakePlatform fake;
        fake.setStartTime(time);
        openLearningRecord();
        BankListMarking marking = markBankList({BankRow{folder.folder() + "\\单词表\\", "a.txt"}});
        closeLearningRecord();
        return marking;
    };
    BankListMarking before = startAt(DateTime{2024, 3, 2, 3, 59, 59});
    EXPECT_FALSE(folder.exists(kTodayReview));
    ASSERT_EQ(before.rows.size(), 1u);
    EXPECT_EQ(before.rows[0].tooltip, "上次练习：2024-03-02  正确率：0%");
    startAt(DateTime{2024, 3, 2, 4, 0, 0});
    EXPECT_EQ(folder.read(kTodayReview), "apple\r\n");
}

// A program killed mid-quiz keeps every answer given: the files as they lie
// on the disk after the third answer hold those three answers.
TEST(LearningRecord, AnswersAreOnTheDiskAsSoonAsTheyAreJudged) {
    TestProgramFolder folder;
    folder.writeBank("a.txt", {"w1", "w2", "w3", "w4", "w5"});
    const Text copy = "\\mp3\\killed.db";
    QuizRun quiz(DateTime{2024, 3, 1, 10, 0, 0}, 0, 5);
    quiz.fake.at(8200, [&] {
        for (const char* suffix : {"", "-wal"}) folder.write(copy + suffix, folder.read(kRecord + suffix));
    });
    quiz.run();
    auto counted = queryFile(folder.nativePath(copy), "SELECT count(*), count(DISTINCT entry) FROM answers");
    EXPECT_EQ(counted, (std::vector<std::vector<Text>>{{"3", "3"}}));
}

// A record file of random bytes is moved aside unchanged, the learner is
// told once, and a new record keeps this run's answers.
TEST(LearningRecordTrouble, ADamagedFileIsSetAsideAndANewRecordBegun) {
    TestProgramFolder folder;
    folder.writeBank("a.txt", {"apple"});
    std::mt19937 random(7);
    Bytes noise;
    for (int i = 0; i < 8192; ++i) noise += static_cast<char>(random() & 0xFF);
    folder.write(kRecord, noise);

    QuizRun quiz(DateTime{2024, 3, 1, 10, 0, 0}, 0, 1);
    quiz.run();
    std::vector<Text> messages = quiz.fake.messageTexts();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("学习记录.db.损坏-20240301-100000"), Text::npos) << messages[0];
    EXPECT_EQ(messages[1].rfind("答题结束 ", 0), 0u);
    EXPECT_EQ(folder.read("\\学习记录.db.损坏-20240301-100000"), noise);
    EXPECT_EQ(queryFile(folder.nativePath(kRecord), "SELECT entry FROM answers"),
              (std::vector<std::vector<Text>>{{"apple"}}));
}

// A folder the program cannot write to, and a record another running copy
// holds: the quiz runs to its report as ever, after one message, and the
// record on the disk is left as it was.
TEST(LearningRecordTrouble, ARecordThatCannotBeKeptLeavesTheQuizAsItWas) {
    const Text summary = "答题结束 \r\n共答题：1\r\n错误次数:0\r\n求助了：0\r\n";
    {
        TestProgramFolder folder;
        folder.writeBank("a.txt", {"apple"});
        std::vector<Text> messages;
        {
            ReadOnlyProgramFolder readOnly(folder);
            QuizRun quiz(DateTime{2024, 3, 1, 10, 0, 0}, 0, 1);
            quiz.run();
            messages = quiz.fake.messageTexts();
            EXPECT_EQ(quiz.seen.marks, std::vector<RowMark>{RowMark::None});
        }
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_NE(messages[0].find("不能写入"), Text::npos) << messages[0];
        EXPECT_EQ(messages[1], summary);
        EXPECT_FALSE(folder.exists(kRecord));
        EXPECT_TRUE(folder.exists("\\日志\\报告a.txt"));
    }
    {
        TestProgramFolder folder;
        folder.writeBank("a.txt", {"apple"});
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(folder.nativePath(kRecord).c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other,
                               "PRAGMA locking_mode = EXCLUSIVE; PRAGMA journal_mode = WAL;"
                               " CREATE TABLE held(x); INSERT INTO held VALUES(1);",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        QuizRun quiz(DateTime{2024, 3, 1, 10, 0, 0}, 0, 1);
        quiz.run();
        std::vector<Text> messages = quiz.fake.messageTexts();
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_NE(messages[0].find("另一个正在运行的本程序"), Text::npos) << messages[0];
        EXPECT_EQ(messages[1], summary);
        sqlite3_close(other);
        EXPECT_EQ(queryFile(folder.nativePath(kRecord), "SELECT name FROM sqlite_schema"),
                  (std::vector<std::vector<Text>>{{"held"}}));
    }
}

namespace {

// The bank list as the next start marks it, without running a quiz.
BankListMarking marksAt(const DateTime& time, const std::vector<BankRow>& rows) {
    FakePlatform fake;
    fake.setStartTime(time);
    openLearningRecord();
    BankListMarking marking = markBankList(rows);
    closeLearningRecord();
    return marking;
}

}  // namespace

// Only words the quiz asked reach the record. An Enter in the pause after
// "开始" is judged on the screen against the last word asked (the empty
// word in the first quiz of a run), but it answered nothing.
TEST(LearningRecord, AnEnterBeforeTheFirstWordIsNotRecorded) {
    TestProgramFolder folder;
    folder.writeBank("a.txt", {"apple"});
    QuizRun run(DateTime{2024, 3, 1, 10, 0, 0}, 0, 0);
    const ControlRef box = mainWindow::ctl(mainWindow::编辑框2);
    run.fake.enterAt(1500, box);
    answerAt(run.fake, 3500, run.answers);
    run.fake.clickAt(8000, mainWindow::ctl(mainWindow::按钮1));
    run.fake.enterAt(8500, box);
    answerAt(run.fake, 10500, run.answers);
    run.run();

    EXPECT_EQ(queryFile(folder.nativePath(kRecord), "SELECT entry, typed, correct FROM answers ORDER BY id"),
              (std::vector<std::vector<Text>>{{"apple", "apple", "1"}, {"apple", "apple", "1"}}));
    EXPECT_EQ(queryFile(folder.nativePath(kRecord), "SELECT right_count, wrong_count FROM quizzes"),
              (std::vector<std::vector<Text>>{{"1", "0"}, {"1", "0"}}));
    EXPECT_FALSE(folder.exists(kErrorBook));
}

// Closing the window is how a learner changes banks: the quiz cut short
// counts as practice, as a stopped one does.
TEST(LearningRecord, AQuizCutShortByClosingTheWindowMarksTheBank) {
    TestProgramFolder folder;
    folder.writeBank("a.txt", {"w1", "w2", "w3"});
    int typedCount = 0;
    QuizRun run(DateTime{2024, 3, 1, 10, 0, 0}, 0, 2,
                [&](const Text& word) { return typedCount++ == 0 ? word : dropLastLetter(word); });
    run.fake.closeAt(8000, WindowId::Main);
    EXPECT_THROW(programMain(), ProgramEnded);

    EXPECT_EQ(queryFile(folder.nativePath(kRecord),
                        "SELECT bank, asked_count, right_count, wrong_count, finished FROM quizzes"),
              (std::vector<std::vector<Text>>{{"a.txt", "3", "1", "1", "0"}}));
    BankListMarking next =
        marksAt(DateTime{2024, 3, 2, 9, 0, 0}, {{folder.folder() + "\\单词表\\", "a.txt"}});
    ASSERT_EQ(next.rows.size(), 1u);
    EXPECT_EQ(next.rows[0].mark, RowMark::Practised);
    EXPECT_EQ(next.rows[0].tooltip, "上次练习：2024-03-01  正确率：33%");
}

// A bank saved beside a namesake in a sub-folder is a bank of its own: the
// record keeps each bank's path under the word-bank folder.
TEST(LearningRecord, BanksOfTheSameNameInTwoFoldersAreKeptApart) {
    TestProgramFolder folder;
    folder.makeFolder("\\单词表\\04四级");
    folder.writeBank("04四级\\a.txt", {"apple"});
    folder.writeBank("a.txt", {"pear"});
    folder.writeBank("b.txt", {"plum"});
    QuizRun run(DateTime{2024, 3, 1, 10, 0, 0}, 0, 1, dropLastLetter);
    run.run();
    ASSERT_EQ(run.seen.rows, (std::vector<Text>{"a.txt", "a.txt", "b.txt"}));
    EXPECT_EQ(
        queryFile(folder.nativePath(kRecord), "SELECT bank FROM answers UNION ALL SELECT bank FROM quizzes"),
        (std::vector<std::vector<Text>>{{"04四级\\a.txt"}, {"04四级\\a.txt"}}));

    const Text banks = folder.folder() + "\\单词表\\";
    BankListMarking next = marksAt(DateTime{2024, 3, 2, 9, 0, 0},
                                   {{banks + "04四级\\", "a.txt"}, {banks, "a.txt"}, {banks, "b.txt"}});
    ASSERT_EQ(next.rows.size(), 3u);
    EXPECT_EQ(next.rows[0].mark, RowMark::Practised);
    EXPECT_EQ(next.rows[1].mark, RowMark::NotPractised);
    EXPECT_EQ(next.rowToShow, 1);
}

// Damage that SQLite meets only after the file opened (a page in the middle
// overwritten, as a bad sector leaves it) or a header that makes no sense
// is damage all the same: the file is set aside, a new record begun, and
// the learner told once; it is never refused at every start.
TEST(LearningRecordTrouble, DamageFoundAfterOpeningIsSetAsideToo) {
    auto damages = {
        +[](Bytes& file) {
            const std::size_t page = 4096, middle = file.size() / page / 2 * page;
            for (std::size_t i = 0; i < page; ++i) file[middle + i] = static_cast<char>((i * 131) & 0xFF);
        },
        +[](Bytes& file) { file.replace(60, 4, "\xFF\xFF\xFF\xFF"); },  // user_version -1
    };
    for (auto damage : damages) {
        TestProgramFolder folder;
        folder.writeBank("a.txt", {"apple"});
        {
            FakePlatform fake;
            fake.setStartTime(DateTime{2024, 2, 1, 10, 0, 0});
            openLearningRecord();
            for (int i = 0; i < 600; ++i) {
                AnswerFacts facts;
                facts.bank = "a.txt";
                facts.entry = "word" + toText(i);
                facts.typed = facts.entry;
                facts.correct = true;
                recordAnswer(facts);
            }
            closeLearningRecord();
        }
        Bytes file = folder.read(kRecord);
        ASSERT_GT(file.size(), 4u * 4096);
        damage(file);
        folder.write(kRecord, file);

        QuizRun quiz(DateTime{2024, 3, 1, 10, 0, 0}, 0, 1);
        quiz.run();
        std::vector<Text> messages = quiz.fake.messageTexts();
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_NE(messages[0].find("学习记录.db.损坏-20240301-100000"), Text::npos) << messages[0];
        EXPECT_TRUE(folder.read("\\学习记录.db.损坏-20240301-100000") == file);  // no dump of a file
        EXPECT_EQ(queryFile(folder.nativePath(kRecord), "SELECT count(*), min(entry) FROM answers"),
                  (std::vector<std::vector<Text>>{{"1", "apple"}}));
    }
}

// A record file marked read-only in a folder the program may write to is a
// record that cannot be written, and the learner is told so in those words.
TEST(LearningRecordTrouble, AReadOnlyRecordFileCannotBeWritten) {
    TestProgramFolder folder;
    folder.writeBank("a.txt", {"apple"});
    QuizRun(DateTime{2024, 3, 1, 10, 0, 0}, 0, 1).run();
    const Bytes before = folder.read(kRecord);
    std::vector<Text> messages;
    {
        ReadOnlyProgramFolder readOnly(folder, kRecord);
        QuizRun quiz(DateTime{2024, 3, 2, 10, 0, 0}, 0, 1);
        quiz.run();
        messages = quiz.fake.messageTexts();
    }
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("不能写入"), Text::npos) << messages[0];
    EXPECT_EQ(folder.read(kRecord), before);
}
