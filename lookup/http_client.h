// The program's one HTTP client: a blocking GET returning the body.
#pragma once

#include "runtime/bytes.h"
#include "runtime/platform.h"

extern const char* const kUserAgent;

// Splits a URL (after the "#" cut) into the request; false when it cannot.
bool buildHttpRequest(const Text& url, HttpRequest& request);
HttpResponse fetchUrlWithStatus(const Text& url);
Bytes fetchUrl(const Text& url);
