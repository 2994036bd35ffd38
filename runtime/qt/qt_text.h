// Conversions at the edge between the program's GBK texts and Qt's UTF-16
// strings, and from program paths to local file names.
#pragma once

#include <QString>

#include "runtime/text.h"

QString toQString(const Text& text);
Text fromQString(const QString& text);

// A program path (GBK, backslashes) as a local file name: decoded to Unicode
// first, then every backslash becomes a slash. Mapping bytes instead would
// break GBK characters whose trail byte is 0x5C.
QString localPath(const Text& programPath);

// Multi-line edit boxes hold CR LF line ends in the program; Qt's editors
// use bare LF.
QString toEditorText(const Text& text);
Text fromEditorText(const QString& text);
