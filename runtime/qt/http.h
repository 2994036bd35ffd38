// The blocking HTTP GET on libcurl.
#pragma once

#include "runtime/platform.h"

namespace qtport {

// The object goes out as the request target byte for byte (blanks and GBK
// bytes included), with the given version, user agent and extra headers; no
// proxy, no cache, redirects followed. The body comes back whatever the
// status, and on failure whatever had arrived.
HttpResponse httpGet(const HttpRequest& request);

}  // namespace qtport
