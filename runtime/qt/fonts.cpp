#include "runtime/qt/fonts.h"

#include <QApplication>

namespace {

QStringList cjkFamilies() {
    return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
            QStringLiteral("Noto Sans CJK"), QStringLiteral("Droid Sans Fallback")};
}

}  // namespace

QFont defaultGuiFont() {
    QFont font = QApplication::font();
    QStringList families{font.family()};
    families += cjkFamilies();
    font.setFamilies(families);
    font.setPixelSize(12);
    return font;
}

QFont cjkFont(int pixelHeight) {
    QFont font = QApplication::font();
    font.setFamilies(cjkFamilies());
    font.setPixelSize(pixelHeight);
    font.setWeight(QFont::Normal);
    return font;
}

QStringList familiesWithFallback(const QString& family) {
    QStringList families;
    if (!family.isEmpty()) families << family;
    // The serif Song face first, as the closest match for 宋体.
    families << QStringLiteral("SimSun") << QStringLiteral("Noto Serif CJK SC") << cjkFamilies();
    return families;
}
