// The pronunciation player: media command strings.
#pragma once

#include "runtime/text.h"

void setMediaType(const Text& kind);
int openMedia(const Text& timeFormat);
int playMedia(const Text& path);
int stopMedia(int mode);  // 1: stop and close; else pause
