#pragma once
// A main window on a fake web view, for tests of what the window does with its keys, find bar,
// zoom and full screen.

#include "browser/BrowserFrm.h"
#include "browser/TwipsGeometry.h"
#include "fakes/FakeWebView.h"

#include <QProgressBar>
#include <QString>
#include <QTest>
#include <QToolButton>
#include <array>
#include <vector>

// The layout rule's results: the twips of the web view, the close button and the progress bar.
inline std::array<float, 10> LaidOutTwips(const BrowserFrm& frm) {
    const browser::TwipsRect wb = frm.Twips(frm.WB);
    const browser::TwipsRect close = frm.Twips(frm.Bouton[0]);
    const browser::TwipsRect bar = frm.Twips(frm.PBar);
    return {wb.Left,     wb.Top,   wb.Width, wb.Height, close.Left,
            close.Width, bar.Left, bar.Top,  bar.Width, bar.Height};
}

// The toolbar's buttons, the progress bar and the web view that reach past the window's client
// area or cover one another; empty when every one lies inside, clear of the others.
inline QString ControlsMisplaced(const BrowserFrm& frm) {
    std::vector<const QWidget*> controls(frm.Bouton.begin(), frm.Bouton.end());
    controls.push_back(frm.PBar);
    controls.push_back(frm.WB);
    QString misplaced;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QRect rect = controls[i]->geometry();
        if (rect.isEmpty()) {
            continue; // nothing shows
        }
        const QString name =
            controls[i] == frm.WB ? QStringLiteral("WB") : controls[i]->objectName();
        if (!frm.rect().contains(rect)) {
            misplaced += QStringLiteral("%1 outside; ").arg(name);
        }
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            if (!controls[j]->geometry().isEmpty() && rect.intersects(controls[j]->geometry())) {
                misplaced += QStringLiteral("%1 covers %2; ").arg(name, controls[j]->objectName());
            }
        }
    }
    return misplaced;
}

struct MainWindowFixture {
    BrowserFrm frm{[](QWidget* parent) -> std::unique_ptr<platform::WebView> {
        return std::make_unique<FakeWebView>(parent);
    }};
    FakeWebView& web = *static_cast<FakeWebView*>(frm.WB);

    MainWindowFixture() {
        frm.HomeUrl = QStringLiteral("http://127.0.0.1:8080/accueil.html");
        frm.MailUrl = QStringLiteral("http://127.0.0.1:8080/courrier.html");
        frm.ShowAbout = [this](BrowserFrm&) { web.Calls << "About"; };
    }
    // Shows the window and waits until it takes the keyboard (window keys need that).
    bool Show() {
        frm.show();
        frm.activateWindow();
        return QTest::qWaitForWindowActive(&frm);
    }

    using Twips = std::array<float, 10>;
    Twips LaidOut() const { return LaidOutTwips(frm); }
};
