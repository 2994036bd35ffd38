// Byte strings: counted byte sequences that may hold zero bytes.
#pragma once

#include <cstddef>
#include <string>

#include "runtime/text.h"

using Bytes = std::string;

int byteLength(const Bytes& data);
Bytes leftBytes(const Bytes& data, int n);
Bytes rightBytes(const Bytes& data, int n);
Bytes replaceBytes(const Bytes& data, const Bytes& find, const Bytes& replacement = Bytes(), int start = 1,
                   int count = -1);
Bytes zeroBytes(int n);
Text bytesToText(const Bytes& data);
Bytes bytesFromMemory(const void* address, int n);
