// WM_CLASS on a widget's native X11 window, and the caption.
#include "qt/platform/WindowClass.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

#include <utility>

namespace platform {
namespace {

constexpr char KeeperName[] = "orvane-window-class";

xcb_connection_t* X11Connection() {
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (application == nullptr)
        return nullptr;
    auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

void Apply(QWidget* window, const QByteArray& className) {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr || !window->testAttribute(Qt::WA_WState_Created))
        return;
    // Two strings, each ending with a NUL: the instance name, then the class name.
    const QByteArray value =
        QFile::encodeName(QFileInfo(QCoreApplication::applicationFilePath()).fileName()) + '\0' +
        className + '\0';
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(window->winId()), XCB_ATOM_WM_CLASS,
                        XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(value.size()),
                        value.constData());
    xcb_flush(connection);
}

// Qt writes its own WM_CLASS whenever it creates the native window: put ours back each time,
// and again just before the window is shown.
class ClassKeeper : public QObject {
public:
    ClassKeeper(QWidget* window, QByteArray className)
        : QObject(window), window_(window), className_(std::move(className)) {
        setObjectName(QLatin1String(KeeperName));
        window->installEventFilter(this);
    }
    void SetClassName(const QByteArray& className) { className_ = className; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ &&
            (event->type() == QEvent::WinIdChange || event->type() == QEvent::Show))
            Apply(window_, className_);
        return false;
    }

private:
    QWidget* window_;
    QByteArray className_;
};

} // namespace

void SetWindowClass(QWidget* window, const char* className) {
    if (window == nullptr || X11Connection() == nullptr)
        return;
    const QByteArray name(className);
    if (auto* keeper =
            window->findChild<ClassKeeper*>(QLatin1String(KeeperName), Qt::FindDirectChildrenOnly))
        keeper->SetClassName(name);
    else
        new ClassKeeper(window, name);
    // A window that has no native window yet gets the class when Qt makes it: asking for one
    // here would make it before the window's controls are known, and Qt would have to make it
    // again once an OpenGL-composed control joins.
    Apply(window, name);
}

void SetCaption(QWidget& window, const QString& caption) {
    // Qt shows "[*][*]" as "[*]" and removes a lone "[*]".
    QString title = caption;
    title.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    window.setWindowTitle(title);
}

} // namespace platform
