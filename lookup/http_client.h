// The program's one HTTP client: a blocking GET returning the body.
#pragma once

#include <cstdint>

#include "runtime/bytes.h"
#include "runtime/platform.h"

extern const char* const kUserAgent;

// The largest body taken from each service; a longer one fails the request.
constexpr std::int64_t kMaxPageBytes = 8 * 1024 * 1024;    // a dictionary page
constexpr std::int64_t kMaxSoundBytes = 32 * 1024 * 1024;  // a pronunciation MP3

// Splits a URL (after the "#" cut) into the request; false when it cannot.
bool buildHttpRequest(const Text& url, HttpRequest& request);
HttpResponse fetchUrlWithStatus(const Text& url, std::int64_t maxBodyBytes = kMaxPageBytes);
Bytes fetchUrl(const Text& url, std::int64_t maxBodyBytes = kMaxPageBytes);
