// The window that shows a page of shapes (the statistics), and pictures of
// such a page, painted with QPainter.
#pragma once

#include <QPainter>

#include "runtime/bytes.h"
#include "runtime/shape_page.h"

namespace qtport {

// Paints the page's shapes at scale (pixels per 96-DPI unit).
void paintPage(QPainter& painter, const ShapePage& page, double scale);
// Opens the window on the bank window's screen, the page drawn at scale.
void showPageWindow(const ShapePage& page, double scale);
// The page at the primary screen's DPI as PNG bytes; empty on failure.
Bytes pagePicture(const ShapePage& page);

}  // namespace qtport
