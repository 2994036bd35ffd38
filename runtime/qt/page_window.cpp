#include "runtime/qt/page_window.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWidget>
#include <algorithm>

#include "runtime/qt/fonts.h"
#include "runtime/qt/qt_text.h"
#include "runtime/qt/windows.h"
#include "stats/statistics_window.h"

namespace qtport {

namespace {

QColor colourOf(std::uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

class PageCanvas : public QWidget {
public:
    using QWidget::QWidget;
    ShapePage page;
    double scale = 1.0;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), colourOf(page.background));
        paintPage(painter, page, scale);
    }
};

// Whatever a handler throws ends here, never in Qt's event loop.
void runCommand(int command) {
    try {
        onStatisticsCommand(command);
    } catch (...) {
    }
}

QPointer<PageCanvas> openWindow;

// A length of the page in the window's pixels; rounded down, so that the
// window never outgrows the room the scale was chosen for.
int scaled(int units, double scale) {
    return static_cast<int>(units * scale);
}

void addButtons(PageCanvas* canvas) {
    const double scale = canvas->scale;
    QFont font = defaultGuiFont();
    if (scale < 1.0) font.setPixelSize(std::max(1, scaled(font.pixelSize(), scale)));
    for (const PageButton& button : canvas->page.buttons) {
        auto* push = new QPushButton(toQString(button.caption), canvas);
        push->setGeometry(scaled(button.x, scale), scaled(button.y, scale), scaled(button.width, scale),
                          scaled(button.height, scale));
        push->setFont(font);
        push->setFocusPolicy(Qt::TabFocus);
        const int command = button.command;
        QObject::connect(push, &QPushButton::clicked, canvas, [command] { runCommand(command); });
        if (button.shortcut != 0) {
            auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(button.shortcut)), canvas);
            QObject::connect(shortcut, &QShortcut::activated, canvas, [command] { runCommand(command); });
        }
    }
}

}  // namespace

void paintPage(QPainter& painter, const ShapePage& page, double scale) {
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    for (const Shape& shape : page.shapes) {
        const QRect box(shape.x, shape.y, shape.width, shape.height);
        switch (shape.kind) {
            case ShapeKind::Fill:
                painter.fillRect(box, colourOf(shape.colour));
                break;
            case ShapeKind::Line:
                painter.setPen(QPen(colourOf(shape.colour), 1));
                painter.drawLine(shape.x, shape.y, shape.x + shape.width, shape.y + shape.height);
                break;
            case ShapeKind::Label: {
                QFont font = defaultGuiFont();
                font.setPixelSize(shape.pixelHeight);
                font.setBold(shape.bold);
                painter.setFont(font);
                painter.setPen(colourOf(shape.colour));
                const int align = shape.align == TextAlign::Centre  ? Qt::AlignHCenter
                                  : shape.align == TextAlign::Right ? Qt::AlignRight
                                                                    : Qt::AlignLeft;
                painter.save();
                painter.setClipRect(box);
                painter.drawText(box, align | Qt::AlignVCenter | Qt::TextSingleLine, toQString(shape.text));
                painter.restore();
                break;
            }
        }
    }
    painter.restore();
}

void showPageWindow(const ShapePage& page, double scale) {
    if (PageCanvas* canvas = openWindow.data()) {
        // Open already: the new page, the same buttons, brought to the front.
        canvas->page.shapes = page.shapes;
        canvas->setWindowTitle(toQString(page.caption));
        canvas->update();
        canvas->raise();
        canvas->activateWindow();
        return;
    }
    // Owned by the modal bank window when it is open, so that the modal
    // window does not block it.
    auto* canvas = new PageCanvas(windowFrame(WindowId::Bank),
                                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    canvas->setAttribute(Qt::WA_DeleteOnClose);
    canvas->page = page;
    canvas->scale = scale;
    canvas->setWindowTitle(toQString(page.caption));
    canvas->setFont(defaultGuiFont());
    const QSize size(scaled(page.width, scale), scaled(page.height, scale));
    canvas->setFixedSize(size);
    addButtons(canvas);
    openWindow = canvas;
    // Centred in the work area the scale was chosen for: the bank window's
    // screen, less its panels.
    QWidget* bank = windowFrame(WindowId::Bank);
    QScreen* screen =
        bank != nullptr && bank->screen() != nullptr ? bank->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        const QSize outer = size + QSize(kFrameWidth, kFrameHeight);
        canvas->move(area.x() + std::max(0, (area.width() - outer.width()) / 2),
                     area.y() + std::max(0, (area.height() - outer.height()) / 2));
    }
    canvas->show();
    canvas->raise();
    canvas->activateWindow();
}

Bytes pagePicture(const ShapePage& page) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const double scale = screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
    QImage image(qRound(page.width * scale), qRound(page.height * scale), QImage::Format_RGB32);
    if (image.isNull()) return Bytes();
    image.fill(colourOf(page.background));
    {
        QPainter painter(&image);
        paintPage(painter, page, scale);
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return Bytes();
    return Bytes(png.constData(), static_cast<std::size_t>(png.size()));
}

}  // namespace qtport
