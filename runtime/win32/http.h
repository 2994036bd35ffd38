// The blocking HTTP GET on the Windows Internet functions (wininet).
#pragma once

#include "runtime/platform.h"

namespace win32 {

HttpResponse httpGet(const HttpRequest& request);

}  // namespace win32
