// The pronunciation cache: one MP3 per word in the mp3 folder beside the
// program, fetched from the speech service the first time the word is asked.
//
// The file is downloaded under the word's own name and then renamed to the
// cache name, which has every blank turned into "_" ("ice cream.mp3" becomes
// "ice_cream.mp3"). A word is free text from a bank file, so both names are
// made safe first: characters no file name may hold (\ / : * ? " < > | and
// control bytes) become "_", and a word that is only "." or ".." becomes "_"
// or "__", and a Windows device name (CON, NUL, COM1, ...) gets a leading
// "_", so no entry can reach a file outside the mp3 folder. Only the
// word's part of the path is rewritten, never the program folder.
//
// A download that failed (no answer, an error status, an empty body) writes
// nothing, and an empty file counts as missing, so a word that once came
// back silent is fetched again the next time it is asked. A download is
// written under a temporary name beside the download name and moved there
// only once the whole body is on disk: a write cut short (a full disk) never
// leaves a truncated file that would count as cached, nor the temporary
// file itself.
#include "lookup/pronunciation_cache.h"

#include "lookup/hosts.h"
#include "lookup/http_client.h"
#include "runtime/files.h"

namespace {

bool isForbiddenInFileName(unsigned char c) {
    switch (c) {
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return true;
        default:
            return c < 0x20;
    }
}

// Windows opens a device, not a file, for CON, PRN, AUX, NUL, COM1..COM9
// and LPT1..LPT9, whatever extension follows and with trailing blanks.
bool isDeviceName(const Text& name) {
    Text base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '1' &&
           base[3] <= '9';
}

// The word as a file-name part. Scans by GBK characters so that a trail
// byte that happens to equal "\" or "|" is never touched.
Text safeWordName(const Text& word, bool blanksAsUnderscore) {
    if (word == ".") return "_";
    if (word == "..") return "__";
    Text name;
    name.reserve(word.size());
    for (std::size_t i = 0; i < word.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(word[i]);
        if (isLeadByte(c) && i + 1 < word.size()) {
            name += word[i];
            name += word[i + 1];
            ++i;
        } else if (isForbiddenInFileName(c) || (blanksAsUnderscore && c == ' ')) {
            name += '_';
        } else {
            name += word[i];
        }
    }
    if (isDeviceName(name)) name = "_" + name;
    return name;
}

Text mp3Folder() {
    return programFolder() + "\\mp3\\";
}

// An empty file in the way is a failed download of an earlier version; it
// counts as missing and gives way to the file moved in.
bool moveOverEmptyFile(const Text& from, const Text& to) {
    if (!fileHasBytes(to)) removeFile(to);
    return moveFile(from, to);
}

bool downloadSucceeded(const HttpResponse& response) {
    return response.completed && response.status >= 200 && response.status <= 299 && !response.body.empty();
}

}  // namespace

Text pronunciationUrl(const Text& word) {
    return "http://" + speechHost() + "/text2audio?lan=uk&pid=101&ie=UTF-8&text=" + word + "&spd=2";
}

Text cacheFileName(const Text& word) {
    return safeWordName(word, true);
}

Text cachePronunciation(const Text& word) {
    const Text downloadName = mp3Folder() + safeWordName(word, false) + ".mp3";
    const Text cacheName = mp3Folder() + cacheFileName(word) + ".mp3";

    if (!fileHasBytes(downloadName) && !fileHasBytes(cacheName)) {
        HttpResponse response = fetchUrlWithStatus(pronunciationUrl(word), kMaxSoundBytes);
        if (!downloadSucceeded(response) || !replaceFile(downloadName, response.body)) return cacheName;
    }

    // A file that cannot be moved stays under the download name and still
    // counts as cached.
    if (downloadName != cacheName && !fileHasBytes(cacheName)) moveOverEmptyFile(downloadName, cacheName);
    return cacheName;
}
