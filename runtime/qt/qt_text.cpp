#include "runtime/qt/qt_text.h"

#include "runtime/codepage.h"

QString toQString(const Text& text) {
    std::u16string wide = gbkToUtf16(text);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

Text fromQString(const QString& text) {
    std::u16string wide(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<std::size_t>(text.size()));
    return utf16ToGbk(wide);
}

QString localPath(const Text& programPath) {
    QString path = toQString(programPath);
    path.replace(u'\\', u'/');
    return path;
}

QString toEditorText(const Text& text) {
    QString converted = toQString(text);
    converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return converted;
}

Text fromEditorText(const QString& text) {
    QString converted = text;
    converted.replace(u'\n', QStringLiteral("\r\n"));
    return fromQString(converted);
}
