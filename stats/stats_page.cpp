// The statistics page's layout, in 96-DPI units on a 900 × 700 page.
#include "stats/stats_page.h"

#include <algorithm>

#include "record/learning_day.h"

namespace {

constexpr std::uint32_t kInk = 0x333333;
constexpr std::uint32_t kQuiet = 0x808080;
constexpr std::uint32_t kTile = 0xF2F4F7;
constexpr std::uint32_t kRule = 0xD0D4DA;
constexpr std::uint32_t kMastered = 0x2E9E44;
constexpr std::uint32_t kPractised = 0x4A90D9;
constexpr std::uint32_t kUntouched = 0xDCDFE4;
constexpr std::uint32_t kOverdue = 0xD9534F;
constexpr std::uint32_t kAccuracy = 0xF0A030;
constexpr std::uint32_t kKinds = 0x8E6BBF;
constexpr std::uint32_t kShades[5] = {0xEBEDF0, 0xC6E48B, 0x7BC96F, 0x239A3B, 0x196127};

constexpr int kMargin = 16;
constexpr int kCell = 11, kCellPitch = 13;

struct Painter {
    ShapePage& page;

    Shape& add(ShapeKind kind, int x, int y, int w, int h, std::uint32_t colour) {
        Shape& shape = page.shapes.emplace_back();
        shape.kind = kind;
        shape.x = x, shape.y = y, shape.width = w, shape.height = h;
        shape.colour = colour;
        return shape;
    }

    void fill(int x, int y, int w, int h, std::uint32_t colour) {
        if (w > 0 && h > 0) add(ShapeKind::Fill, x, y, w, h, colour);
    }
    void line(int x1, int y1, int x2, int y2, std::uint32_t colour) {
        add(ShapeKind::Line, x1, y1, x2 - x1, y2 - y1, colour);
    }
    void text(int x, int y, int w, int h, const Text& text, int size = 12, std::uint32_t colour = kInk,
              TextAlign align = TextAlign::Left, bool bold = false) {
        Shape& shape = add(ShapeKind::Label, x, y, w, h, colour);
        shape.text = text;
        shape.pixelHeight = size;
        shape.bold = bold;
        shape.align = align;
    }
    void heading(int x, int y, int w, const Text& title) {
        text(x, y, w, 18, title, 13, kInk, TextAlign::Left, true);
    }
};

void paintTiles(Painter& p, const LearningStats& s) {
    const Text tiles[6][2] = {
        {groupedNumber(s.answersToday), "今日答题"},
        {percentText(s.rightToday, s.answersToday), "今日正确率"},
        {groupedNumber(s.streak) + " 天", "连续学习"},
        {groupedNumber(s.wordsPractised), "已练单词"},
        {groupedNumber(s.wordsMastered), "已掌握"},
        {groupedNumber(s.dueToday), "今日待复习"},
    };
    for (int i = 0; i < 6; ++i) {
        const int x = kMargin + i * 145;
        p.fill(x, 42, 138, 54, kTile);
        p.text(x, 45, 138, 26, tiles[i][0], 20, kInk, TextAlign::Centre, true);
        p.text(x, 73, 138, 18, tiles[i][1], 12, kQuiet, TextAlign::Centre);
    }
}

void paintHeatmap(Painter& p, const LearningStats& s) {
    p.heading(kMargin, 104, 400, "练习日历（最近 53 周，每格一天）");
    const int left = 46, top = 140;
    const char* weekdays[7] = {"一", "", "三", "", "五", "", "日"};
    for (int row = 0; row < 7; ++row)
        p.text(kMargin, top + row * kCellPitch - 1, 26, kCellPitch, weekdays[row], 10, kQuiet);
    int lastLabel = -4;
    for (int week = 0; week < kHeatmapWeeks; ++week) {
        for (int row = 0; row < 7; ++row) {
            const int day = s.heatmapFirstDay + week * 7 + row;
            if (day > s.today) continue;
            p.fill(left + week * kCellPitch, top + row * kCellPitch, kCell, kCell,
                   kShades[heatmapShade(s.heatmap[week * 7 + row])]);
        }
        // A month's label over the week that holds its first day.
        for (int row = 0; row < 7; ++row) {
            const Text date = calendarDayText(s.heatmapFirstDay + week * 7 + row);
            if (date.compare(8, 2, "01") != 0 || week - lastLabel < 3) continue;
            const int month = std::stoi(date.substr(5, 2));
            p.text(left + week * kCellPitch, 124, 40, 14, std::to_string(month) + "月", 10, kQuiet);
            lastLabel = week;
        }
    }
    const int legend = left + kHeatmapWeeks * kCellPitch + 16;
    p.text(legend, top + 6 * kCellPitch - 1, 20, kCellPitch, "少", 10, kQuiet);
    for (int shade = 0; shade < 5; ++shade)
        p.fill(legend + 20 + shade * kCellPitch, top + 6 * kCellPitch, kCell, kCell, kShades[shade]);
    p.text(legend + 20 + 5 * kCellPitch + 2, top + 6 * kCellPitch - 1, 20, kCellPitch, "多", 10, kQuiet);
}

// Bars over a base line; values scaled to the highest (at least minimumTop).
void paintBars(Painter& p, int x, int top, int height, int pitch, const std::vector<int>& values,
               const std::vector<std::uint32_t>& colours, int minimumTop) {
    const int highest = std::max(minimumTop, *std::max_element(values.begin(), values.end()));
    p.line(x, top + height, x + pitch * static_cast<int>(values.size()), top + height, kRule);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int h = values[i] <= 0 ? 0 : std::max(1, values[i] * height / std::max(highest, 1));
        p.fill(x + static_cast<int>(i) * pitch + 1, top + height - h, pitch - 3, h, colours[i]);
    }
}

