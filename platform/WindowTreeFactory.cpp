// The window tree on the running Qt application's X11 connection, when there is one.

#include "platform/XcbWindowTree.h"

#include <QGuiApplication>

namespace platform {

std::unique_ptr<WindowTree> CreateWindowTree() {
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>())
            return std::make_unique<XcbWindowTree>(x11->connection());
    }
    return std::make_unique<XcbWindowTree>();
}

} // namespace platform
