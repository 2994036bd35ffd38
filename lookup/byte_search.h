#pragma once

#include "runtime/bytes.h"

// 1-based position of the first occurrence at or after start, or -1.
int findBytes(const Bytes& haystack, const Bytes& needle, int start = 1);
// The piece from the 1-based start, at most length bytes.
Bytes midBytes(const Bytes& data, int start, int length);
