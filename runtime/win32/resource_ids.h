// Resource identifiers shared by the program's code and its resource script
// (packaging/windows/vorbelzoz.rc), which the resource compiler preprocesses
// as C: macros only.
#pragma once

#define VORBELZOZ_ICON_ID 1