void paintForecast(Painter& p, const LearningStats& s) {
    p.heading(kMargin, 248, 420, "复习预测（逾期与未来 30 天）");
    const int x = kMargin + 30, top = 272, height = 84, pitch = 13;
    std::vector<std::uint32_t> colours(s.forecast.size(), kPractised);
    colours[0] = kOverdue;
    paintBars(p, x, top, height, pitch, s.forecast, colours, 1);
    const int highest = std::max(1, *std::max_element(s.forecast.begin(), s.forecast.end()));
    p.text(kMargin, top - 6, 28, 12, groupedNumber(highest), 10, kQuiet, TextAlign::Right);
    p.text(kMargin, top + height - 6, 28, 12, "0", 10, kQuiet, TextAlign::Right);
    p.text(x - 6, top + height + 2, 40, 14, "逾期", 10, kOverdue);
    p.text(x + pitch - 2, top + height + 16, 40, 14, "今天", 10, kQuiet);
    p.text(x + 11 * pitch - 6, top + height + 16, 40, 14, "+10", 10, kQuiet);
    p.text(x + 21 * pitch - 6, top + height + 16, 40, 14, "+20", 10, kQuiet);
    p.text(x + 30 * pitch - 6, top + height + 16, 40, 14, "+29", 10, kQuiet);
}

void paintAccuracy(Painter& p, const LearningStats& s) {
    const int left = 470;
    p.heading(left, 248, 420, "每日正确率（最近 30 个学习日）");
    const int x = left + 36, top = 272, height = 84, pitch = 12;
    p.line(x, top, x + pitch * kAccuracyDays, top, kRule);
    p.line(x, top + height / 2, x + pitch * kAccuracyDays, top + height / 2, kRule);
    p.text(left, top - 6, 32, 12, "100%", 10, kQuiet, TextAlign::Right);
    p.text(left, top + height / 2 - 6, 32, 12, "50%", 10, kQuiet, TextAlign::Right);
    std::vector<int> shares;
    for (const DayAccuracy& day : s.accuracy)
        shares.push_back(day.answers ? day.right * 1000 / day.answers : 0);
    if (shares.empty()) shares.push_back(0);
    paintBars(p, x, top, height, pitch, shares, std::vector<std::uint32_t>(shares.size(), kAccuracy), 1000);
    if (s.accuracy.empty()) return;
    p.text(x - 4, top + height + 2, 60, 14, calendarDayText(s.accuracy.front().day).substr(5), 10, kQuiet);
    if (s.accuracy.size() > 5)
        p.text(x + pitch * static_cast<int>(s.accuracy.size()) - 40, top + height + 2, 44, 14,
               calendarDayText(s.accuracy.back().day).substr(5), 10, kQuiet, TextAlign::Right);
}

