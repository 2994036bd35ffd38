// Answers one request: a dictionary page for "/<word>", an MP3 for
// "/text2audio?...&text=<word>&spd=N".
#pragma once

#include "service/dictionary.h"
#include "service/http_server.h"
#include "service/request_line.h"

namespace service {

// Longest text handed to the speech engine, in bytes. A dictation entry is a
// word or a phrase; the bound keeps every answer quick.
constexpr size_t kMaxSpokenBytes = 200;

HttpResponse handleRequest(const Dictionary& dictionary, const RequestLine& request);

}  // namespace service
