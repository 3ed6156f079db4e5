// What the X server tells about its OpenGL, through xcb: the GLX server's vendor and the device
// DRI3 hands out for direct drawing. Nothing here loads an OpenGL library.
#include "platform/x11/XcbReply.h"
#include "qt/platform/Rendering.h"

#include <xcb/dri3.h>
#include <xcb/glx.h>
#include <xcb/xcb.h>

#include <QFileInfo>
#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::uint32_t GlxVendorName = 1; // GLX_VENDOR

using Connection = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

// The kernel driver of a character device, from its node in /sys; empty when it has none.
QByteArray KernelDriver(int fd) {
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) {
        return {};
    }
    const QString link = QStringLiteral("/sys/dev/char/%1:%2/device/driver")
                             .arg(major(status.st_rdev))
                             .arg(minor(status.st_rdev));
    const QString target = QFileInfo(link).symLinkTarget();
    return target.isEmpty() ? QByteArray() : QFileInfo(target).fileName().toUtf8();
}

// The driver of the device DRI3 opens for this client; the descriptors it passes are closed.
QByteArray Dri3Driver(xcb_connection_t* connection, xcb_dri3_open_cookie_t cookie) {
    const auto reply = OwnReply(xcb_dri3_open_reply(connection, cookie, nullptr));
    if (reply == nullptr) {
        return {};
    }
    const int* fds = xcb_dri3_open_reply_fds(connection, reply.get());
    QByteArray driver = reply->nfd >= 1 ? KernelDriver(fds[0]) : QByteArray();
    for (int i = 0; i < reply->nfd; ++i) {
        close(fds[i]);
    }
    return driver;
}

QByteArray GlxVendor(xcb_connection_t* connection, xcb_glx_query_server_string_cookie_t cookie) {
    const auto reply = OwnReply(xcb_glx_query_server_string_reply(connection, cookie, nullptr));
    if (reply == nullptr) {
        return {};
    }
    const QByteArray vendor(xcb_glx_query_server_string_string(reply.get()),
                            xcb_glx_query_server_string_string_length(reply.get()));
    const qsizetype end = vendor.indexOf('\0'); // counted, and may end with a NUL
    return (end < 0 ? vendor : vendor.first(end)).trimmed();
}

bool Offers(const xcb_query_extension_reply_t* extension) {
    return extension != nullptr && extension->present != 0;
}

} // namespace

DisplayOpenGL AskDisplayOpenGL() {
    DisplayOpenGL answer;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb")) {
        return answer;
    }
    int screenNumber = 0;
    const Connection connection(xcb_connect(nullptr, &screenNumber), &xcb_disconnect);
    if (xcb_connection_has_error(connection.get()) != 0 || screenNumber < 0) {
        return answer;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int skip = screenNumber; screens.rem != 0 && skip > 0; --skip) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        return answer;
    }
    const xcb_window_t root = screens.data->root;
    xcb_connection_t* c = connection.get();

    // Every question asked before the first answer is read: two round trips in all.
    // The extensions' data is kept by the connection for their requests.
    xcb_prefetch_extension_data(c, &xcb_glx_id);
    xcb_prefetch_extension_data(c, &xcb_dri3_id);
    const auto dri2 = xcb_query_extension(c, 4, "DRI2");
    const bool hasGlx = Offers(xcb_get_extension_data(c, &xcb_glx_id));
    answer.Dri3 = Offers(xcb_get_extension_data(c, &xcb_dri3_id));
    answer.Dri2 = Offers(OwnReply(xcb_query_extension_reply(c, dri2, nullptr)).get());
    xcb_glx_query_server_string_cookie_t vendor{};
    xcb_dri3_query_version_cookie_t version{};
    xcb_dri3_open_cookie_t device{};
    if (hasGlx) {
        vendor =
            xcb_glx_query_server_string(c, static_cast<std::uint32_t>(screenNumber), GlxVendorName);
    }
    if (answer.Dri3) {
        version = xcb_dri3_query_version(c, 1, 0);
        device = xcb_dri3_open(c, root, 0); // 0: the screen's own provider
    }
    if (hasGlx) {
        answer.GlxVendor = GlxVendor(c, vendor);
    }
    if (answer.Dri3) {
        OwnReply(xcb_dri3_query_version_reply(c, version, nullptr));
        answer.Driver = Dri3Driver(c, device);
    }
    answer.Answered = xcb_connection_has_error(c) == 0;
    return answer;
}

} // namespace platform
