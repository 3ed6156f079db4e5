#include "support/EngineView.h"

#include "platform/Engine.h"

#include <QStandardPaths>
#include <QTest>

platform::CompositionPlan PrepareEngineTest() {
    QStandardPaths::setTestModeEnabled(true);
    platform::PrepareEngine();
    return platform::PrepareComposition();
}

bool Load(platform::WebView& view, const QString& address) {
    bool done = false;
    QObject listening; // ends the connection with the load
    QObject::connect(&view, &platform::WebView::DownloadComplete, &listening,
                     [&done] { done = true; });
    view.Navigate(address);
    return QTest::qWaitFor([&done] { return done; }, kWaitMs);
}

QWidget* RenderWidget(QWidget* view) {
    while (view->focusProxy() != nullptr) {
        view = view->focusProxy();
    }
    return view;
}

void Hover(QWidget* view, QPoint point) {
    QTest::mouseMove(RenderWidget(view), point - QPoint(3, 3));
    QTest::mouseMove(RenderWidget(view), point);
}

void Click(QWidget* view, QPoint point, Qt::MouseButton button) {
    Hover(view, point);
    QTest::mouseClick(RenderWidget(view), button, {}, point);
}

bool UntilPageAnswers(const std::function<void()>& act, const std::function<bool()>& answered) {
    // The second is only how often act is repeated; nothing depends on it.
    return QTest::qWaitFor([&] { return act(), QTest::qWaitFor(answered, 1000); }, kWaitMs);
}

ShownWebView::ShownWebView(const platform::WebViewServices& services)
    : Window(std::make_unique<QWidget>()), View(new platform::QtWebView(services, Window.get())) {
    using platform::WebView;
    const auto note = [this](const char* event) { return [this, event] { Events << event; }; };
    QObject::connect(View, &WebView::DownloadBegin, View, note("DownloadBegin"));
    QObject::connect(View, &WebView::DownloadComplete, View, note("DownloadComplete"));
    QObject::connect(View, &WebView::NavigateComplete, View, note("NavigateComplete"));
    QObject::connect(View, &WebView::DocumentComplete, View, note("DocumentComplete"));
    QObject::connect(View, &WebView::StatusTextChange, View,
                     [this](const QString& text) { Events << "StatusTextChange(" + text + ")"; });
    QObject::connect(View, &WebView::NewWindow, View, [this](bool* cancel) {
        Events << "NewWindow";
        *cancel = CancelNewWindow;
    });
    Window->resize(800, 600);
    View->resize(800, 600);
    Window->show();
    if (!QTest::qWaitForWindowExposed(Window.get())) {
        qWarning("ShownWebView: the window did not show");
    }
}

bool ShownWebView::Load(const QString& address) {
    Events.clear();
    return ::Load(*View, address);
}

QStringList ShownWebView::StatusTexts() const {
    QStringList texts;
    for (const QString& event : Events) {
        if (event.startsWith("StatusTextChange(")) {
            texts << event.mid(17).chopped(1);
        }
    }
    return texts;
}
