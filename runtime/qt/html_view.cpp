#include "runtime/qt/html_view.h"

#include <QTextBrowser>

#include "runtime/qt/qt_text.h"
#include "runtime/qt/windows.h"

namespace qtport {

namespace {

const char* const kHasPageProperty = "vorbelzozHasPage";

QTextBrowser* browserOf(ControlRef view) {
    return qobject_cast<QTextBrowser*>(controlWidget(view));
}

}  // namespace

void navigateHtml(ControlRef view, const Text& address) {
    QTextBrowser* browser = browserOf(view);
    if (browser == nullptr) return;
    // Only the blank page is ever asked for; any other address shows one too,
    // as the view never fetches pages itself.
    (void)address;
    browser->clear();
    browser->setProperty(kHasPageProperty, true);
}

bool setHtmlBody(ControlRef view, const Text& html) {
    QTextBrowser* browser = browserOf(view);
    if (browser == nullptr || !browser->property(kHasPageProperty).toBool()) return false;
    browser->setHtml(QStringLiteral("<html><body>") + toQString(html) + QStringLiteral("</body></html>"));
    return true;
}

}  // namespace qtport
