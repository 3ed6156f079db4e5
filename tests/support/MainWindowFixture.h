#pragma once
// A main window on a fake web view, for tests of what the window does with its toolbar, keys,
// page events, find bar, zoom, full screen and layout.

#include "browser/BrowserFrm.h"
#include "fakes/FakeWebView.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <array>
#include <vector>

inline std::unique_ptr<platform::WebView> MakeFakeView(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}

// The layout rule's results: the twips of the web view, the close button and the progress bar.
inline std::array<float, 10> LaidOutTwips(const BrowserFrm& frm) {
    const browser::TwipsRect wb = frm.Twips(frm.WB);
    const browser::TwipsRect close = frm.Twips(frm.Bouton[0]);
    const browser::TwipsRect bar = frm.Twips(frm.PBar);
    return {wb.Left,     wb.Top,   wb.Width, wb.Height, close.Left,
            close.Width, bar.Left, bar.Top,  bar.Width, bar.Height};
}

// The buttons, the progress bar and the web view that reach past the window's client area or
// cover one another; empty when every one lies inside, clear of the others.
inline QString ControlsMisplaced(const BrowserFrm& frm) {
    std::vector<const QWidget*> controls(frm.Bouton.begin(), frm.Bouton.end());
    controls.insert(controls.end(), {frm.PBar, frm.WB});
    QString misplaced;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QRect rect = controls[i]->geometry();
        const QString name = controls[i] == frm.WB ? "WB" : controls[i]->objectName();
        if (!rect.isEmpty() && !frm.rect().contains(rect)) {
            misplaced += name + " outside; ";
        }
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const QRect other = controls[j]->geometry();
            if (!rect.isEmpty() && !other.isEmpty() && rect.intersects(other)) {
                misplaced += name + " covers " + controls[j]->objectName() + "; ";
            }
        }
    }
    return misplaced;
}

struct MainWindowFixture {
    BrowserFrm frm{MakeFakeView};
    FakeWebView& web = *static_cast<FakeWebView*>(frm.WB);

    MainWindowFixture() {
        frm.AppCaption = QStringLiteral("Navigateur Ulmeco");
        frm.HomeUrl = frm.LinkUrls[0] = QStringLiteral("http://127.0.0.1:8080/accueil.html");
        frm.MailUrl = QStringLiteral("http://127.0.0.1:8080/courrier.html");
        frm.ShowAbout = [this](BrowserFrm& owner) { web.Calls << (&owner == &frm ? "About" : "?"); };
    }
    // Shows the window and waits until it takes the keyboard (window keys need that).
    bool Show() {
        frm.show();
        frm.activateWindow();
        return QTest::qWaitForWindowActive(&frm);
    }
    QString StatusText() const { return frm.findChild<QLabel*>("StatusText")->text(); }
    bool ProgressShown() const { return frm.PBar->isVisibleTo(&frm); }

    using Twips = std::array<float, 10>;
    Twips LaidOut() const { return LaidOutTwips(frm); }
};
