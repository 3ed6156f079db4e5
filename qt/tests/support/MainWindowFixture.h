#pragma once
// A main window on a fake web view, its home and mail addresses set.

#include "qt/browser/BrowserFrm.h"
#include "qt/tests/fakes/FakeWebView.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>
#include <array>

// The layout rule's results: the twips of the web view, the close button and the progress bar.
inline std::array<float, 10> LaidOutTwips(const BrowserFrm& frm) {
    const browser::TwipsRect wb = frm.Twips(frm.WB), close = frm.Twips(frm.Bouton[0]);
    const browser::TwipsRect bar = frm.Twips(frm.PBar);
    return {wb.Left,     wb.Top,   wb.Width, wb.Height, close.Left,
            close.Width, bar.Left, bar.Top,  bar.Width, bar.Height};
}

struct MainWindowFixture {
    BrowserFrm frm{[](QWidget* parent) -> std::unique_ptr<platform::WebView> {
        return std::make_unique<FakeWebView>(parent);
    }};
    FakeWebView& web = *static_cast<FakeWebView*>(frm.WB);

    MainWindowFixture() {
        frm.AppCaption = QStringLiteral("Navigateur Ulmeco");
        frm.HomeUrl = frm.LinkUrls[0] = QStringLiteral("http://127.0.0.1:8080/accueil.html");
        frm.MailUrl = QStringLiteral("http://127.0.0.1:8080/courrier.html");
        frm.ShowAbout = [this](BrowserFrm& owner) {
            web.Calls << (&owner == &frm ? "About" : "?");
        };
    }
    bool Show() { // window keys need the keyboard
        frm.show();
        frm.activateWindow();
        return QTest::qWaitForWindowActive(&frm);
    }
};
