// The blocking HTTP GET on the Windows Internet functions (wininet).
#pragma once

#include "runtime/platform.h"

namespace win32 {

// The request's deadline covers connect, redirects and body together; at
// most 5 redirects, to http or https only; a body past the request's limit
// fails the request.
HttpResponse httpGet(const HttpRequest& request);

}  // namespace win32
