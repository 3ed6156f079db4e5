#include "platform/web/XcbOpenGLProbe.h"

#include "platform/x11/XcbReply.h"

#include <xcb/dri3.h>
#include <xcb/glx.h>
#include <xcb/xcb.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::uint32_t GlxVendorName = 1; // GLX_VENDOR

using Connection = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

// The kernel driver of a character device, from its node in /sys; empty when it has none.
std::string KernelDriver(int fd) {
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) {
        return {};
    }
    const std::string link = "/sys/dev/char/" + std::to_string(major(status.st_rdev)) + ":" +
                             std::to_string(minor(status.st_rdev)) + "/device/driver";
    char target[PATH_MAX];
    const ssize_t length = readlink(link.c_str(), target, sizeof target);
    if (length <= 0) {
        return {};
    }
    const std::string path(target, static_cast<std::size_t>(length));
    return path.substr(path.rfind('/') + 1);
}

// The driver of the device DRI3 opens for this client; the descriptors it passes are closed.
std::string Dri3Driver(xcb_connection_t* connection, xcb_dri3_open_cookie_t cookie) {
    const auto reply = OwnReply(xcb_dri3_open_reply(connection, cookie, nullptr));
    if (reply == nullptr) {
        return {};
    }
    const int* fds = xcb_dri3_open_reply_fds(connection, reply.get());
    std::string driver = reply->nfd >= 1 ? KernelDriver(fds[0]) : std::string();
    for (int i = 0; i < reply->nfd; ++i) {
        close(fds[i]);
    }
    return driver;
}

std::string GlxVendor(xcb_connection_t* connection, xcb_glx_query_server_string_cookie_t cookie) {
    const auto reply = OwnReply(xcb_glx_query_server_string_reply(connection, cookie, nullptr));
    if (reply == nullptr) {
        return {};
    }
    std::string vendor(
        xcb_glx_query_server_string_string(reply.get()),
        static_cast<std::size_t>(xcb_glx_query_server_string_string_length(reply.get())));
    vendor = vendor.substr(0, vendor.find('\0')); // counted, and may end with a NUL
    const auto first = vendor.find_first_not_of(" \t\n");
    const auto last = vendor.find_last_not_of(" \t\n");
    return first == std::string::npos ? std::string() : vendor.substr(first, last - first + 1);
}

bool Offers(const xcb_query_extension_reply_t* extension) {
    return extension != nullptr && extension->present != 0;
}

} // namespace

DisplayOpenGL AskDisplayOpenGL() {
    DisplayOpenGL answer;
    int screenNumber = 0;
    const Connection connection(xcb_connect(nullptr, &screenNumber), &xcb_disconnect);
    if (xcb_connection_has_error(connection.get()) != 0 || screenNumber < 0) {
        return answer;
    }
    xcb_connection_t* c = connection.get();
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int skip = screenNumber; screens.rem != 0 && skip > 0; --skip) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        return answer;
    }
    const xcb_window_t root = screens.data->root;

    // Every question asked before the first answer is read: two round trips in all.
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
