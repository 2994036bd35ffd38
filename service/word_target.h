// What a request target asks for: a dictionary page or a spoken word.
#pragma once

#include <string>

namespace service {

enum class Route { Page, Speech };

struct WordRequest {
    Route route = Route::Page;
    std::string word;      // UTF-8, control characters blanked, trimmed
    int speed = 5;         // 0..9, for speech
    std::string language;  // the "lan" value, for speech; at most 8 letters
};

// "/text2audio?...&text=WORD&spd=N" asks for speech; any other target is a
// word to look up, all of it after the "/" (a "?" in the word stays). The
// text value runs to the last "&spd=", so a word may hold "&" or blanks.
// %-escapes are decoded; bytes that are not UTF-8 are read as GBK. The
// "lan" field counts only before the text.
WordRequest parseWordTarget(const std::string& target);

// Words-per-minute for a speed of 0..9; 5 is espeak-ng's normal 175.
int wordsPerMinute(int speed);

}  // namespace service
