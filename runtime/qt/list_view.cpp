#include "runtime/qt/list_view.h"

#include <QTreeWidget>

#include "runtime/qt/qt_text.h"
#include "runtime/qt/windows.h"

namespace qtport {

namespace {

QTreeWidget* treeOf(ControlRef list) {
    return qobject_cast<QTreeWidget*>(controlWidget(list));
}

}  // namespace

int insertColumn(ControlRef list, const Text& title, int width) {
    QTreeWidget* tree = treeOf(list);
    if (tree == nullptr) return -1;
    int column = tree->columnCount();
    tree->setColumnCount(column + 1);
    tree->headerItem()->setText(column, toQString(title));
    tree->setColumnWidth(column, width < 0 ? 50 : width);
    return column;
}

void setColumnWidth(ControlRef list, int column, int width) {
    QTreeWidget* tree = treeOf(list);
    if (tree == nullptr || column < 0 || column >= tree->columnCount()) return;
    tree->setColumnWidth(column, width);
}

int insertRow(ControlRef list, const Text& text) {
    QTreeWidget* tree = treeOf(list);
    if (tree == nullptr) return -1;
    auto* item = new QTreeWidgetItem();
    item->setText(0, toQString(text));
    tree->addTopLevelItem(item);
    // Appended: the last row. Looking the item up would walk the whole list
    // for every bank listed.
    return tree->topLevelItemCount() - 1;
}

Text cellText(ControlRef list, int row, int column) {
    QTreeWidget* tree = treeOf(list);
    if (tree == nullptr || row < 0 || row >= tree->topLevelItemCount() || column < 0) return Text();
    return fromQString(tree->topLevelItem(row)->text(column));
}

void deleteRow(ControlRef list, int row) {
    QTreeWidget* tree = treeOf(list);
    if (tree == nullptr || row < 0 || row >= tree->topLevelItemCount()) return;
    delete tree->takeTopLevelItem(row);
}

int selectedRow(ControlRef list) {
    QTreeWidget* tree = treeOf(list);
    if (tree == nullptr) return -1;
    int first = -1;
    for (QTreeWidgetItem* item : tree->selectedItems()) {
        int row = tree->indexOfTopLevelItem(item);
        if (row >= 0 && (first < 0 || row < first)) first = row;
    }
    return first;
}

}  // namespace qtport
