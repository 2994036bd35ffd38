// The pictures of the bank list's row marks, drawn once in code so that both
// builds show the same three icons at any size: an empty grey ring (never
// practised), a blue ring filled on its left half (practised), a green disc
// with a white tick (mastered).
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/platform.h"

// size x size pixels, row by row from the top, each 0xAARRGGBB with straight
// (not premultiplied) alpha; anti-aliased edges. RowMark::None and a size
// below 1 give no pixels.
std::vector<std::uint32_t> rowMarkPixels(RowMark mark, int size);
