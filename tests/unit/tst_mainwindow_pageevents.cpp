// The web view's events turned into the caption, the status bar text and the progress bar.
#include "browser/BrowserFrm.h"
#include "fakes/FakeWebView.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>

namespace {

std::unique_ptr<platform::WebView> MakeFake(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}

struct Window {
    BrowserFrm frm{MakeFake};
    FakeWebView& web = *static_cast<FakeWebView*>(frm.WB);
    Window() { frm.AppCaption = QStringLiteral("Navigateur Ulmeco"); }
    bool ProgressShown() const { return frm.PBar->isVisibleTo(&frm); }
    QString StatusText() const {
        return frm.StatusBar->findChild<QLabel*>(QStringLiteral("StatusText"))->text();
    }
};

} // namespace

class TestMainWindowPageEvents : public QObject {
    Q_OBJECT
private slots:
    void caption_data() {
        QTest::addColumn<std::optional<QString>>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("title") << std::optional<QString>(QStringLiteral("Relevés de compte"))
                               << QStringLiteral("Relevés de compte - Navigateur Ulmeco");
        QTest::newRow("empty title")
            << std::optional<QString>(QString()) << QStringLiteral("Navigateur Ulmeco");
        QTest::newRow("blank title") << std::optional<QString>(QStringLiteral(" "))
                                     << QStringLiteral("  - Navigateur Ulmeco");
        QTest::newRow("failing read")
            << std::optional<QString>() << QStringLiteral("Navigateur Ulmeco");
    }
    void caption() {
        QFETCH(std::optional<QString>, title);
        QFETCH(QString, caption);
        Window w;
        w.web.RaiseDownloadBegin();
        w.web.Title = title;
        w.web.RaiseNavigateComplete(QStringLiteral("http://127.0.0.1/"));
        QCOMPARE(w.frm.windowTitle(), caption);
        QVERIFY(!w.ProgressShown());
    }

    void firstCaptionBeforeAnyPage() {
        Window w;
        w.frm.UpdateCaption();
        QCOMPARE(w.frm.windowTitle(), QStringLiteral("Navigateur Ulmeco"));
        QVERIFY(!w.ProgressShown());
        QCOMPARE(w.frm.PBar->value(), 0);
    }

    void progressIgnoresMaximumBelowOne_data() {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("maximum");
        QTest::newRow("shown, zero") << true << 0;
        QTest::newRow("shown, negative") << true << -1;
        QTest::newRow("hidden, zero") << false << 0;
        QTest::newRow("hidden, very negative") << false << -2147483647;
    }
    void progressIgnoresMaximumBelowOne() {
        QFETCH(bool, shown);
        QFETCH(int, maximum);
        Window w;
        w.frm.HideProgress();
        if (shown) {
            w.web.RaiseProgressChange(30, 200);
        }
        w.web.RaiseProgressChange(10, maximum);
        QCOMPARE(w.ProgressShown(), shown);
        QCOMPARE(w.frm.PBar->maximum(), shown ? 200 : 100);
        QCOMPARE(w.frm.PBar->value(), shown ? 30 : 0);
    }

    void progressAfterNavigateComplete() {
        Window w;
        w.web.RaiseDownloadBegin();
        w.web.RaiseNavigateComplete();
        QVERIFY(!w.ProgressShown());
        w.web.RaiseProgressChange(50, 100);
        QVERIFY(w.ProgressShown());
        QCOMPARE(w.frm.PBar->maximum(), 100);
        QCOMPARE(w.frm.PBar->value(), 50);
    }

    void progressValueOutOfRangeRefused() {
        Window w;
        w.web.RaiseProgressChange(40, 100);
        w.web.RaiseProgressChange(150, 100);
        QVERIFY(w.ProgressShown());
        QCOMPARE(w.frm.PBar->value(), 40);
        w.web.RaiseProgressChange(60, 100);
        QCOMPARE(w.frm.PBar->value(), 60);
    }

