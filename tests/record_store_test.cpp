// The learning record's rules over many days, through its program-wide
// entry points on the fake platform's clock: the error book, today's review,
// the bank marks and files the program must not take over.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "record/bank_marks.h"
#include "record/learning_day.h"
#include "record/learning_record.h"
#include "record/review_banks.h"
#include "support/fake_platform.h"
#include "support/program_folder.h"

namespace {

constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;
const Text kErrorBook = "\\单词表\\00复习\\错词本.txt";
const Text kTodayReview = "\\单词表\\00复习\\今日复习.txt";

// A record open in a fresh program folder, at 10:00 on the first day.
struct Record : ::testing::Test {
    FakePlatform fake;
    TestProgramFolder folder;
    void SetUp() override {
        fake.setStartTime(DateTime{2024, 3, 1, 10, 0, 0});
        openLearningRecord();
        ASSERT_NE(keptLearningRecord(), nullptr);
    }
    void TearDown() override { closeLearningRecord(); }

    void answer(const Text& entry, bool right, bool hint = false) {
        AnswerFacts facts;
        facts.bank = "a.txt";
        facts.entry = entry;
        facts.typed = right ? entry : Text();
        facts.correct = right;
        facts.hintShown = hint;
        recordAnswer(facts);
        fake.advance(1000);
    }
    void quiz(const Text& bank, bool finished) {
        QuizFacts facts;
        facts.bank = bank;
        facts.asked = 2;
        facts.right = 1;
        facts.finished = finished;
        recordQuiz(facts);
    }
    TextArray errorBook() {
        TextArray entries;
        EXPECT_EQ(errorBookEntries(*keptLearningRecord(), entries), 0);
        return entries;
    }
};

}  // namespace

// A missed word leaves the error book once recalled on three different
// learning days since its last miss; a hint-copied answer is no recall, and
// a new miss starts the count again.
TEST_F(Record, TheErrorBookKeepsAWordUntilThreeDaysOfRightAnswers) {
    answer("apple", false);
    answer("pear", false);
    answer("plum", true);
    EXPECT_EQ(errorBook(), (TextArray{"pear", "apple"}));

    answer("apple", true);
    answer("apple", true);  // the same day counts once
    fake.advance(kDayMs);
    answer("apple", true);
    answer("apple", true, true);
    answer("pear", true);
    answer("pear", false);  // missed again: back to the top, count from zero
    EXPECT_EQ(errorBook(), (TextArray{"pear", "apple"}));
    fake.advance(kDayMs);
    answer("apple", true);
    EXPECT_EQ(errorBook(), TextArray{"pear"});

    refreshReviewBanks();
    EXPECT_EQ(folder.read(kErrorBook), "pear\r\n");
    answer("pear", true);
    fake.advance(kDayMs);
    answer("pear", true);
    fake.advance(kDayMs);
    answer("pear", true);
    refreshReviewBanks();
    EXPECT_FALSE(folder.exists(kErrorBook));  // empty: the old file goes
}

// Today's review: due words, most overdue first, at most 200, written as
// the exact GBK bytes of the entries; nothing is written without a
// word-bank folder, which the program never makes.
TEST_F(Record, TodaysReviewListsTheMostOverdueFirstUpTo200) {
    answer("old", false);  // due the next day
    fake.advance(2 * kDayMs);
    answer("中文 词", false);  // due two days after "old"
    fake.advance(kDayMs);
    for (int i = 0; i < 250; ++i) answer("w" + toText(i), false);  // a day later still
    fake.advance(2 * kDayMs);
    refreshReviewBanks();

    Text review = folder.read(kTodayReview);
    ASSERT_EQ(review.rfind("old\r\n中文 词\r\nw", 0), 0u) << review.substr(0, 40);
    std::size_t lines = 0;
    for (std::size_t at = review.find("\r\n"); at != Text::npos; at = review.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, static_cast<std::size_t>(kTodayReviewLimit));
    EXPECT_EQ(review.substr(review.size() - 2), "\r\n");

    folder.remove("\\单词表");
    refreshReviewBanks();
    EXPECT_FALSE(folder.exists("\\单词表"));
}

