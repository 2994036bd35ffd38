#include "web_services.h"

#include "runtime/codepage.h"

namespace {

Bytes queryValue(const Text& object, const Text& key) {
    std::size_t at = object.find(key + "=");
    if (at == Text::npos) return Bytes();
    at += key.size() + 1;
    std::size_t end = object.find('&', at);
    return object.substr(at, end == Text::npos ? Text::npos : end - at);
}

}  // namespace

Bytes dictionaryPage(const Text& word) {
    // The literals below are GBK (the program's code page); the site speaks UTF-8.
    return gbkToUtf8("<html><body><div class=\"phonetic\"><span>英 [" + word +
                     "]</span></div><ul class=\"\">" + meaningHtmlOf(word) + "</ul></body></html>");
}

Text meaningHtmlOf(const Text& word) {
    return "<li>n. " + word + "的意思</li>";
}

Bytes pronunciationMp3(const Text& word) {
    return Bytes("ID3\x03\x00\x00\x00\x00\x00\x00", 10) + word;
}

void serveWords(FakePlatform& fake) {
    fake.httpResponder = [](const HttpRequest& request) {
        HttpResponse response;
        response.completed = true;
        response.status = 200;
        if (request.object.rfind("/text2audio", 0) == 0)
            response.body = pronunciationMp3(queryValue(request.object, "text"));
        else
            response.body = dictionaryPage(request.object.substr(1));
        return response;
    };
}
