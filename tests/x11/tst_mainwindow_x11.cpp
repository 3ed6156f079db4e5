// The main window as other X11 clients see it: its class and its caption, read with xprop.
#include "browser/BrowserFrm.h"
#include "fakes/FakeWebView.h"
#include "support/ShownWebView.h"

#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

std::unique_ptr<platform::WebView> MakeFake(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}

QString Xprop(const QWidget& window, const QStringList& properties) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                QStringList{QStringLiteral("-id"), QString::number(window.winId())} + properties);
    if (!xprop.waitForFinished(10000) || xprop.exitCode() != 0) {
        return QStringLiteral("xprop failed: ") + QString::fromUtf8(xprop.readAllStandardError());
    }
    return QString::fromUtf8(xprop.readAllStandardOutput());
}

} // namespace

class TestMainWindowX11 : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private slots:
    void classAndCaptionSeenFromOutside_data() {
        QTest::addColumn<std::optional<QString>>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no page yet") << std::optional<QString>() << "Navigateur Ulmeco";
        QTest::newRow("page title") << std::optional<QString>(QStringLiteral("Relevés de compte"))
                                    << "Relevés de compte - Navigateur Ulmeco";
        // Qt reads "[*]" in a window title as the place of its modified mark.
        QTest::newRow("[*] in the title")
            << std::optional<QString>(QStringLiteral("Offre [*] 2025"))
            << "Offre [*] 2025 - Navigateur Ulmeco";
        QTest::newRow("[*][*] in the title") << std::optional<QString>(QStringLiteral("[*][*]x[*]"))
                                             << "[*][*]x[*] - Navigateur Ulmeco";
    }
    void classAndCaptionSeenFromOutside() {
        QFETCH(std::optional<QString>, title);
        QFETCH(QString, caption);
        BrowserFrm frm(MakeFake);
        frm.AppCaption = QStringLiteral("Navigateur Ulmeco");
        static_cast<FakeWebView*>(frm.WB)->Title = title;
        frm.UpdateCaption();
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));

        const QString wmClass = Xprop(frm, {QStringLiteral("WM_CLASS")});
        QVERIFY2(wmClass.contains(QStringLiteral(", \"ThunderRT6FormDC\"")), qPrintable(wmClass));

        const QString expected = QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"%1\"").arg(caption);
        QTRY_VERIFY2(Xprop(frm, {QStringLiteral("_NET_WM_NAME")}).trimmed() == expected,
                     qPrintable(Xprop(frm, {QStringLiteral("_NET_WM_NAME")})));
    }

    void captionFollowsNavigation() {
        BrowserFrm frm(MakeFake);
        frm.AppCaption = QStringLiteral("Navigateur Ulmeco");
        frm.UpdateCaption();
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        auto* web = static_cast<FakeWebView*>(frm.WB);
        web->Title = QStringLiteral("Accueil");
        web->RaiseNavigateComplete();
        QTRY_VERIFY2(Xprop(frm, {QStringLiteral("_NET_WM_NAME")})
                         .contains(QStringLiteral("\"Accueil - Navigateur Ulmeco\"")),
                     qPrintable(Xprop(frm, {QStringLiteral("_NET_WM_NAME")})));
    }

    // A picture of the window at its design size, frame included, for people to look at:
    // written to the file ORVANE_SCREENSHOT names (scripts/screenshot-main), skipped otherwise.
    void screenshot() {
        const QString path = qEnvironmentVariable("ORVANE_SCREENSHOT");
        if (path.isEmpty()) {
            QSKIP("ORVANE_SCREENSHOT names no file");
        }
        BrowserFrm frm;
        frm.AppCaption = QStringLiteral("Navigateur Ulmeco");
        frm.UpdateCaption();
        frm.move(40, 40);
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QSignalSpy loaded(frm.WB, &platform::WebView::DocumentComplete);
        frm.WB->Navigate(QStringLiteral(
            "data:text/html;charset=utf-8,<html><head><title>Accueil</title></head>"
            "<body style='font-family:sans-serif;margin:24px'><h1>Bienvenue</h1>"
            "<p>Relev%C3%A9s de compte, factures et <a href='http://127.0.0.1/'>messagerie</a>."
            "</p></body></html>"));
        QVERIFY(loaded.wait(30000));
        // A download under way and a link under the pointer.
        frm.WB_ProgressChange(60, 100);
        frm.WB_StatusTextChange(QStringLiteral("http://127.0.0.1:8080/factures.html"));
        // Let the window manager frame the window and everything paint.
        QTRY_VERIFY_WITH_TIMEOUT(frm.frameGeometry() != frm.geometry(), 5000);
        QTest::qWait(1000);
        const QRect frame = frm.frameGeometry();
        const QImage shot = frm.screen()
                                ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                                .toImage();
        QVERIFY(!shot.isNull());
        QVERIFY(shot.save(path));
    }
};

QTEST_MAIN(TestMainWindowX11)
#include "tst_mainwindow_x11.moc"
