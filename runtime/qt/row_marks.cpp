#include "runtime/qt/row_marks.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTreeView>
#include <array>

#include "runtime/qt/list_rows.h"
#include "runtime/qt/qt_text.h"
#include "runtime/qt/windows.h"
#include "runtime/row_mark_pixels.h"

namespace qtport {

namespace {

QPixmap pixmapOf(RowMark mark, int size) {
    std::vector<std::uint32_t> pixels = rowMarkPixels(mark, size);
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        std::copy_n(pixels.data() + static_cast<std::size_t>(y) * size, size,
                    reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    }
    return QPixmap::fromImage(image);
}

}  // namespace

// Drawn once per run; sharp on ordinary and on doubled-density screens. The
// selected row shows the same picture: the style's tint for selected icons
// would wash it into the highlight.
const QIcon& rowMarkIcon(RowMark mark) {
    static std::array<QIcon, 4> icons;
    QIcon& icon = icons[static_cast<std::size_t>(mark)];
    if (icon.isNull()) {
        for (int size : {16, 32}) {
            QPixmap pixmap = pixmapOf(mark, size);
            icon.addPixmap(pixmap, QIcon::Normal);
            icon.addPixmap(pixmap, QIcon::Selected);
        }
    }
    return icon;
}

void setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip) {
    ListRows* rows = listRowsOf(list);
    if (rows == nullptr) return;
    const int kind = static_cast<int>(mark);
    rows->setMark(row, kind < 1 || kind > 3 ? RowMark::None : mark, toQString(tooltip));
}

void showRow(ControlRef list, int row) {
    auto* view = qobject_cast<QTreeView*>(controlWidget(list));
    ListRows* rows = listRowsOf(list);
    if (view == nullptr || rows == nullptr || rows->row(row) == nullptr) return;
    const QModelIndex cell = rows->index(row, 0);
    view->setCurrentIndex(cell);
    view->scrollTo(cell);
}

}  // namespace qtport
