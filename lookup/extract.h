#pragma once

#include "runtime/text.h"

// Group 1 of left + "(.*?)" + right: Perl syntax, case-insensitive, "."
// matching line breaks, bytes as characters. Empty on no match or a bad
// pattern.
Text extractBetween(const Text& text, const Text& left, const Text& right);
