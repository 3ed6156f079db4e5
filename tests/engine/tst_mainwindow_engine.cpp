// The main window on the real web view: Escape reaches an idle page, a page's full screen lasts
// until Escape, finding counts the page's matches, and the zoom holds for the next pages.

#include "browser/BrowserFrm.h"
#include "browser/PageTools.h"
#include "support/EngineView.h"
#include "support/TestServer.h"

class TestMainWindowEngine : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    TestServer Server;
    std::unique_ptr<BrowserFrm> Frm;

    QString Title() const { return Frm->WB->DocumentTitle().value_or(QString()); }
    bool Load(const QString& path) { return ::Load(*Frm->WB, Server.Url(path).toString()); }
    QWidget* Page() const { return RenderWidget(Frm->WB); }

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

    // The window keeps Escape for a load; with none, it is the page's. 'a' is pressed until the
    // page echoes it: from then on, keys provably reach the page.
    void escapeReachesIdlePage() {
        QVERIFY(Load("/keys"));
        Frm->WB->SetFocus();
        QTRY_VERIFY_WITH_TIMEOUT(Page()->hasFocus(), kWaitMs);
        QVERIFY(UntilPageAnswers([this] { QTest::keyClick(Page(), Qt::Key_A); },
                                 [this] { return Title() == "touche:a"; }));
        QTest::keyClick(Page(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(Title(), "touche:Escape", kWaitMs);
    }

    void pageFullScreenUntilEscape() {
        QVERIFY(Load("/fullscreen"));
        const QRect bounds = Frm->geometry(), page = Frm->WB->geometry();
        QVERIFY(UntilPageAnswers(
            [this] { Click(Frm->WB, testserver::LinkCentre(testserver::Link::TargetBlank)); },
            [this] { return Frm->Tools().IsFullScreen(); }));
        QVERIFY(Frm->isFullScreen());
        QTRY_COMPARE_WITH_TIMEOUT(Title(), "plein:oui", kWaitMs);
        QTRY_COMPARE(Frm->WB->geometry(), Frm->rect());
        QTest::keyClick(Page(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(Title(), "plein:non", kWaitMs);
        QVERIFY(!Frm->Tools().IsFullScreen());
        QTRY_COMPARE(Frm->geometry(), bounds);
        QCOMPARE(Frm->WB->geometry(), page);
    }

    void findCounts_data() { // text, case kept, matches in "lune-Lune-lune-LUNE"
        Table<QVariantList>({{"any case", {"lune", false, 4}},
                             {"case kept", {"lune", true, 2}},
                             {"absent", {"soleil", false, 0}}});
    }
    void findCounts() {
        QFETCH(QVariantList, row);
        QVERIFY(Load("/echo/lune-Lune-lune-LUNE"));
        std::pair<int, int> found{-1, -1};
        Frm->WB->FindText(row[0].toString(), false, row[1].toBool(),
                          [&found](int active, int matches) {
                              found = {active, matches};
                          });
        const int matches = row[2].toInt();
        QTRY_COMPARE_WITH_TIMEOUT(found, std::make_pair(matches > 0 ? 1 : 0, matches), kWaitMs);
    }

    // The window's zoom holds for the next pages, on this site and on another one.
    void zoomKept_data() {
        Table<QString>({{"same site", "127.0.0.1"}, {"other site", "localhost"}});
    }
    void zoomKept() {
        QFETCH(QString, row);
        const auto width = [this] { return Title().section(':', 1).toInt(); }; // in CSS pixels
        Frm->Tools().SetZoom(100);
        QVERIFY(Load("/width"));
        const int plain = width();
        Frm->Tools().SetZoom(150);
        QUrl next = Server.Url("/width?suite");
        next.setHost(row);
        QVERIFY(::Load(*Frm->WB, next.toString()));
        QCOMPARE(Frm->WB->ZoomFactor(), 1.5);
        QTRY_VERIFY_WITH_TIMEOUT(plain > 0 && qAbs(width() - qRound(plain / 1.5)) <= 1, kWaitMs);
    }
};

QTEST_MAIN(TestMainWindowEngine)
#include "tst_mainwindow_engine.moc"
