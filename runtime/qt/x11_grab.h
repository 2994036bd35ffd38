// Keys grabbed on the X11 root window: they reach this program whichever
// window has the focus, and no other program receives them meanwhile.
#pragma once

namespace qtport {

bool x11Available();  // the program runs on an X11 display
// Grabs the key (modifiers 1 Ctrl, 2 Shift, 4 Alt) with and without Num Lock
// and Caps Lock; each press then calls pressed(id) on the GUI thread.
// False when another program holds the plain key or it has no key code.
bool grabKeyOnX11(int id, int modifiers, int virtualKey, void (*pressed)(int id));

}  // namespace qtport
