// WM_CLASS of a real top-level widget, read back from the X server, and the instance search
// finding that widget.
#include "app/FindWindowLike.h"
#include "platform/WindowClass.h"
#include "platform/XcbWindowTree.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <QWidget>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

// WM_CLASS of a window as another client reads it.
QList<QByteArray> WmClass(WId window) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, static_cast<xcb_window_t>(window),
                                                XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 1024),
                               nullptr),
        &std::free);
    QByteArray value;
    if (reply)
        value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           xcb_get_property_value_length(reply.get()));
    xcb_disconnect(connection);
    return value.split('\0');
}

const QByteArray Class = "ThunderRT6FormDC";

// A widget whose native window can be thrown away, as Qt does for some changes.
class RecreatableWidget : public QWidget {
public:
    using QWidget::destroy;
};

} // namespace

class TestWindowClass : public QObject {
    Q_OBJECT

    QList<QByteArray> Expected() const {
        return {QFileInfo(QCoreApplication::applicationFilePath()).fileName().toLocal8Bit(), Class,
                QByteArray()};
    }

private slots:
    void classIsKeptThroughShowAndRecreation() {
        const QString applicationName = QCoreApplication::applicationName();
        RecreatableWidget window;
        platform::SetWindowClass(&window, Class.constData());
        QCOMPARE(WmClass(window.winId()), Expected());

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(WmClass(window.winId()), Expected());
        QCOMPARE(QCoreApplication::applicationName(), applicationName);

        // A new native window, on which Qt writes its own class.
        const WId before = window.winId();
        window.hide();
        window.destroy();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.winId() != before);
        QCOMPARE(WmClass(window.winId()), Expected());
    }

    void setTwiceKeepsTheLastClass() {
        QWidget window;
        platform::SetWindowClass(&window, "Premiere");
        platform::SetWindowClass(&window, Class.constData());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(WmClass(window.winId()), Expected());
    }

    void instanceSearchFindsTheWindow() {
        QWidget window;
        window.setWindowTitle(QString::fromUtf8("Accueil \xc3\xa9t\xc3\xa9 - Navigateur Ulmeco"));
        platform::SetWindowClass(&window, Class.constData());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        platform::XcbWindowTree tree; // a connection of its own, like another process
        QCOMPARE(tree.GetWindowText(static_cast<platform::Hwnd>(window.winId()), 255),
                 window.windowTitle());
        QCOMPARE(BrowserMod1::FindWindowLike(tree, 0, QStringLiteral("*Navigateur Ulmeco"),
                                             QString::fromLatin1(Class)),
                 static_cast<platform::Hwnd>(window.winId()));
        // On Qt's own connection too.
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        QVERIFY(x11 != nullptr);
        platform::XcbWindowTree shared(x11->connection());
        QVERIFY(BrowserMod1::ActivatePreviousInstance(shared));
    }
};

QTEST_MAIN(TestWindowClass)
#include "tst_windowclass.moc"
