#include "runtime/qt/list_view.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>

#include "runtime/qt/list_rows.h"
#include "runtime/qt/qt_text.h"
#include "runtime/qt/windows.h"

namespace qtport {

namespace {

QTreeView* viewOf(ControlRef list) {
    return qobject_cast<QTreeView*>(controlWidget(list));
}

}  // namespace

int insertColumn(ControlRef list, const Text& title, int width) {
    QTreeView* view = viewOf(list);
    ListRows* rows = listRowsOf(list);
    if (view == nullptr || rows == nullptr) return -1;
    int column = rows->appendColumn(toQString(title));
    view->setColumnWidth(column, width < 0 ? 50 : width);
    return column;
}

void setColumnWidth(ControlRef list, int column, int width) {
    QTreeView* view = viewOf(list);
    if (view == nullptr || column < 0 || column >= view->model()->columnCount()) return;
    view->setColumnWidth(column, width);
}

int insertRow(ControlRef list, const Text& text) {
    ListRows* rows = listRowsOf(list);
    return rows == nullptr ? -1 : rows->appendRow(text);
}

Text cellText(ControlRef list, int row, int column) {
    ListRows* rows = listRowsOf(list);
    const ListRow* found = rows == nullptr ? nullptr : rows->row(row);
    if (found == nullptr || column < 0) return Text();
    return column == 0 ? found->text : Text();
}

void deleteRow(ControlRef list, int row) {
    if (ListRows* rows = listRowsOf(list)) rows->dropRow(row);
}

int selectedRow(ControlRef list) {
    QTreeView* view = viewOf(list);
    if (view == nullptr || view->selectionModel() == nullptr) return -1;
    int first = -1;
    for (const QModelIndex& cell : view->selectionModel()->selectedIndexes()) {
        if (first < 0 || cell.row() < first) first = cell.row();
    }
    return first;
}

}  // namespace qtport