// Practised once a quiz ran on the bank; mastered while every entry's last
// answer was right and none is due. The row shown is the one after the bank
// of the last quiz that ran to its end.
TEST_F(Record, BankMarksFollowTheAnswersAndTheLastFinishedQuiz) {
    const Text banks = folder.folder() + "\\单词表\\";
    folder.writeBank("m.txt", {"apple", "pear"});
    folder.writeBank("p.txt", {"apple", "fig"});
    const std::vector<BankRow> rows = {{banks, "m.txt"}, {banks, "p.txt"}, {banks, "q.txt"}};
    answer("apple", true);
    answer("pear", true);
    quiz("m.txt", true);
    quiz("p.txt", false);  // stopped: practised, but not where to go on

    BankListMarking marking = markBankList(rows);
    ASSERT_EQ(marking.rows.size(), 3u);
    EXPECT_EQ(marking.rows[0].mark, RowMark::Mastered);
    EXPECT_EQ(marking.rows[1].mark, RowMark::Practised);  // fig never answered
    EXPECT_EQ(marking.rows[1].tooltip, "上次练习：2024-03-01  正确率：50%");
    EXPECT_EQ(marking.rows[2].mark, RowMark::NotPractised);
    EXPECT_EQ(marking.rowToShow, 1);

    fake.advance(2 * kDayMs);  // apple and pear are due again
    EXPECT_EQ(markBankList(rows).rows[0].mark, RowMark::Practised);
    quiz("q.txt", true);  // the last row: go on from the top
    EXPECT_EQ(markBankList(rows).rowToShow, 0);
}

// A record written by a newer program is left alone; an SQLite file of
// some other program's under the record's name is moved aside. Either way
// the learner hears of it once.
TEST(RecordFile, ANewerOrAForeignFileIsNeverWrittenInto) {
    TestProgramFolder folder;
    FakePlatform fake;
    const std::string path = folder.nativePath("\\学习记录.db");
    auto makeDatabase = [&](const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };

    makeDatabase("PRAGMA user_version = 99; CREATE TABLE future(x);");
    const Bytes newer = folder.read("\\学习记录.db");
    openLearningRecord();
    EXPECT_EQ(keptLearningRecord(), nullptr);
    tellRecordTroubleOnce();
    tellRecordTroubleOnce();
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_NE(fake.messageBoxes[0].message.find("更新版本"), Text::npos);
    EXPECT_EQ(folder.read("\\学习记录.db"), newer);

    folder.remove("\\学习记录.db");
    makeDatabase("CREATE TABLE notes(x);");
    const Bytes foreign = folder.read("\\学习记录.db");
    openLearningRecord();
    ASSERT_NE(keptLearningRecord(), nullptr);
    closeLearningRecord();
    EXPECT_EQ(folder.read("\\学习记录.db.损坏-20240301-100000"), foreign);
}

// Mastered means recalled: a bank whose words were all copied from the hint
// is practised, not mastered. A quiz on a review bank is practice too, but
// the place to go on with stays among the learner's own chapters.
TEST_F(Record, MasteryNeedsRecallAndReviewQuizzesKeepThePlace) {
    const Text banks = folder.folder() + "\\单词表\\";
    folder.writeBank("m.txt", {"apple"});
    folder.writeBank("n.txt", {"pear"});
    const std::vector<BankRow> rows = {
        {banks + "00复习\\", "今日复习.txt"}, {banks, "m.txt"}, {banks, "n.txt"}, {banks, "o.txt"}};
    answer("apple", true, true);
    answer("pear", true);
    quiz("m.txt", true);
    quiz("n.txt", true);
    quiz("00复习\\今日复习.txt", true);

    BankListMarking marking = markBankList(rows);
    ASSERT_EQ(marking.rows.size(), 4u);
    EXPECT_EQ(marking.rows[0].mark, RowMark::Practised);
    EXPECT_EQ(marking.rows[1].mark, RowMark::Practised);
    EXPECT_EQ(marking.rows[2].mark, RowMark::Mastered);
    EXPECT_EQ(marking.rowToShow, 3);
}

