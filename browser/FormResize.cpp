// The layout rule applied to the window's controls, and the window's outer bounds in twips.
#include "browser/BrowserFrm.h"
#include "browser/BrowserFrmImpl.h"
#include "browser/ButtonTable.h"
#include "browser/Layout.h"
#include "platform/PlacementWindow.h"
#include "platform/Twips.h"

#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>

namespace {

// The designed frame around the client area, used while the window system reports none.
constexpr float kDesignFrameWidth = 120;
constexpr float kDesignFrameHeight = 510;

bool FrameKnown(const QWidget& window) {
    return window.isVisible() && window.frameGeometry().size() != window.geometry().size();
}

float ClientWidthTwips(const QWidget& window) {
    return static_cast<float>(platform::PixelsToTwipsX(window.width()));
}

float ClientHeightTwips(const QWidget& window) {
    return static_cast<float>(platform::PixelsToTwipsY(window.height()));
}

} // namespace

float BrowserFrm::FormWidth() const {
    if (FrameKnown(*this)) {
        return static_cast<float>(platform::PixelsToTwipsX(frameGeometry().width()));
    }
    return ClientWidthTwips(*this) + kDesignFrameWidth;
}

float BrowserFrm::FormHeight() const {
    if (FrameKnown(*this)) {
        return static_cast<float>(platform::PixelsToTwipsY(frameGeometry().height()));
    }
    return ClientHeightTwips(*this) + kDesignFrameHeight;
}

void BrowserFrm::SetFormWidth(float width) {
    int clientWidth = 0;
    if (FrameKnown(*this)) {
        clientWidth = platform::TwipsToPixelsX(width) - (frameGeometry().width() - this->width());
    } else {
        clientWidth = platform::TwipsToPixelsX(width - kDesignFrameWidth);
    }
    resize(clientWidth, height());
}

int BrowserFrm::FormWindowState() const {
    if (isMinimized()) {
        return platform::vbMinimized;
    }
    if (isMaximized() || isFullScreen()) {
        return platform::vbMaximized;
    }
    return platform::vbNormal;
}

void BrowserFrm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    RelayoutIfFrameChanged();
}

void BrowserFrm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    RelayoutIfFrameChanged();
}

void BrowserFrm::RelayoutIfFrameChanged() {
    const float frameWidth = FormWidth() - ClientWidthTwips(*this);
    const float frameHeight = FormHeight() - ClientHeightTwips(*this);
    if (frameWidth != d->FrameWidth || frameHeight != d->FrameHeight) {
        Form_Resize();
    }
}

void BrowserFrm::Form_Resize() {
    d->FrameWidth = FormWidth() - ClientWidthTwips(*this);
    d->FrameHeight = FormHeight() - ClientHeightTwips(*this);
    const browser::TwipsRect about = Twips(Bouton.at(10));
    const int state = FormWindowState();
    const browser::LayoutResult layout =
        browser::FormResizeLayout({FormWidth(), FormHeight(), state, about.Left, about.Width});
    if (!layout.Apply) {
        return;
    }
    // A maximized window keeps the screen's width and is laid out as if it were at the minimum.
    if (layout.WidenWindow && state == platform::vbNormal) {
        SetFormWidth(browser::kMinimumOuterWidth); // lays the window out in a nested pass
    }
    browser::TwipsGeometry& geometry = d->Geometry;
    geometry.SetWidth(WB, layout.WebViewWidth);
    geometry.SetHeight(WB, layout.WebViewHeight);
    geometry.SetLeft(Bouton.at(0), layout.CloseButtonLeft);
    geometry.SetLeft(PBar, layout.ProgressLeft);
    geometry.SetWidth(PBar, layout.ProgressWidth);

    // The status bar is docked: bottom edge of the client area, full width.
    const float clientHeight = ClientHeightTwips(*this);
    geometry.Place(StatusBar, {0, clientHeight - browser::kStatusBarHeight, ClientWidthTwips(*this),
                               browser::kStatusBarHeight});
}
