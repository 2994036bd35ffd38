#include "runtime/qt/rich_text.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

#include "runtime/qt/fonts.h"
#include "runtime/qt/qt_text.h"
#include "runtime/qt/windows.h"

namespace qtport {

namespace {

// The box's default character format lives on the widget, so it dies with it.
const char* const kFormatProperty = "vorbelzozDefaultFormat";

QTextEdit* richTextOf(ControlRef box) {
    const ControlSpec* spec = controlSpec(box);
    if (spec == nullptr || spec->kind != ControlKind::RichTextBox) return nullptr;
    return qobject_cast<QTextEdit*>(controlWidget(box));
}

QTextCharFormat toTextFormat(const CharFormat& format, const QFont& base) {
    QFont font = base;
    font.setFamilies(familiesWithFallback(toQString(format.faceName)));
    if (format.size > 0) font.setPointSize(format.size);
    font.setBold((format.effects & 1) != 0);
    font.setItalic((format.effects & 2) != 0);
    font.setUnderline((format.effects & 4) != 0);
    font.setStrikeOut((format.effects & 8) != 0);

    QTextCharFormat textFormat;
    textFormat.setFont(font, QTextCharFormat::FontPropertiesAll);
    if (format.colour == 0xFF000000u) {
        textFormat.clearForeground();  // the automatic text colour
    } else {
        textFormat.setForeground(QColor(static_cast<int>(format.colour & 0xFF),
                                        static_cast<int>((format.colour >> 8) & 0xFF),
                                        static_cast<int>((format.colour >> 16) & 0xFF)));
    }
    if (format.offset > 0) textFormat.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    if (format.offset < 0) textFormat.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return textFormat;
}

bool storedFormat(QTextEdit* edit, QTextCharFormat& format) {
    QVariant value = edit->property(kFormatProperty);
    if (!value.isValid()) return false;
    format = value.value<QTextFormat>().toCharFormat();
    return true;
}

void applyToWholeText(QTextEdit* edit, const QTextCharFormat& format) {
    QTextCursor all(edit->document());
    all.select(QTextCursor::Document);
    all.setCharFormat(format);
}

}  // namespace

QWidget* createRichTextBox(const ControlSpec& spec, QWidget* parent) {
    auto* edit = new QTextEdit(parent);
    edit->setAcceptRichText(false);  // the learner pastes plain text only
    edit->setLineWrapMode(spec.multiLine ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    edit->setPlainText(toEditorText(spec.caption));
    return edit;
}

void setRichTextPlain(QWidget* box, const QString& text) {
    auto* edit = qobject_cast<QTextEdit*>(box);
    if (edit == nullptr) return;
    edit->setPlainText(text);
    QTextCharFormat format;
    if (storedFormat(edit, format)) {
        applyToWholeText(edit, format);
        edit->setCurrentCharFormat(format);
    }
    edit->moveCursor(QTextCursor::End);
}

void setRichTextDefaultFormat(ControlRef box, const CharFormat& format) {
    QTextEdit* edit = richTextOf(box);
    if (edit == nullptr) return;
    QTextCharFormat textFormat = toTextFormat(format, edit->font());
    edit->setProperty(kFormatProperty, QVariant::fromValue(QTextFormat(textFormat)));
    edit->document()->setDefaultFont(textFormat.font());
    // Text in the default format takes the new one, as the caret does.
    applyToWholeText(edit, textFormat);
    edit->setCurrentCharFormat(textFormat);
}

void insertRichTextUnicode(ControlRef box, const std::u16string& text) {
    QTextEdit* edit = richTextOf(box);
    if (edit == nullptr) return;
    QTextCursor caret = edit->textCursor();
    QString inserted = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    QTextCharFormat format;
    if (storedFormat(edit, format)) {
        caret.insertText(inserted, format);
    } else {
        caret.insertText(inserted);
    }
    edit->setTextCursor(caret);
}

}  // namespace qtport
