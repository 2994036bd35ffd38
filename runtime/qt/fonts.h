// Fonts for the two windows. The layouts were designed around the Windows
// GUI font (12 pixels) and the GB2312 default face; here the desktop's own
// face keeps the Latin text and a Simplified Chinese face fills in Chinese.
#pragma once

#include <QFont>
#include <QStringList>

// The windows' default font: 12 pixels, desktop face, Chinese from a CJK face.
QFont defaultGuiFont();
// The large labels and the answer box: a CJK face at the given pixel height.
QFont cjkFont(int pixelHeight);
// A face name asked for by the program, followed by installed CJK faces that
// can stand in for it (SimSun and friends are rarely present on Linux).
QStringList familiesWithFallback(const QString& family);
