#include "runtime/qt/controls.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTreeWidget>
#include <algorithm>

#include "runtime/qt/control_events.h"
#include "runtime/qt/fonts.h"
#include "runtime/qt/qt_text.h"
#include "runtime/qt/rich_text.h"
#include "runtime/qt/windows.h"

namespace qtport {

namespace {

Qt::Alignment horizontalAlignment(Align align) {
    return align == Align::Center ? Qt::AlignHCenter : Qt::AlignLeft;
}

void paintBlue(QWidget* widget) {
    QPalette palette = widget->palette();
    const QColor blue(0, 0, 255);
    palette.setColor(QPalette::WindowText, blue);
    palette.setColor(QPalette::Text, blue);
    palette.setColor(QPalette::ButtonText, blue);
    widget->setPalette(palette);
}

QWidget* createLabel(const ControlSpec& spec, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    // Static text starts at the top of its box, as it was designed.
    label->setAlignment(horizontalAlignment(spec.align) | Qt::AlignTop);
    label->setWordWrap(spec.multiLine);
    label->setText(toQString(spec.caption));
    return label;
}

QWidget* createEditBox(const ControlSpec& spec, QWidget* parent) {
    if (!spec.multiLine) {
        auto* edit = new QLineEdit(parent);
        edit->setText(toQString(spec.caption));
        return edit;
    }
    Qt::ScrollBarPolicy vertical = spec.verticalScrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (spec.align == Align::Center) {
        // Plain text only, each line centred.
        auto* edit = new QTextEdit(parent);
        edit->setAcceptRichText(false);
        QTextOption option = edit->document()->defaultTextOption();
        option.setAlignment(Qt::AlignHCenter);
        edit->document()->setDefaultTextOption(option);
        edit->setVerticalScrollBarPolicy(vertical);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setPlainText(toEditorText(spec.caption));
        return edit;
    }
    auto* edit = new QPlainTextEdit(parent);
    edit->setVerticalScrollBarPolicy(vertical);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setPlainText(toEditorText(spec.caption));
    return edit;
}

QWidget* createListView(QWidget* parent) {
    // A report view: header, rows of cells, whole-row single selection that
    // stays visible without the focus. Columns are added by the program.
    auto* list = new QTreeWidget(parent);
    list->setColumnCount(0);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSortingEnabled(false);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    list->setPalette(palette);
    return list;
}

QWidget* createProgressBar(const ControlSpec& spec, QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, std::max(spec.rangeMax, 0));
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

QWidget* createWidget(const ControlSpec& spec, QWidget* parent) {
    switch (spec.kind) {
        case ControlKind::Label:
            return createLabel(spec, parent);
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(toQString(spec.caption), parent);
            box->setChecked(spec.checked);
            return box;
        }
        case ControlKind::PushButton:
            return new QPushButton(toQString(spec.caption), parent);
        case ControlKind::EditBox:
            return createEditBox(spec, parent);
        case ControlKind::RichTextBox:
            return createRichTextBox(spec, parent);
        case ControlKind::HtmlView: {
            auto* view = new QTextBrowser(parent);
            view->setOpenLinks(false);
            return view;
        }
        case ControlKind::ListView:
            return createListView(parent);
        case ControlKind::ProgressBar:
            return createProgressBar(spec, parent);
    }
    return new QWidget(parent);
}

}  // namespace

QWidget* createControl(const ControlSpec& spec, ControlRef ref, QWidget* parent) {
    QWidget* widget = createWidget(spec, parent);
    widget->setObjectName(toQString(spec.name));
    widget->setGeometry(spec.left, spec.top, spec.width, spec.height);
    if (spec.fontPixelHeight > 0) widget->setFont(cjkFont(spec.fontPixelHeight));
    if (spec.blueText) paintBlue(widget);
    bool focusable = spec.focusable && spec.kind != ControlKind::Label;
    widget->setFocusPolicy(focusable ? Qt::StrongFocus : Qt::NoFocus);
    widget->setEnabled(spec.enabled);
    widget->setVisible(spec.visible);
    wireControlEvents(widget, spec, ref);
    return widget;
}

Text controlText(ControlRef control) {
    QWidget* widget = controlWidget(control);
    const ControlSpec* spec = controlSpec(control);
    if (widget == nullptr || spec == nullptr) return Text();
    if (auto* label = qobject_cast<QLabel*>(widget)) return fromQString(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return fromQString(button->text());
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return fromQString(line->text());
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) return fromEditorText(plain->toPlainText());
    if (spec->kind == ControlKind::HtmlView) return Text();
    if (auto* edit = qobject_cast<QTextEdit*>(widget)) return fromEditorText(edit->toPlainText());
    return Text();
}

void setControlText(ControlRef control, const Text& text) {
    QWidget* widget = controlWidget(control);
    const ControlSpec* spec = controlSpec(control);
    if (widget == nullptr || spec == nullptr) return;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(toQString(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(toQString(text));
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setText(toQString(text));
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        plain->setPlainText(toEditorText(text));
    } else if (spec->kind == ControlKind::RichTextBox) {
        setRichTextPlain(widget, toEditorText(text));
    } else if (spec->kind == ControlKind::EditBox) {
        auto* edit = static_cast<QTextEdit*>(widget);
        edit->setPlainText(toEditorText(text));
        edit->moveCursor(QTextCursor::End);
    }
}

bool isChecked(ControlRef control) {
    auto* button = qobject_cast<QAbstractButton*>(controlWidget(control));
    return button != nullptr && button->isChecked();
}

void setVisible(ControlRef control, bool visible) {
    if (QWidget* widget = controlWidget(control)) widget->setVisible(visible);
}

void setEnabled(ControlRef control, bool enabled) {
    if (QWidget* widget = controlWidget(control)) widget->setEnabled(enabled);
}

Rect controlRect(ControlRef control) {
    QWidget* widget = controlWidget(control);
    if (widget == nullptr) return Rect();
    QRect geometry = widget->geometry();
    return Rect{geometry.x(), geometry.y(), geometry.width(), geometry.height()};
}

void setControlRect(ControlRef control, const Rect& rect) {
    if (QWidget* widget = controlWidget(control))
        widget->setGeometry(rect.left, rect.top, rect.width, rect.height);
}

void setProgress(ControlRef bar, int position) {
    auto* progress = qobject_cast<QProgressBar*>(controlWidget(bar));
    if (progress == nullptr) return;
    progress->setValue(std::clamp(position, progress->minimum(), progress->maximum()));
}

}  // namespace qtport
