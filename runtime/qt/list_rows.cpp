#include "runtime/qt/list_rows.h"

#include <QIcon>
#include <QTreeView>

#include "runtime/qt/qt_text.h"
#include "runtime/qt/row_marks.h"
#include "runtime/qt/windows.h"

namespace qtport {

int ListRows::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListRows::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant ListRows::data(const QModelIndex& index, int role) const {
    const ListRow* shown = row(index.row());
    if (shown == nullptr || index.column() != 0) return QVariant();
    switch (role) {
        case Qt::DisplayRole:
            return toQString(shown->text);
        case Qt::DecorationRole:
            if (shown->mark == RowMark::None) return QVariant();
            return rowMarkIcon(shown->mark);
        case Qt::ToolTipRole:
            if (shown->tip.isEmpty()) return QVariant();
            return shown->tip;
        default:
            return QVariant();
    }
}

QVariant ListRows::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= titles_.size()) {
        return QVariant();
    }
    return titles_[section];
}

int ListRows::appendColumn(const QString& title) {
    const int column = static_cast<int>(titles_.size());
    beginInsertColumns(QModelIndex(), column, column);
    titles_.append(title);
    endInsertColumns();
    return column;
}

int ListRows::appendRow(const Text& text) {
    const int at = static_cast<int>(rows_.size());
    beginInsertRows(QModelIndex(), at, at);
    rows_.push_back(ListRow{text, RowMark::None, QString()});
    endInsertRows();
    return at;
}

bool ListRows::dropRow(int at) {
    if (row(at) == nullptr) return false;
    beginRemoveRows(QModelIndex(), at, at);
    rows_.erase(rows_.begin() + at);
    endRemoveRows();
    return true;
}

const ListRow* ListRows::row(int at) const {
    if (at < 0 || at >= static_cast<int>(rows_.size())) return nullptr;
    return &rows_[static_cast<std::size_t>(at)];
}

void ListRows::setMark(int at, RowMark mark, const QString& tip) {
    if (row(at) == nullptr) return;
    ListRow& changed = rows_[static_cast<std::size_t>(at)];
    if (changed.mark == mark && changed.tip == tip) return;
    changed.mark = mark;
    changed.tip = tip;
    const QModelIndex cell = index(at, 0);
    emit dataChanged(cell, cell, {Qt::DecorationRole, Qt::ToolTipRole});
}

ListRows* listRowsOf(ControlRef list) {
    auto* view = qobject_cast<QTreeView*>(controlWidget(list));
    return view == nullptr ? nullptr : dynamic_cast<ListRows*>(view->model());
}

}  // namespace qtport
