// Texts: GBK byte strings (code page 936). Positions are 1-based byte
// offsets; -1 means "not found". A byte of 0x80 or more starts a two-byte
// character, so scans step over the trail byte as a unit.
#pragma once

#include <string>
#include <vector>

using Text = std::string;
using TextArray = std::vector<Text>;

inline bool isLeadByte(unsigned char c) {
    return c >= 0x80;
}

Text leftText(const Text& text, int n);
int findText(const Text& text, const Text& needle, int start = 1, bool ignoreCase = false);
Text replaceText(const Text& text, const Text& find, const Text& replacement = Text(), int start = 1,
                 int count = -1, bool caseSensitive = true);
TextArray splitText(const Text& text, const Text& separator = ",", int maxPieces = -1);
Text spaces(int n);
Text toText(int value);
Text toText(long long value);
Text toText(double value);
std::string textToBytes(const Text& text);
