#pragma once
// A main window on a fake web view, for tests of what the window does with its toolbar, keys,
// page events, find bar, zoom, full screen and layout.

#include "browser/BrowserFrm.h"
#include "fakes/FakeWebView.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>
#include <array>

inline std::unique_ptr<platform::WebView> MakeFakeView(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}

// The layout rule's results: the twips of the web view, the close button and the progress bar.
inline std::array<float, 10> LaidOutTwips(const BrowserFrm& frm) {
    const browser::TwipsRect wb = frm.Twips(frm.WB), close = frm.Twips(frm.Bouton[0]);
    const browser::TwipsRect bar = frm.Twips(frm.PBar);
    return {wb.Left,     wb.Top,   wb.Width, wb.Height, close.Left,
            close.Width, bar.Left, bar.Top,  bar.Width, bar.Height};
}

// The buttons, the progress bar and the web view that reach past the window's client area or
// cover one another; empty when every one lies inside, clear of the others.
inline QString ControlsMisplaced(const BrowserFrm& frm) {
    QList<const QWidget*> controls(frm.Bouton.begin(), frm.Bouton.end());
    controls << frm.PBar << frm.WB;
    QString misplaced;
    for (const QWidget* a : controls) {
        for (const QWidget* b : controls) {
            const QRect rect = a->geometry(), other = b->geometry();
            if (a == b ? !rect.isEmpty() && !frm.rect().contains(rect)
                       : a < b && !rect.isEmpty() && !other.isEmpty() && rect.intersects(other)) {
                misplaced += a->objectName() + (a == b ? " outside; " : " covers the next; ");
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
        frm.ShowAbout = [this](BrowserFrm& owner) {
            web.Calls << (&owner == &frm ? "About" : "?");
        };
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
