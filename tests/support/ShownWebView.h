#pragma once
// For engine tests: a real web view in a shown window, its events recorded.

#include "platform/QtWebView.h"
#include "platform/Rendering.h"
#include "support/WebViewRecorder.h"

#include <memory>

// Call from a test's initMain(): test data paths, then what the engine needs before the
// application object exists, the composition included, as the program settles them. Returns
// the composition's plan.
platform::CompositionPlan PrepareEngineTest();

class ShownWebView {
public:
    explicit ShownWebView(const platform::WebViewServices& services = {});

    // Navigates and waits for the load to end; true when it ended in time.
    bool Load(const QString& address, int timeoutMs = 15000);

    std::unique_ptr<QWidget> Window;
    platform::QtWebView* View;
    WebViewRecorder* Recorder;
};