// After the record failed, was set aside and begun anew, a second failure in
// the same run is told as well: the learner must not believe answers are
// kept when they are not.
TEST_F(Record, ASecondFailureInOneRunIsToldToo) {
    closeLearningRecord();
    folder.write("\\学习记录.db", Bytes(8192, '\x5A'));
    openLearningRecord();
    ASSERT_NE(keptLearningRecord(), nullptr);
    tellRecordTroubleOnce();
    giveUpLearningRecord(SQLITE_FULL);
    tellRecordTroubleOnce();
    tellRecordTroubleOnce();
    ASSERT_EQ(fake.messageBoxes.size(), 2u);
    EXPECT_NE(fake.messageBoxes[0].message.find("已损坏"), Text::npos);
    EXPECT_NE(fake.messageBoxes[1].message.find("磁盘已满"), Text::npos);
}

// A clock set back (or a record from a machine whose clock ran ahead): a
// word last reviewed "later than today" counts as reviewed today, so its
// next review is never years away, and the error book never counts one day
// twice.
TEST_F(Record, AClockThatJumpsNeitherDelaysReviewNorCountsADayTwice) {
    fake.setStartTime(DateTime{2027, 3, 1, 10, 0, 0});
    answer("apple", true);
    answer("pear", false);
    fake.setStartTime(DateTime{2024, 3, 5, 10, 0, 0});
    answer("pear", true);  // day one of three
    fake.setStartTime(DateTime{2024, 3, 1, 10, 0, 0});
    answer("pear", true);  // earlier than the last: no new day
    fake.setStartTime(DateTime{2024, 3, 5, 10, 0, 0});
    answer("pear", true);  // the same day again
    EXPECT_EQ(errorBook(), TextArray{"pear"});

    closeLearningRecord();
    openLearningRecord();  // 2024-03-05: apple was "reviewed" in 2027
    WordHistory apple;
    bool found = false;
    ASSERT_EQ(loadWordHistory(*keptLearningRecord(), "apple", apple, found), 0);
    ASSERT_TRUE(found);
    EXPECT_EQ(apple.review.lastDay, todayLearningDay());
    EXPECT_LE(apple.review.dueDay, todayLearningDay() + 10);
    EXPECT_GT(apple.review.dueDay, todayLearningDay());
}

