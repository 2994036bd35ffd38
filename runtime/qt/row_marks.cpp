#include "runtime/qt/row_marks.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTreeWidget>
#include <array>

#include "runtime/qt/qt_text.h"
#include "runtime/qt/windows.h"
#include "runtime/row_mark_pixels.h"

namespace qtport {

namespace {

QTreeWidgetItem* rowItem(ControlRef list, int row) {
    auto* tree = qobject_cast<QTreeWidget*>(controlWidget(list));
    if (tree == nullptr || row < 0 || row >= tree->topLevelItemCount()) return nullptr;
    return tree->topLevelItem(row);
}

QPixmap pixmapOf(RowMark mark, int size) {
    std::vector<std::uint32_t> pixels = rowMarkPixels(mark, size);
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        std::copy_n(pixels.data() + static_cast<std::size_t>(y) * size, size,
                    reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    }
    return QPixmap::fromImage(image);
}

// Drawn once per run; sharp on ordinary and on doubled-density screens. The
// selected row shows the same picture: the style's tint for selected icons
// would wash it into the highlight.
const QIcon& iconOf(RowMark mark) {
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

}  // namespace

void setRowMark(ControlRef list, int row, RowMark mark, const Text& tooltip) {
    QTreeWidgetItem* item = rowItem(list, row);
    if (item == nullptr) return;
    const int kind = static_cast<int>(mark);
    if (kind < 1 || kind > 3) {
        item->setData(0, Qt::DecorationRole, QVariant());
    } else {
        item->setIcon(0, iconOf(mark));
    }
    item->setToolTip(0, toQString(tooltip));
}

void showRow(ControlRef list, int row) {
    QTreeWidgetItem* item = rowItem(list, row);
    if (item == nullptr) return;
    QTreeWidget* tree = item->treeWidget();
    tree->setCurrentItem(item);
    tree->scrollToItem(item);
}

}  // namespace qtport