    void downloadShowsAndCompletionHides_data() {
        QTest::addColumn<QString>("ending");
        QTest::newRow("download complete") << QStringLiteral("DownloadComplete");
        QTest::newRow("document complete") << QStringLiteral("DocumentComplete");
        QTest::newRow("Terminé") << QStringLiteral("Terminé");
    }
    void downloadShowsAndCompletionHides() {
        QFETCH(QString, ending);
        Window w;
        w.frm.HideProgress();
        w.web.RaiseProgressChange(70, 100);
        w.web.RaiseDownloadBegin();
        QVERIFY(w.ProgressShown());
        QCOMPARE(w.frm.PBar->value(), 0);
        w.web.RaiseProgressChange(70, 100);
        if (ending == QStringLiteral("DownloadComplete")) {
            w.web.RaiseDownloadComplete();
        } else if (ending == QStringLiteral("DocumentComplete")) {
            w.web.RaiseDocumentComplete();
        } else {
            w.web.RaiseStatusTextChange(ending);
        }
        QVERIFY(!w.ProgressShown());
        QCOMPARE(w.frm.PBar->value(), 0);
    }

    void lowerCaseTermineKeepsProgress() {
        Window w;
        w.web.RaiseProgressChange(70, 100);
        w.web.RaiseStatusTextChange(QStringLiteral("terminé"));
        QVERIFY(w.ProgressShown());
        QCOMPARE(w.frm.PBar->value(), 70);
        QCOMPARE(w.StatusText(), QStringLiteral("terminé"));
    }

    void statusTextAndRememberedLink_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("remembered");
        const QString before = QStringLiteral("http://127.0.0.1/avant.html");
        QTest::newRow("plain address") << "http://127.0.0.1/b.html"
                                       << "http://127.0.0.1/b.html";
        QTest::newRow("secure address") << "https://127.0.0.1/b.html"
                                        << "https://127.0.0.1/b.html";
        QTest::newRow("http alone") << "http"
                                    << "http";
        QTest::newRow("capitalised scheme") << "HTTP://127.0.0.1/b.html" << before;
        QTest::newRow("capitalised secure") << "Https://127.0.0.1/" << before;
        QTest::newRow("shorter than http") << "htt" << before;
        QTest::newRow("javascript") << "javascript:void(0)" << QString();
        QTest::newRow("javascript alone") << "javascript" << QString();
        QTest::newRow("shorter than javascript") << "javascrip" << before;
        QTest::newRow("capitalised javascript") << "JavaScript:ouvrir()" << before;
        QTest::newRow("mail address") << "mailto:compta@127.0.0.1" << before;
        QTest::newRow("empty") << "" << before;
        QTest::newRow("Terminé") << "Terminé" << before;
        QTest::newRow("leading blank") << " http://127.0.0.1/" << before;
    }
    void statusTextAndRememberedLink() {
        QFETCH(QString, text);
        QFETCH(QString, remembered);
        Window w;
        w.web.RaiseStatusTextChange(QStringLiteral("http://127.0.0.1/avant.html"));
        w.web.RaiseStatusTextChange(text);
        QCOMPARE(w.StatusText(), text);
        QCOMPARE(w.frm.LastLinkUrl, remembered);
    }

    void newWindowWithoutRememberedAddressOpens() {
        Window w;
        QVERIFY(!w.web.RaiseNewWindow());
        QVERIFY(w.web.Calls.isEmpty());
    }

    void newWindowAfterPointerLeftStillRedirected_data() {
        QTest::addColumn<QString>("leaving");
        QTest::newRow("empty text") << QString();
        QTest::newRow("Terminé") << QStringLiteral("Terminé");
        QTest::newRow("mail address") << QStringLiteral("mailto:compta@127.0.0.1");
    }
    void newWindowAfterPointerLeftStillRedirected() {
        QFETCH(QString, leaving);
        Window w;
        w.web.RaiseStatusTextChange(QStringLiteral("https://127.0.0.1/fenetre.html"));
        w.web.RaiseStatusTextChange(leaving);
        QVERIFY(w.web.RaiseNewWindow());
        QCOMPARE(w.web.Calls, QStringList{"Navigate(https://127.0.0.1/fenetre.html)"});
        QCOMPARE(w.frm.LastLinkUrl, QStringLiteral("https://127.0.0.1/fenetre.html"));
        // Nothing clears it after use.
        QVERIFY(w.web.RaiseNewWindow());
        QCOMPARE(w.web.Calls.size(), 2);
    }

    void newWindowAfterScriptLinkOpens() {
        Window w;
        w.web.RaiseStatusTextChange(QStringLiteral("http://127.0.0.1/lien.html"));
        w.web.RaiseStatusTextChange(QStringLiteral("javascript:window.open('x')"));
        QVERIFY(!w.web.RaiseNewWindow());
        QVERIFY(w.web.Calls.isEmpty());
    }
};

QTEST_MAIN(TestMainWindowPageEvents)
#include "tst_mainwindow_pageevents.moc"
