// How the running program names itself to the desktop: the window icon of
// every window and the menu entry (vorbelzoz.desktop) its windows belong to.
#pragma once

void applyAppIdentity();
