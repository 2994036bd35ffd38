#include "service/service_routes.h"

#include "service/dictionary_page.h"
#include "service/mp3_encoder.h"
#include "service/speech_engine.h"
#include "service/text_encoding.h"
#include "service/word_lookup.h"
#include "service/word_target.h"

namespace service {

namespace {

const char kHtml[] = "text/html; charset=utf-8";

HttpResponse pageResponse(const Dictionary& dictionary, const std::string& word) {
    if (word.empty()) return {404, kHtml, renderNoWordPage()};
    const WordPage page = lookupWord(dictionary, word);
    return {200, kHtml, renderDictionaryPage(word, page.phonetic, page.meanings)};
}

HttpResponse speechResponse(const WordRequest& request) {
    const Speech speech = synthesizeSpeech(clipUtf8(request.word, kMaxSpokenBytes), request.language,
                                           wordsPerMinute(request.speed));
    std::string mp3 = encodeMp3(speech.samples, speech.sampleRate);
    if (mp3.empty()) return {500, "text/plain; charset=utf-8", "cannot encode MP3\n"};
    return {200, "audio/mpeg", std::move(mp3)};
}

}  // namespace

HttpResponse handleRequest(const Dictionary& dictionary, const RequestLine& request) {
    const WordRequest word = parseWordTarget(request.target);
    if (word.route == Route::Speech) return speechResponse(word);
    return pageResponse(dictionary, word.word);
}

}  // namespace service
