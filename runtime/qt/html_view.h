// The HTML view: a blank page, and a body whose HTML can be replaced.
#pragma once

#include "runtime/platform.h"

namespace qtport {

void navigateHtml(ControlRef view, const Text& address);
// False when the view has no page yet (nothing was navigated to).
bool setHtmlBody(ControlRef view, const Text& html);

}  // namespace qtport
