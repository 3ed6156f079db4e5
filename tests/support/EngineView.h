#pragma once
// For engine tests: a real web view in a shown window, its events recorded, and input on it.

#include "platform/QtWebView.h"
#include "platform/Rendering.h"

#include <QStringList>
#include <functional>
#include <memory>

// Every wait of engine tests: only a guard against hangs, never a measure of speed.
inline constexpr int kWaitMs = 60000;

// Call from a test's initMain(): test data paths, then what the engine needs before the
// application object exists, the composition included, as the program settles them. Returns
// the composition's plan.
platform::CompositionPlan PrepareEngineTest();

// Navigates and waits for the load to end (DownloadComplete); true when it ended.
bool Load(platform::WebView& view, const QString& address);
// The widget the engine draws into and takes input on: the end of the view's focus proxy chain.
QWidget* RenderWidget(QWidget* view);
// Moves the pointer onto a point of the page, as a user would (the engine needs several moves).
void Hover(QWidget* view, QPoint point);
void Click(QWidget* view, QPoint point, Qt::MouseButton button = Qt::LeftButton);
// Repeats act, which must be harmless to repeat, until the page shows that it received it. A
// loaded page may still drop input that comes before its first frame shows: this waits for
// the page, not for time. False when it never answered.
bool UntilPageAnswers(const std::function<void()>& act, const std::function<bool()>& answered);

class ShownWebView {
public:
    explicit ShownWebView(const platform::WebViewServices& services = {});

    // Forgets the events recorded, then loads.
    bool Load(const QString& address);
    int Count(const QString& event) const { return int(Events.count(event)); }
    // The status texts raised, in order.
    QStringList StatusTexts() const;

    // The view's events, in order: "DownloadBegin", "StatusTextChange(Terminé)",
    // "NavigateComplete", "DocumentComplete", "DownloadComplete", "NewWindow".
    QStringList Events;
    bool CancelNewWindow = false; // what the next NewWindow answers
    std::unique_ptr<QWidget> Window;
    platform::QtWebView* View;
};
