#pragma once
// For engine tests: a real web view in a shown window, its events recorded, and input on it.

#include "platform/QtWebView.h"
#include "platform/Rendering.h"

#include <QStringList>
#include <QTest>
#include <functional>
#include <memory>

// Every wait of engine tests: only a guard against hangs, never a measure of speed.
inline constexpr int kWaitMs = 60000;

// For initMain(): test data paths, then the engine and the composition as the program settles
// them before the application object exists. Returns the composition's plan.
platform::CompositionPlan PrepareEngineTest();

// Navigates and waits for the load to end (DownloadComplete); true when it ended.
bool Load(platform::WebView& view, const QString& address);
// The widget the engine draws into and takes input on: the end of the view's focus proxy chain.
QWidget* RenderWidget(QWidget* view);
// Moves the pointer onto a point of the page, as a user would (the engine needs several moves).
void Hover(QWidget* view, QPoint point);
void Click(QWidget* view, QPoint point, Qt::MouseButton button = Qt::LeftButton);
// Repeats act, harmless to repeat, until the page shows that it received it: a loaded page
// drops input that comes before its first frame shows. False when it never answered.
bool UntilPageAnswers(const std::function<void()>& act, const std::function<bool()>& answered);

// A data table of one column "row": each row one value of T, named after the fault it guards.
template <typename T> void Table(std::initializer_list<std::pair<const char*, T>> rows) {
    QTest::addColumn<T>("row");
    for (const auto& [name, row] : rows) {
        QTest::newRow(name) << row;
    }
}

class ShownWebView {
public:
    explicit ShownWebView(const platform::WebViewServices& services = {});
    // Forgets the events recorded, then loads.
    bool Load(const QString& address);
    int Count(const QString& event) const { return int(Events.count(event)); }
    QStringList StatusTexts() const; // in order

    // The view's events, in order: "DownloadBegin", "StatusTextChange(Terminé)",
    // "NavigateComplete", "DocumentComplete", "DownloadComplete", "NewWindow".
    QStringList Events;
    bool CancelNewWindow = false; // what the next NewWindow answers
    std::unique_ptr<QWidget> Window;
    platform::QtWebView* View;
};
