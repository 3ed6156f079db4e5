#include "platform/net/TcpProbe.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// Tries one address until the deadline; the socket is closed whatever happens.
bool Connects(const addrinfo& address, Clock::time_point deadline) {
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            address.ai_protocol);
    if (fd < 0) {
        return false;
    }
    bool connected = ::connect(fd, address.ai_addr, address.ai_addrlen) == 0;
    if (!connected && errno == EINPROGRESS) {
        pollfd waiting{fd, POLLOUT, 0};
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            const int ready = ::poll(&waiting, 1, left.count() > 0 ? int(left.count()) : 0);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            int error = 0;
            socklen_t size = sizeof error;
            connected = ready == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 &&
                        error == 0;
            break;
        }
    }
    ::close(fd);
    return connected;
}

} // namespace

bool CanConnect(const std::string& host, int port, int timeoutMs) {
    if (host.empty() || port <= 0 || port > 65535) {
        return false;
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return false;
    }
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, &::freeaddrinfo);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        if (Connects(*address, deadline)) {
            return true;
        }
        if (Clock::now() >= deadline) {
            break;
        }
    }
    return false;
}

} // namespace platform
