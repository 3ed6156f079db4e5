// BrowserFrm's composition: the controls at their default geometry, their order, and the
// window's events.
#include "qt/browser/BrowserFrm.h"

#include "browser/ButtonTable.h"
#include "browser/WindowIdentity.h"
#include "qt/browser/BrowserFrmImpl.h"
#include "qt/browser/CaptionFont.h"
#include "qt/browser/PageTools.h"
#include "qt/browser/SplitButton.h"
#include "qt/platform/Twips.h"
#include "qt/platform/WindowClass.h"
#include "qt/platform/WindowFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <algorithm>
#include <vector>

namespace {

// Room kept free on each side of a button's caption, in pixels.
constexpr int kCaptionMargin = 1;

constexpr browser::TwipsRect ToRect(const browser::ControlDesign& design) {
    return {design.Left, design.Top, design.Width, design.Height};
}

} // namespace

BrowserFrm::BrowserFrm(const WebViewFactory& makeWebView, QWidget* parent)
    : QWidget(parent), d(std::make_unique<Impl>(*this)) {
    using namespace browser;

    // No caption when made: UpdateCaption sets the first one before the window shows.
    // Other instances find this window by its class and caption.
    platform::SetWindowClass(this, kWindowClass);
    // The designed client area, as far as the screen holds it: the size the window first asks
    // the window manager for, and returns to from maximized, never reaches past the screen.
    QSize client(platform::TwipsToPixelsX(kClientWidth), platform::TwipsToPixelsY(kClientHeight));
    if (const QSize room = platform::LargestClientSize(*this); !room.isEmpty()) {
        client = client.boundedTo(room);
    }
    resize(client);

    WB = makeWebView(this).release();
    if (WB->parentWidget() != this) {
        WB->setParent(this);
    }
    if (WB->focusPolicy() == Qt::NoFocus) {
        WB->setFocusPolicy(Qt::StrongFocus);
    }
    d->Geometry.Place(WB, ToRect(kWebViewDesign));
    connect(WB, &platform::WebView::DownloadBegin, this, &BrowserFrm::WB_DownloadBegin);
    connect(WB, &platform::WebView::DownloadComplete, this, &BrowserFrm::WB_DownloadComplete);
    connect(WB, &platform::WebView::NavigateComplete, this, &BrowserFrm::WB_NavigateComplete);
    connect(WB, &platform::WebView::DocumentComplete, this, &BrowserFrm::WB_DocumentComplete);
    connect(WB, &platform::WebView::StatusTextChange, this, &BrowserFrm::WB_StatusTextChange);
    connect(WB, &platform::WebView::ProgressChange, this, &BrowserFrm::WB_ProgressChange);
    connect(WB, &platform::WebView::NewWindow, this, [this](bool* cancel) {
        if (cancel != nullptr) {
            WB_NewWindow(*cancel);
        }
    });

    for (const ButtonDesign& design : kButtons) {
        QToolButton* button = nullptr;
        if (design.Index == kHomeButton) {
            auto* split = new SplitButton(this);
            connect(split, &SplitButton::dropDownPressed, this,
                    [this] { Bouton_DropDown(kHomeButton); });
            button = split;
        } else {
            button = new QToolButton(this);
        }
        button->setObjectName(QStringLiteral("Bouton%1").arg(design.Index));
        // The caption's "&" gives the button its Alt access key.
        button->setText(QString::fromUtf8(design.Caption));
        button->setToolTip(QString::fromUtf8(design.ToolTip));
        button->setIcon(QIcon(QString::fromLatin1(design.Icon)));
        button->setIconSize(QSize(kIconPixels, kIconPixels));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        d->Geometry.Place(button, {design.Left, design.Top, design.Width, design.Height});
        const int index = design.Index;
        connect(button, &QToolButton::clicked, this, [this, index] { Bouton_Click(index); });
        Bouton.at(index) = button;
    }

    FitButtonCaptions();

    PBar = new QProgressBar(this);
    PBar->setObjectName(QStringLiteral("PBar"));
    PBar->setRange(0, 100);
    PBar->setTextVisible(false);
    d->Geometry.Place(PBar, ToRect(kProgressDesign));

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    d->StatusText = new QLabel(StatusBar);
    d->StatusText->setObjectName(QStringLiteral("StatusText"));
    d->StatusText->setTextFormat(Qt::PlainText);
    // A long address is cut at the bar's edge; it never widens the bar.
    d->StatusText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusBar->addWidget(d->StatusText, 1);
    d->Geometry.Place(StatusBar, ToRect(kStatusBarDesign));

    MenuLiens = new QMenu(QStringLiteral("MenuLiens"), this);
    for (int i = 0; i < static_cast<int>(kLinkEntries.size()); ++i) {
        QAction* entry = MenuLiens->addAction(QString::fromUtf8(kLinkEntries.at(i).Caption));
        entry->setVisible(kLinkEntries.at(i).Visible);
        connect(entry, &QAction::triggered, this, [this, i] { MLink_Click(i); });
        MLink.at(i) = entry;
    }

    // Keyboard order: web view, the buttons in their design order, status bar, progress bar.
    std::vector<ButtonDesign> byTab(kButtons.begin(), kButtons.end());
    std::sort(byTab.begin(), byTab.end(),
              [](const ButtonDesign& a, const ButtonDesign& b) { return a.TabOrder < b.TabOrder; });
    QWidget* previous = WB;
    for (const ButtonDesign& design : byTab) {
        setTabOrder(previous, Bouton.at(design.Index));
        previous = Bouton.at(design.Index);
    }
    setTabOrder(previous, StatusBar);
    setTabOrder(StatusBar, PBar);
    WB->setFocus();

    d->Tools = std::make_unique<PageTools>(*this, *d->StatusText);
}

BrowserFrm::~BrowserFrm() = default;

void BrowserFrm::FitButtonCaptions() {
    QList<browser::CaptionSpace> captions;
    for (QToolButton* button : Bouton) {
        QStyleOptionToolButton option;
        option.initFrom(button);
        const int frame =
            button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
        int width = button->width() - 2 * frame - 2 * kCaptionMargin;
        if (auto* split = qobject_cast<browser::SplitButton*>(button)) {
            width -= split->DropDownRect().width();
        }
        captions.append({button->text(), width});
    }
    const QFont font = browser::FitCaptions(Bouton.front()->font(), captions);
    for (QToolButton* button : Bouton) {
        button->setFont(font);
    }
}

platform::PlacementWindow& BrowserFrm::Placement() {
    return d->Placement;
}

browser::PageTools& BrowserFrm::Tools() {
    return *d->Tools;
}

browser::TwipsRect BrowserFrm::Twips(const QWidget* control) const {
    return d->Geometry.Of(control);
}

void BrowserFrm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Full screen shows the web view alone; the rule lays the window out again when it ends.
    if (d->Tools && d->Tools->CoverWindow()) {
        return;
    }
    Form_Resize();
}

void BrowserFrm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !(d->Tools && d->Tools->IsFullScreen())) {
        Form_Resize();
    }
}

void BrowserFrm::closeEvent(QCloseEvent* event) {
    // Full screen is no state to keep: the placement saved is the one it was entered from.
    d->Tools->LeaveFullScreenToClose();
    int cancel = 0;
    if (Unload) {
        Unload(cancel);
    }
    event->accept();
}
