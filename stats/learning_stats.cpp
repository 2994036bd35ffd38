// The statistics page's figures.
#include "stats/learning_stats.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "record/learning_day.h"

namespace {

int floorDiv(std::int64_t value, std::int64_t divisor) {
    std::int64_t q = value / divisor;
    if (value % divisor != 0 && (value < 0) != (divisor < 0)) --q;
    return static_cast<int>(q);
}

void countStreak(const std::map<int, DayAccuracy>& days, int today, LearningStats& stats) {
    int day = days.count(today) ? today : today - 1;
    while (days.count(day)) {
        ++stats.streak;
        --day;
    }
}

void countWords(const StatsInput& input, LearningStats& stats) {
    stats.forecast.assign(1 + kForecastDays, 0);
    for (const auto& [entry, history] : input.words) {
        if (entry.empty()) continue;
        ++stats.wordsPractised;
        if (wordMastered(history, input.today)) ++stats.wordsMastered;
        const int due = history.review.dueDay;
        if (due <= input.today) ++stats.dueToday;
        if (due < input.today)
            ++stats.forecast[0];
        else if (due - input.today < kForecastDays)
            ++stats.forecast[1 + due - input.today];
    }
}

void countLists(const StatsInput& input, LearningStats& stats) {
    // Hashed, by view: some 40,000 entries of the bundled lists are looked up.
    std::unordered_map<std::string_view, const WordHistory*> words;
    words.reserve(input.words.size());
    for (const auto& [entry, history] : input.words) words.emplace(entry, &history);
    for (const WordListEntries& list : input.lists) {
        ListProgress progress;
        progress.name = list.name;
        std::unordered_set<std::string_view> seen;
        seen.reserve(list.entries.size());
        for (const Text& entry : list.entries) {
            if (entry.empty() || !seen.insert(entry).second) continue;
            auto found = words.find(entry);
            if (found == words.end())
                ++progress.notPractised;
            else if (wordMastered(*found->second, input.today))
                ++progress.mastered;
            else
                ++progress.practised;
        }
        stats.lists.push_back(progress);
    }
}

void rankWrongWords(const std::map<Text, std::map<Text, int>>& misses, LearningStats& stats) {
    for (const auto& [entry, typed] : misses) {
        WrongWord word;
        word.entry = entry;
        for (const auto& [spelling, count] : typed) {
            word.misses += count;
            bool blank = spelling.find_first_not_of(" \t") == Text::npos;
            if (!blank && count > word.commonCount) {
                word.commonTyped = spelling;
                word.commonCount = count;
            }
        }
        stats.wrongWords.push_back(word);
    }
    std::stable_sort(stats.wrongWords.begin(), stats.wrongWords.end(),
                     [](const WrongWord& a, const WrongWord& b) { return a.misses > b.misses; });
    if (stats.wrongWords.size() > kTopWrongWords) stats.wrongWords.resize(kTopWrongWords);
}

}  // namespace

int learningDayOfUtc(std::int64_t utcMs, int utcOffsetSeconds) {
    const std::int64_t localSeconds = floorDiv(utcMs, 1000) + static_cast<std::int64_t>(utcOffsetSeconds);
    return floorDiv(localSeconds - kLearningDayStartHour * 3600LL, 86400);
}

int weekdayOfDay(int dayNumber) {
    return ((dayNumber % 7) + 7 + 3) % 7;  // 1970-01-01 was a Thursday
}

int heatmapShade(int answers) {
    if (answers <= 0) return 0;
    if (answers < 20) return 1;
    if (answers < 50) return 2;
    if (answers < 100) return 3;
    return 4;
}

LearningStats computeLearningStats(const StatsInput& input) {
    LearningStats stats;
    stats.today = input.today;
    stats.answersTotal = static_cast<int>(input.answers.size());
    stats.heatmapFirstDay = input.today - weekdayOfDay(input.today) - 7 * (kHeatmapWeeks - 1);
    stats.heatmap.assign(7 * kHeatmapWeeks, 0);

    std::map<int, DayAccuracy> byDay;
    DayAccuracy* accuracyOfDay = nullptr;
    std::map<Text, std::map<Text, int>> misses;
    for (const AnswerRow& answer : input.answers) {
        const int day = learningDayOfUtc(answer.utcMs, input.utcOffsetSeconds);
        // Answers come in time order: most follow one of the same day.
        if (accuracyOfDay == nullptr || accuracyOfDay->day != day) {
            accuracyOfDay = &byDay[day];
            accuracyOfDay->day = day;
        }
        DayAccuracy& accuracy = *accuracyOfDay;
        ++accuracy.answers;
        if (answer.correct) ++accuracy.right;
        const int cell = day - stats.heatmapFirstDay;
        if (cell >= 0 && day <= input.today) ++stats.heatmap[cell];
        if (answer.correct) continue;
        ++misses[answer.entry][answer.typed];
        const MistakeKinds kinds = classifyMistake(answer.typed, answer.entry);
        for (int k = 0; k < kMistakeKindCount; ++k) {
            if (!(kinds & (1u << k))) continue;
            KindTally& tally = stats.kinds[k];
            ++tally.count;
            tally.exampleTyped = answer.typed;
            tally.exampleEntry = answer.entry;
        }
    }
    if (auto found = byDay.find(input.today); found != byDay.end()) {
        stats.answersToday = found->second.answers;
        stats.rightToday = found->second.right;
    }
    countStreak(byDay, input.today, stats);
    for (auto it = byDay.upper_bound(input.today);
         it != byDay.begin() && stats.accuracy.size() < kAccuracyDays;)
        stats.accuracy.insert(stats.accuracy.begin(), (--it)->second);
    countWords(input, stats);
    countLists(input, stats);
    rankWrongWords(misses, stats);
    return stats;
}