// A record from before banks were kept by their path: a bare name that
// names one bank today becomes that bank's path, so every row keeps its
// mark and the place to go on with stays; a name two banks share stays as
// it was and marks neither.
TEST(RecordFile, BareBankNamesOfAnOlderRecordBecomePaths) {
    TestProgramFolder folder;
    FakePlatform fake;
    fake.setStartTime(DateTime{2024, 3, 10, 10, 0, 0});
    folder.makeFolder("\\单词表\\04四级");
    folder.makeFolder("\\单词表\\05六级");
    folder.writeBank("04四级\\x.txt", {"apple"});
    folder.writeBank("05六级\\y.txt", {"pear", "fig"});
    folder.writeBank("05六级\\z.txt", {"plum"});
    folder.writeBank("z.txt", {"plum"});
    folder.writeBank("w.txt", {"kiwi"});
    const int today = todayLearningDay(), calendarToday = todayCalendarDay();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(folder.nativePath("\\学习记录.db").c_str(), &db), SQLITE_OK);
    const std::string sql =
        "CREATE TABLE answers(id INTEGER PRIMARY KEY, utc_ms INTEGER NOT NULL, bank BLOB NOT NULL,"
        " entry BLOB NOT NULL, typed BLOB NOT NULL, correct INTEGER NOT NULL, hint_shown INTEGER NOT NULL,"
        " answer_ms INTEGER NOT NULL);"
        "CREATE TABLE quizzes(id INTEGER PRIMARY KEY, bank BLOB NOT NULL, start_utc_ms INTEGER NOT NULL,"
        " end_utc_ms INTEGER NOT NULL, end_local_day INTEGER NOT NULL, asked_count INTEGER NOT NULL,"
        " right_count INTEGER NOT NULL, wrong_count INTEGER NOT NULL, hint_count INTEGER NOT NULL,"
        " finished INTEGER NOT NULL);"
        "CREATE INDEX quizzes_by_bank ON quizzes(bank, id);"
        "CREATE TABLE words(entry BLOB PRIMARY KEY, stability REAL NOT NULL, difficulty REAL NOT NULL,"
        " last_day INTEGER NOT NULL, due_day INTEGER NOT NULL, reviews INTEGER NOT NULL,"
        " lapses INTEGER NOT NULL, last_correct INTEGER NOT NULL, missed_answer INTEGER NOT NULL,"
        " right_days INTEGER NOT NULL, last_right_day INTEGER NOT NULL) WITHOUT ROWID;"
        "CREATE INDEX words_by_due ON words(due_day);"
        "CREATE INDEX error_book ON words(missed_answer) WHERE missed_answer > 0 AND right_days < 3;"
        "INSERT INTO answers VALUES(1, 0, CAST('x.txt' AS BLOB), CAST('apple' AS BLOB),"
        " CAST('apple' AS BLOB), 1, 0, 900);"
        "INSERT INTO answers VALUES(2, 0, CAST('y.txt' AS BLOB), CAST('pear' AS BLOB),"
        " CAST('pea' AS BLOB), 0, 0, 900);"
        "INSERT INTO words VALUES(CAST('apple' AS BLOB), 3.2, 5.0, " +
        std::to_string(today) + ", " + std::to_string(today + 3) +
        ", 1, 0, 1, 0, 0, -1);"
        "INSERT INTO words VALUES(CAST('pear' AS BLOB), 0.2, 7.0, " +
        std::to_string(today) + ", " + std::to_string(today + 1) +
        ", 1, 0, 0, 2, 0, -1);"
        "INSERT INTO quizzes VALUES(1, CAST('x.txt' AS BLOB), 0, 1, " +
        std::to_string(calendarToday) +
        ", 1, 1, 0, 0, 1);"
        "INSERT INTO quizzes VALUES(2, CAST('z.txt' AS BLOB), 0, 1, " +
        std::to_string(calendarToday) +
        ", 1, 1, 0, 0, 1);"
        "INSERT INTO quizzes VALUES(3, CAST('y.txt' AS BLOB), 0, 1, " +
        std::to_string(calendarToday) +
        ", 1, 0, 1, 0, 1);"
        "PRAGMA user_version = 1;";
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);

    openLearningRecord();
    const Text banks = folder.folder() + "\\单词表\\";
    BankListMarking marking = markBankList({{banks + "04四级\\", "x.txt"},
                                            {banks + "05六级\\", "y.txt"},
                                            {banks + "05六级\\", "z.txt"},
                                            {banks, "w.txt"},
                                            {banks, "z.txt"}});
    closeLearningRecord();
    ASSERT_EQ(marking.rows.size(), 5u);
    EXPECT_EQ(marking.rows[0].mark, RowMark::Mastered);
    EXPECT_EQ(marking.rows[1].mark, RowMark::Practised);
    EXPECT_EQ(marking.rows[1].tooltip, "上次练习：2024-03-10  正确率：0%");
    EXPECT_EQ(marking.rows[2].mark, RowMark::NotPractised);
    EXPECT_EQ(marking.rows[3].mark, RowMark::NotPractised);
    EXPECT_EQ(marking.rows[4].mark, RowMark::NotPractised);
    EXPECT_EQ(marking.rowToShow, 2);
}
