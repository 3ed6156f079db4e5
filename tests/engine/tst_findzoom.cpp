// Finding text and zooming on the real web view, in the main window, against pages of the local
// test server.
#include "browser/BrowserFrm.h"
#include "browser/FindBar.h"
#include "browser/PageTools.h"
#include "platform/QtWebView.h"
#include "support/ShownWebView.h"
#include "support/TestServer.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {
constexpr int kTimeout = 15000;
// /echo/ shows its path in the page: "lune" four times, twice in lower case.
const QString kFourMoons = QStringLiteral("/echo/lune-Lune-lune-LUNE");
} // namespace

class TestFindZoom : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    TestServer Server;
    std::unique_ptr<BrowserFrm> Frm;
    platform::QtWebView* View = nullptr;

    bool Load(const QString& address) {
        QSignalSpy done(View, &platform::WebView::DownloadComplete);
        View->Navigate(address);
        return done.wait(kTimeout);
    }

    // The width of a /width page in CSS pixels, as its title says: the view's width divided by
    // the zoom.
    int PageWidth() const {
        const QString title = View->DocumentTitle().value_or(QString());
        return title.startsWith("largeur:") ? title.mid(8).toInt() : -1;
    }

    // Finds text with the view's own operation and waits for its answer.
    std::pair<int, int> Find(const QString& text, bool backward, bool matchCase) {
        std::optional<std::pair<int, int>> result;
        View->FindText(text, backward, matchCase, [&result](int active, int matches) {
            result = {active, matches};
        });
        if (!QTest::qWaitFor([&result] { return result.has_value(); }, kTimeout)) {
            return {-1, -1};
        }
        return *result;
    }

private slots:
    void initTestCase() {
        QVERIFY(Server.Listen());
        Frm = std::make_unique<BrowserFrm>(
            [](QWidget* parent) { return platform::CreateWebView(parent, {}); });
        View = static_cast<platform::QtWebView*>(Frm->WB);
        Frm->show();
        QVERIFY(QTest::qWaitForWindowExposed(Frm.get()));
    }

    void cleanupTestCase() { Frm.reset(); }

    void findCountsMatches_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<int>("matches");
        QTest::newRow("any case") << "lune" << false << 4;
        QTest::newRow("case kept") << "lune" << true << 2;
        QTest::newRow("capitals, case kept") << "LUNE" << true << 1;
        QTest::newRow("absent") << "soleil" << false << 0;
    }
    void findCountsMatches() {
        QFETCH(QString, text);
        QFETCH(bool, matchCase);
        QFETCH(int, matches);
        QVERIFY(Load(Server.Url(kFourMoons).toString()));
        const auto [active, count] = Find(text, false, matchCase);
        QCOMPARE(count, matches);
        QCOMPARE(active, matches > 0 ? 1 : 0);
    }

    void findMovesThroughMatches() {
        QVERIFY(Load(Server.Url(kFourMoons).toString()));
        QCOMPARE(Find("lune", false, false), std::make_pair(1, 4));
        QCOMPARE(Find("lune", false, false), std::make_pair(2, 4));
        QCOMPARE(Find("lune", true, false), std::make_pair(1, 4));
        QCOMPARE(Find("lune", true, false), std::make_pair(4, 4));
        View->FindText(QString(), false, false, {});
    }

    void findBarShowsCount() {
        QVERIFY(Load(Server.Url(kFourMoons).toString()));
        browser::FindBar& bar = Frm->Tools().Find();
        Frm->Tools().OpenFindBar();
        bar.Text->setText(QString());
        QTest::keyClicks(bar.Text, QStringLiteral("lune"));
        QTRY_COMPARE_WITH_TIMEOUT(bar.Count->text(), QStringLiteral("4 résultats"), kTimeout);
        bar.MatchCase->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(bar.Count->text(), QStringLiteral("2 résultats"), kTimeout);
        bar.MatchCase->setChecked(false);
        QTest::keyClicks(bar.Text, QStringLiteral("x"));
        QTRY_COMPARE_WITH_TIMEOUT(bar.Count->text(), QStringLiteral("Aucun résultat"), kTimeout);
        bar.Close();
    }

    void zoomScalesPage() {
        Frm->Tools().SetZoom(100);
        QVERIFY(Load(Server.Url("/width").toString()));
        const int plain = PageWidth();
        QVERIFY(plain > 0);
        Frm->Tools().SetZoom(200);
        QCOMPARE(View->ZoomFactor(), 2.0);
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(PageWidth() - plain / 2) <= 1, kTimeout);
    }

    // The window's zoom holds for the next pages, on this site and on another one.
    void zoomKeptAcrossNavigation_data() {
        QTest::addColumn<QString>("host");
        QTest::newRow("same site") << "127.0.0.1";
        QTest::newRow("other site") << "localhost";
    }
    void zoomKeptAcrossNavigation() {
        QFETCH(QString, host);
        Frm->Tools().SetZoom(100);
        QVERIFY(Load(Server.Url("/width").toString()));
        const int plain = PageWidth();
        QVERIFY(plain > 0);
        Frm->Tools().SetZoom(150);
        QUrl next = Server.Url("/width?suite");
        next.setHost(host);
        QVERIFY(Load(next.toString()));
        QCOMPARE(View->ZoomFactor(), 1.5);
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(PageWidth() - qRound(plain / 1.5)) <= 1, kTimeout);
        Frm->Tools().SetZoom(100);
    }
};

QTEST_MAIN(TestFindZoom)
#include "tst_findzoom.moc"
