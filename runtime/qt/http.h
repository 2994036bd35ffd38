// The blocking HTTP GET on libcurl.
#pragma once

#include "runtime/platform.h"

namespace qtport {

// The object goes out as the request target byte for byte (blanks and GBK
// bytes included), with the given version, user agent and extra headers; no
// proxy, no cache, at most 5 redirects followed, http and https only. The
// body comes back whatever the status, and when the connection broke off
// whatever had arrived; past the deadline or the size limit, nothing.
HttpResponse httpGet(const HttpRequest& request);

}  // namespace qtport