void paintLists(Painter& p, const LearningStats& s) {
    p.heading(kMargin, 386, 290, "词表进度（已掌握 / 练习中 / 未练习）");
    int y = 408;
    for (const ListProgress& list : s.lists) {
        const int total = list.mastered + list.practised + list.notPractised;
        p.text(kMargin, y, 280, 14,
               list.name + "  " + groupedNumber(list.mastered) + " / " + groupedNumber(list.practised) +
                   " / " + groupedNumber(list.notPractised),
               11);
        const int width = 270;
        const int m = total ? list.mastered * width / total : 0;
        const int pr = total ? list.practised * width / total : 0;
        p.fill(kMargin, y + 15, width, 6, kUntouched);
        p.fill(kMargin, y + 15, m, 6, kMastered);
        p.fill(kMargin + m, y + 15, pr, 6, kPractised);
        y += 25;
    }
}

void paintWrongWords(Painter& p, const LearningStats& s) {
    const int left = 318;
    p.heading(left, 386, 280, "最常错的单词");
    int y = 408;
    if (s.wrongWords.empty()) p.text(left, y, 270, 16, "暂无错词", 11, kQuiet);
    for (const WrongWord& word : s.wrongWords) {
        Text line = word.entry;
        if (!word.commonTyped.empty())
            line += " ← " + word.commonTyped + " ×" + groupedNumber(word.commonCount);
        p.text(left, y, 218, 16, line, 11);
        p.text(left + 218, y, 54, 16, "错 " + groupedNumber(word.misses) + " 次", 11, kOverdue,
               TextAlign::Right);
        y += 16;
    }
}

void paintKinds(Painter& p, const LearningStats& s) {
    const int left = 604;
    p.heading(left, 386, 280, "拼写错误类型");
    int highest = 1;
    for (const KindTally& tally : s.kinds) highest = std::max(highest, tally.count);
    // Each kind as the word lists beside it: its name and example on one
    // line, its bar just below; an example on a line of its own sat as near
    // the next kind as its own.
    int y = 408;
    for (int k = 0; k < kMistakeKindCount; ++k) {
        const KindTally& tally = s.kinds[k];
        p.text(left, y, 84, 14, mistakeKindName(static_cast<MistakeKind>(k)), 11);
        if (tally.count > 0)
            p.text(left + 86, y, 194, 14,
                   (tally.exampleTyped.empty() ? Text("（空）") : tally.exampleTyped) + " → " +
                       tally.exampleEntry,
                   10, kQuiet);
        const int bar = tally.count * 220 / highest;
        p.fill(left, y + 15, bar, 6, kKinds);
        p.text(left + bar + 4, y + 11, 52, 14, groupedNumber(tally.count), 10, kQuiet);
        y += 25;
    }
}

}  // namespace

Text groupedNumber(long long value) {
    const Text digits = std::to_string(value < 0 ? -value : value);
    Text grouped = value < 0 ? Text("-") : Text();
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

Text percentText(int right, int total) {
    if (total <= 0) return "—";
    return std::to_string(static_cast<long long>(right) * 100 / total) + "%";
}

ShapePage statisticsPage(const LearningStats& stats, const Text& notice, bool withButtons) {
    ShapePage page;
    page.caption = "学习统计";
    page.width = kStatsPageWidth;
    page.height = kStatsPageHeight;
    Painter p{page};
    p.text(kMargin, 8, 300, 28, "学习统计", 20, kInk, TextAlign::Left, true);
    p.text(600, 8, 284, 28, calendarDayText(stats.today), 13, kQuiet, TextAlign::Right);
    paintTiles(p, stats);
    paintHeatmap(p, stats);
    paintForecast(p, stats);
    paintAccuracy(p, stats);
    paintLists(p, stats);
    paintWrongWords(p, stats);
    paintKinds(p, stats);
    p.line(kMargin, 660, kStatsPageWidth - kMargin, 660, kRule);
    if (!notice.empty()) p.text(kMargin, 668, 560, 24, notice, 12, kOverdue);
    if (withButtons) {
        page.buttons.push_back(PageButton{700, 666, 88, 26, "保存图片", kSavePicture, 'S'});
        page.buttons.push_back(PageButton{796, 666, 88, 26, "导出记录", kExportRecord, 'E'});
    }
    return page;
}
