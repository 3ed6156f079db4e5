#include "qt/browser/PageTools.h"

#include "qt/browser/BrowserFrm.h"
#include "qt/browser/FindBar.h"
#include "qt/browser/FullScreen.h"
#include "qt/browser/Zoom.h"

#include <QEvent>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>

namespace browser {

namespace {

std::vector<QWidget*> Chrome(BrowserFrm& window) {
    std::vector<QWidget*> controls(window.Bouton.begin(), window.Bouton.end());
    controls.push_back(window.StatusBar);
    return controls;
}

} // namespace

PageTools::PageTools(BrowserFrm& window, QLabel& statusText)
    : Window(window), StatusText(statusText) {
    platform::WebView& view = *window.WB;
    Full = std::make_unique<FullScreen>(window, view, Chrome(window),
                                        [&window] { window.Form_Resize(); });

    for (const KeyBinding& binding : kKeyBindings) {
        auto* shortcut = new QShortcut(QKeySequence(binding.Key), &window);
        shortcut->setContext(Qt::WindowShortcut);
        const KeyCommand command = binding.Command;
        const int button = binding.Button;
        connect(shortcut, &QShortcut::activated, this,
                [this, command, button] { Run(command, button); });
        if (command == KeyCommand::Escape) {
            EscapeKey = shortcut;
        }
    }

    connect(&view, &platform::WebView::DownloadBegin, this, [this] {
        Loading = true;
        UpdateEscape();
    });
    connect(&view, &platform::WebView::DownloadComplete, this, [this] {
        Loading = false;
        UpdateEscape();
    });
    // The engine may give a new document its own scale: the window's zoom holds for every page.
    connect(&view, &platform::WebView::NavigateComplete, this, &PageTools::ApplyZoom);
    connect(&view, &platform::WebView::FullScreenRequested, this, [this](bool on) {
        if (on) {
            Full->Enter(FullScreen::ByPage);
            RaiseFindBar();
        } else {
            Full->PageLeft();
        }
        UpdateEscape();
    });
    view.installEventFilter(this);

    ZoomTextTimer.setSingleShot(true);
    ZoomTextTimer.setInterval(kZoomTextMs);
    connect(&ZoomTextTimer, &QTimer::timeout, this, [this] {
        // Only the zoom text goes: a text the page gave since stays.
        if (StatusText.text() == ZoomShown) {
            StatusText.clear();
        }
    });
    UpdateEscape();
}

PageTools::~PageTools() = default;

void PageTools::Run(KeyCommand command, int button) {
    switch (command) {
    case KeyCommand::Button:
        Window.Bouton_Click(button);
        break;
    case KeyCommand::Escape:
        Escape();
        break;
    case KeyCommand::FindInPage:
        OpenFindBar();
        break;
    case KeyCommand::ZoomIn:
        SetZoom(NextZoomStep(Zoom));
        break;
    case KeyCommand::ZoomOut:
        SetZoom(PreviousZoomStep(Zoom));
        break;
    case KeyCommand::ZoomReset:
        SetZoom(kZoomDefault);
        break;
    case KeyCommand::FullScreen:
        ToggleFullScreen();
        break;
    }
}

FindBar& PageTools::Find() {
    if (Bar == nullptr) {
        Bar = new FindBar(*Window.WB, &Window);
        connect(Bar, &FindBar::Closed, this, &PageTools::UpdateEscape);
    }
    return *Bar;
}

bool PageTools::FindBarShown() const {
    return Bar != nullptr && Bar->isVisible();
}

void PageTools::RaiseFindBar() {
    if (Bar != nullptr) {
        Bar->raise();
    }
}

bool PageTools::EscapeWanted() const {
    return FindBarShown() || Full->IsActive() || Loading;
}

void PageTools::Escape() {
    if (FindBarShown()) {
        Bar->Close();
    } else if (Full->IsActive()) {
        LeaveFullScreen();
    } else if (Loading) {
        Window.Bouton_Click(kStopButton); // the stop button's own command
    }
    UpdateEscape();
}

void PageTools::UpdateEscape() {
    // A disabled shortcut lets the key through to the page.
    EscapeKey->setEnabled(EscapeWanted());
}

void PageTools::OpenFindBar() {
    Find();
    PlaceFindBar();
    Bar->Open();
    UpdateEscape();
}

void PageTools::PlaceFindBar() {
    Bar->PlaceOver(Window.WB->geometry());
}

void PageTools::SetZoom(int percent) {
    Zoom = std::clamp(percent, kZoomSteps.front(), kZoomSteps.back());
    ApplyZoom();
    ZoomShown = ZoomText(Zoom);
    StatusText.setText(ZoomShown);
    ZoomTextTimer.start();
}

bool PageTools::ZoomTextPending() const {
    return ZoomTextTimer.isActive() && StatusText.text() == ZoomShown;
}

void PageTools::ApplyZoom() {
    const double factor = Zoom / 100.0;
    if (!qFuzzyCompare(Window.WB->ZoomFactor(), factor)) {
        Window.WB->SetZoomFactor(factor);
    }
}

bool PageTools::IsFullScreen() const {
    return Full->IsActive();
}

void PageTools::ToggleFullScreen() {
    if (Full->IsActive()) {
        LeaveFullScreen();
        return;
    }
    Full->Enter(FullScreen::ByUser);
    RaiseFindBar();
    UpdateEscape();
}

void PageTools::LeaveFullScreen() {
    Full->Leave();
    UpdateEscape();
}

void PageTools::LeaveFullScreenToClose() {
    Full->Leave(true);
    UpdateEscape();
}

bool PageTools::CoverWindow() {
    return Full->Cover();
}

bool PageTools::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Window.WB &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move) && FindBarShown()) {
        PlaceFindBar();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace browser
