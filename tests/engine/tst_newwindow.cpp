// New windows asked for by pages (a link with a target, window.open, a middle click): the view
// raises NewWindow first; cancelled, nothing opens; not cancelled, a real window opens whose page
// keeps its opener.

#include "platform/PopupWindow.h"
#include "platform/QtWebView.h"
#include "support/ModalDialog.h"
#include "support/ShownWebView.h"
#include "support/TestServer.h"
#include "support/ViewInput.h"

#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

using platform::PopupWindow;
using platform::QtWebView;
using testserver::Link;

namespace {
constexpr int Timeout = 15000;
}

class TstNewWindow : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    TestServer Server;
    std::unique_ptr<ShownWebView> Shown;
    QWidget* Window = nullptr;
    QtWebView* View = nullptr;
    WebViewRecorder* Recorder = nullptr;

    QList<PopupWindow*> Popups() const { return Window->findChildren<PopupWindow*>(); }

    void OpenFrom(Link link, Qt::MouseButton button) {
        QVERIFY(Shown->Load(Server.Url("/links").toString(), Timeout));
        viewinput::Click(View, viewinput::Centre(link), button);
        QTRY_COMPARE_WITH_TIMEOUT(Recorder->Count("NewWindow"), 1, Timeout);
    }

private slots:
    void initTestCase() {
        QVERIFY(Server.Listen());
        Shown = std::make_unique<ShownWebView>();
        Window = Shown->Window.get();
        View = Shown->View;
        Recorder = Shown->Recorder;
    }

    void cleanup() { qDeleteAll(Popups()); }

    void cleanupTestCase() { Shown.reset(); }

    void opens_data() {
        QTest::addColumn<Link>("link");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("link with a target")
            << Link::TargetBlank << Qt::LeftButton << "Page avec titre";
        QTest::newRow("window.open")
            << Link::WindowOpenTitle << Qt::LeftButton << "Page avec titre";
        QTest::newRow("middle click") << Link::TargetBlank << Qt::MiddleButton << "Page avec titre";
        QTest::newRow("window.open keeps the opener")
            << Link::WindowOpenOpener << Qt::LeftButton << "opener:oui";
    }

    void opens() {
        QFETCH(Link, link);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QString, title);
        Recorder->CancelNewWindow = false;
        OpenFrom(link, button);
        QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, Timeout);
        PopupWindow* popup = Popups().first();
        QVERIFY(popup->isVisible());
        QVERIFY(popup->isWindow());
        QTRY_COMPARE_WITH_TIMEOUT(popup->View().DocumentTitle(), std::optional<QString>(title),
                                  Timeout);
        QCOMPARE(popup->windowTitle(), title);
        // The window that asked stays where it was.
        QCOMPARE(View->DocumentTitle(), std::optional<QString>("Liens"));
    }

    // The caption a pop-up window gives the window system (Qt's processed title): the page's
    // title exactly, cut to what other programs read of a caption.
    void popupCaption_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::newRow("[*] in the title") << "/echo/Offre [*] 2025"
                                          << "/echo/Offre [*] 2025";
        const QString longPath = "/echo/" + QString(300, u'\u00E9');
        QTest::newRow("long title") << longPath << longPath.left(254);
    }
    void popupCaption() {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        Recorder->CancelNewWindow = false;
        OpenFrom(Link::TargetBlank, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, Timeout);
        PopupWindow* popup = Popups().first();
        QTRY_COMPARE_WITH_TIMEOUT(popup->View().DocumentTitle(),
                                  std::optional<QString>("Page avec titre"), Timeout);
        popup->View().Navigate(Server.Url(path).toString());
        QTRY_COMPARE_WITH_TIMEOUT(popup->windowHandle()->title(), caption, Timeout);
    }

    void cancelledOpensNothing_data() { opens_data(); }

    void cancelledOpensNothing() {
        QFETCH(Link, link);
        QFETCH(Qt::MouseButton, button);
        Recorder->CancelNewWindow = true;
        const QStringList before = Server.Paths();
        OpenFrom(link, button);
        QTest::qWait(500);
        QVERIFY(Popups().isEmpty());
        QCOMPARE(Server.Paths().size(), before.size() + 1); // /links only
        QCOMPARE(View->DocumentTitle(), std::optional<QString>("Liens"));
    }

    // The entries of the page's menu that name a new window open one, at the address the entry
    // names, even where the window turns the page's own requests into navigations of itself
    // (here: every NewWindow cancelled); "Enregistrer la page sous…" asks where.
    void menuEntryDoesWhatItSays_data() {
        QTest::addColumn<QPoint>("place"); // where the menu is asked for
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("opened"); // the new window's address; none: no new window
        QTest::newRow("link in a new window")
            << viewinput::Centre(Link::TargetBlank) << "Ouvrir le lien dans une nouvelle fenêtre"
            << Server.Url("/title").toString();
        QTest::newRow("page source") << QPoint(700, 500) << "Code source de la page"
                                     << "view-source:" + Server.Url("/links").toString();
        QTest::newRow("save the page") << QPoint(700, 500) << "Enregistrer la page sous…"
                                       << "";
    }
    void menuEntryDoesWhatItSays() {
        QFETCH(QPoint, place);
        QFETCH(QString, entry);
        QFETCH(QString, opened);
        Recorder->CancelNewWindow = true;
        QVERIFY(Shown->Load(Server.Url("/links").toString(), Timeout));
        // Another link hovered last, as the window's new-window rule would remember it.
        viewinput::Hover(View, viewinput::Centre(Link::WindowOpenTitle));
        viewinput::Click(View, place, Qt::RightButton);
        QMenu* menu = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr, Timeout);
        QStringList entries;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->isVisible() && !action->isSeparator()) {
                entries << action->text();
                chosen = action->text() == entry ? action : chosen;
            }
        }
        QVERIFY2(chosen != nullptr, qPrintable(entries.join('|')));
        QCOMPARE(entries.removeDuplicates(), 0);
        QString dialogTitle;
        WhenShown<QFileDialog>([&dialogTitle](QFileDialog& dialog) {
            dialogTitle = dialog.windowTitle();
            dialog.reject();
        });
        menu->close();
        chosen->trigger();
        if (opened.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(dialogTitle, "Enregistrer la page sous", Timeout);
            QVERIFY(Popups().isEmpty());
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, Timeout);
            QTRY_COMPARE_WITH_TIMEOUT(Popups().first()->View().Url(), QUrl(opened), Timeout);
        }
        QCOMPARE(Recorder->Count("NewWindow"), 0);
        QCOMPARE(View->DocumentTitle(), std::optional<QString>("Liens"));
    }

    void scriptClosesItsWindow() {
        Recorder->CancelNewWindow = false;
        OpenFrom(Link::WindowOpenOpener, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, Timeout);
        PopupWindow* popup = Popups().first();
        QTRY_VERIFY_WITH_TIMEOUT(popup->View().DocumentTitle().has_value(), Timeout);
        popup->View().Navigate("javascript:window.close()");
        QTRY_VERIFY_WITH_TIMEOUT(Popups().isEmpty(), Timeout);
    }
};

QTEST_MAIN(TstNewWindow)
#include "tst_newwindow.moc"
