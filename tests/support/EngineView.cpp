#include "support/EngineView.h"

#include "platform/Engine.h"

#include <QStandardPaths>

platform::CompositionPlan PrepareEngineTest() {
    QStandardPaths::setTestModeEnabled(true);
    platform::PrepareEngine();
    return platform::PrepareComposition();
}

bool Load(platform::WebView& view, const QString& address) {
    bool done = false;
    QObject listening; // ends the connection with the load
    QObject::connect(&view, &platform::WebView::DownloadComplete, &listening, [&] { done = true; });
    view.Navigate(address);
    return QTest::qWaitFor([&done] { return done; }, kWaitMs);
}

QWidget* RenderWidget(QWidget* view) {
    return view->focusProxy() != nullptr ? RenderWidget(view->focusProxy()) : view;
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
    // The second only sets how often act is repeated; nothing depends on it.
    return QTest::qWaitFor([&] { return act(), QTest::qWaitFor(answered, 1000); }, kWaitMs);
}

ShownWebView::ShownWebView(const platform::WebViewServices& services)
    : Window(std::make_unique<QWidget>()), View(new platform::QtWebView(services, Window.get())) {
    using W = platform::WebView;
    const auto note = [this](const char* event) { return [this, event] { Events << event; }; };
    QObject::connect(View, &W::DownloadBegin, View, note("DownloadBegin"));
    QObject::connect(View, &W::DownloadComplete, View, note("DownloadComplete"));
    QObject::connect(View, &W::NavigateComplete, View, note("NavigateComplete"));
    QObject::connect(View, &W::DocumentComplete, View, note("DocumentComplete"));
    QObject::connect(View, &W::StatusTextChange, View,
                     [this](const QString& text) { Events << "StatusTextChange(" + text + ")"; });
    QObject::connect(View, &W::NewWindow, View, [this](bool* cancel) {
        Events << "NewWindow";
        *cancel = CancelNewWindow;
    });
    Window->resize(800, 600);
    View->resize(800, 600);
    Window->show();
    (void)QTest::qWaitForWindowExposed(Window.get());
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
