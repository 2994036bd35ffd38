// The rich-text box: a default character format, plain text, and Unicode
// text put in at the caret (the phonetic symbols GBK cannot hold).
#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "runtime/platform.h"

namespace qtport {

QWidget* createRichTextBox(const ControlSpec& spec, QWidget* parent);
void setRichTextPlain(QWidget* box, const QString& text);
void setRichTextDefaultFormat(ControlRef box, const CharFormat& format);
void insertRichTextUnicode(ControlRef box, const std::u16string& text);

}  // namespace qtport
