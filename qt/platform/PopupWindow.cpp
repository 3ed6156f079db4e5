#include "qt/platform/PopupWindow.h"
#include "qt/platform/CoreText.h"

#include "platform/StatusText.h"
#include "qt/platform/QtWebView.h"
#include "qt/platform/WindowClass.h"

#include <QStatusBar>
#include <QVBoxLayout>
#include <QWebEnginePage>

namespace platform {

PopupWindow::PopupWindow(const WebViewServices& services, QWidget* owner)
    : QWidget(owner, Qt::Window), ViewShown(new QtWebView(services, this)),
      Status(new QStatusBar(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Nouvelle fenêtre"));
    resize(800, 600);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ViewShown, 1);
    layout->addWidget(Status);

    connect(ViewShown, &WebView::StatusTextChange, Status, [this](const QString& text) {
        Status->showMessage(FromCore(ShownStatusText(ToCore(text))));
    });
    connect(ViewShown, &WebView::NavigateComplete, this, [this] {
        const QString title = FromCore(
            CaptionText(ToCore(ViewShown->DocumentTitle().value_or(QString())), kCaptionMax));
        SetCaption(*this, title.isEmpty()
                              ? FromCore(CaptionText(ToCore(ViewShown->Url().toDisplayString()),
                                                     kCaptionMax))
                              : title);
    });
    QWebEnginePage* page = ViewShown->Page();
    connect(page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
    connect(page, &QWebEnginePage::geometryChangeRequested, this, [this](const QRect& geometry) {
        // The page asks for the size of its own area; the status line comes on top of it.
        resize(geometry.width(), geometry.height() + Status->sizeHint().height());
        if (!geometry.topLeft().isNull()) {
            move(geometry.topLeft());
        }
    });
}

QWebEnginePage* PopupWindow::Page() const {
    return ViewShown->Page();
}

} // namespace platform
