#include "support/ShownWebView.h"

#include "platform/Engine.h"

#include <QStandardPaths>
#include <QTest>

platform::CompositionPlan PrepareEngineTest() {
    QStandardPaths::setTestModeEnabled(true);
    platform::PrepareEngine();
    return platform::PrepareComposition();
}

ShownWebView::ShownWebView(const platform::WebViewServices& services)
    : Window(std::make_unique<QWidget>()), View(new platform::QtWebView(services, Window.get())),
      Recorder(new WebViewRecorder(*View)) {
    Window->resize(800, 600);
    View->resize(800, 600);
    Window->show();
    if (!QTest::qWaitForWindowExposed(Window.get())) {
        qWarning("ShownWebView: the window did not show");
    }
}

bool ShownWebView::Load(const QString& address, int timeoutMs) {
    Recorder->Clear();
    View->Navigate(address);
    return QTest::qWaitFor([this] { return Recorder->Count("DownloadComplete") > 0; }, timeoutMs);
}
