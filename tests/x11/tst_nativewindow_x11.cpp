// The main window on the real engine, composed through OpenGL as with a graphics card: it gets
// one native window, made once, and keeps the maximized state the placement gave it before it
// was shown.
#include "browser/BrowserFrm.h"
#include "support/ShownWebView.h"

#include <QTest>
#include <QWindow>
#include <algorithm>

namespace {

// Counts the native windows Qt makes for a widget.
class NativeWindows : public QObject {
public:
    explicit NativeWindows(QWidget& window) { window.installEventFilter(this); }
    int Made = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WinIdChange) {
            ++Made;
        }
        return false;
    }
};

} // namespace

class TestNativeWindowX11 : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private slots:
    void madeOnceAndStaysMaximized() {
        BrowserFrm frm; // the real web view
        NativeWindows native(frm);
        // The engine's render widget is there before the window has a native window.
        const QList<QWidget*> inside = frm.WB->findChildren<QWidget*>();
        QVERIFY(std::any_of(inside.begin(), inside.end(),
                            [](const QWidget* w) { return w->inherits("QQuickWidget"); }));
        QCOMPARE(native.Made, 0);

        // As at start-up, the placement gives a state before the window shows, which makes the
        // native window.
        frm.setWindowState(Qt::WindowMaximized);
        QCOMPARE(native.Made, 1);
        const WId made = frm.winId();
        // Then the home page is asked for, and the window shown.
        frm.WB->Navigate(QStringLiteral("data:text/html,<title>Accueil</title>"));

        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QTest::qWait(300);
        QCOMPARE(native.Made, 1);
        QCOMPARE(frm.winId(), made);
        QVERIFY(frm.windowState() & Qt::WindowMaximized);
        QVERIFY(frm.windowHandle()->windowStates() & Qt::WindowMaximized);
    }
};

QTEST_MAIN(TestNativeWindowX11)
#include "tst_nativewindow_x11.moc"
