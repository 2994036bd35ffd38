// The list views' rows, kept by the program and handed to the view only when
// it draws or is asked about a row: the text, the mark's icon and the tip.
// Filling a list is then appending to a vector; no item objects, and no
// icon or tip is built for a row that is never shown.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <vector>

#include "runtime/platform.h"

namespace qtport {

struct ListRow {
    Text text;  // column 0; the other columns hold no text
    RowMark mark = RowMark::None;
    QString tip;
};

class ListRows : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int appendColumn(const QString& title);
    int appendRow(const Text& text);
    bool dropRow(int row);
    const ListRow* row(int row) const;
    void setMark(int row, RowMark mark, const QString& tip);

private:
    QStringList titles_;
    std::vector<ListRow> rows_;
};

// The rows behind a list view control, else nullptr.
ListRows* listRowsOf(ControlRef list);

}  // namespace qtport
