// Escape and full screen on the real web view in the main window: the page keeps Escape while
// nothing loads, Escape stops a load, and a page's full-screen request fills the screen until
// Escape.
#include "browser/BrowserFrm.h"
#include "browser/PageTools.h"
#include "platform/QtWebView.h"
#include "support/MainWindowFixture.h"
#include "support/ShownWebView.h"
#include "support/TestServer.h"
#include "support/ViewInput.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {
constexpr int kTimeout = 15000;
}

class TestPageKeys : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    TestServer Server;
    std::unique_ptr<BrowserFrm> Frm;

    QString Title() const { return Frm->WB->DocumentTitle().value_or(QString()); }
    QString StatusText() const {
        return Frm->findChild<QLabel*>(QStringLiteral("StatusText"))->text();
    }
    bool Load(const QString& path) {
        QSignalSpy done(Frm->WB, &platform::WebView::DownloadComplete);
        Frm->WB->Navigate(Server.Url(path).toString());
        return done.wait(kTimeout);
    }
    QWidget* Page() const { return viewinput::RenderWidget(Frm->WB); }

private slots:
    void initTestCase() {
        QVERIFY(Server.Listen());
        Frm = std::make_unique<BrowserFrm>(
            [](QWidget* parent) { return platform::CreateWebView(parent, {}); });
        Frm->show();
        Frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frm.get()));
    }

    void cleanupTestCase() { Frm.reset(); }

    void escapeReachesIdlePage() {
        QVERIFY(Load("/keys"));
        Frm->WB->SetFocus();
        QTest::keyClick(Page(), Qt::Key_A);
        QTRY_COMPARE_WITH_TIMEOUT(Title(), QStringLiteral("touche:a"), kTimeout);
        QTest::keyClick(Page(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(Title(), QStringLiteral("touche:Escape"), kTimeout);
    }

    void escapeStopsLoad() {
        QVERIFY(Load("/keys"));
        Frm->WB->SetFocus();
        QSignalSpy done(Frm->WB, &platform::WebView::DownloadComplete);
        QSignalSpy begun(Frm->WB, &platform::WebView::DownloadBegin);
        Frm->WB->Navigate(Server.Url("/slow?ms=8000").toString());
        QVERIFY(begun.wait(kTimeout));
        QTest::keyClick(Page(), Qt::Key_Escape);
        QVERIFY(done.wait(4000));
        QCOMPARE(StatusText(), QStringLiteral("Chargement arrêté"));
    }

    void pageFullScreenUntilEscape() {
        QVERIFY(Load("/fullscreen"));
        const std::array<float, 10> before = LaidOutTwips(*Frm);
        const QRect bounds = Frm->geometry();
        const testserver::LinkBox& button = testserver::FullScreenButton;
        // A click that reaches the page before its first frame is painted is lost: click again
        // until the page asks for full screen.
        QDeadlineTimer deadline(kTimeout);
        while (!Frm->Tools().IsFullScreen() && !deadline.hasExpired()) {
            viewinput::Click(Frm->WB,
                             {button.Left + button.Width / 2, button.Top + button.Height / 2});
            if (QTest::qWaitFor([this] { return Frm->Tools().IsFullScreen(); }, 2000)) {
                break;
            }
        }
        QVERIFY(Frm->Tools().IsFullScreen());
        QVERIFY(Frm->isFullScreen());
        QTRY_COMPARE_WITH_TIMEOUT(Title(), QStringLiteral("plein:oui"), kTimeout);
        QTRY_COMPARE(Frm->WB->geometry(), Frm->rect());

        QTest::keyClick(Page(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(Title(), QStringLiteral("plein:non"), kTimeout);
        QVERIFY(!Frm->Tools().IsFullScreen());
        QTRY_VERIFY(!Frm->isFullScreen());
        QTRY_COMPARE(Frm->geometry(), bounds);
        QCOMPARE(LaidOutTwips(*Frm), before);
    }
};

QTEST_MAIN(TestPageKeys)
#include "tst_pagekeys.moc"
