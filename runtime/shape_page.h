// A page as a list of simple shapes in 96-DPI units, painted the same way by
// every backend (and checked by the tests without one).
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/text.h"

enum class ShapeKind { Fill, Line, Label };
enum class TextAlign { Left, Centre, Right };

struct Shape {
    ShapeKind kind = ShapeKind::Fill;
    // Fill: the rectangle. Line: from (x, y) to (x + width, y + height).
    // Label: the box the text is placed in, vertically centred, clipped.
    int x = 0, y = 0, width = 0, height = 0;
    std::uint32_t colour = 0;  // 0xRRGGBB
    Text text;                 // Label: GBK
    int pixelHeight = 12;      // Label: the font's character height
    bool bold = false;
    TextAlign align = TextAlign::Left;
};

// A push button the window puts on the page; pictures of the page leave it out.
struct PageButton {
    int x = 0, y = 0, width = 0, height = 0;
    Text caption;
    int command = 0;
    char shortcut = 0;  // with Ctrl, the same as a click: 'S' for Ctrl+S
};

struct ShapePage {
    Text caption;
    int width = 0, height = 0;
    std::uint32_t background = 0xFFFFFF;
    std::vector<Shape> shapes;
    std::vector<PageButton> buttons;
};
