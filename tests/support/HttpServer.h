#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the tests: no toolkit, POSIX sockets, one thread
// accepting and one per connection, each answered once and closed, or held open.
#include <arpa/inet.h>
#include <cctype>
#include <functional>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace testsupport {
struct HttpRequest {
    std::string Path;                           // without the query
    std::map<std::string, std::string> Headers; // names lowered
};

struct HttpResponse {
    int Status = 200;
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Body;
};

class HttpServer {
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    HttpServer() = default;
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;
    ~HttpServer() {
        {
            std::lock_guard<std::mutex> hold(Lock);
            Stopping = true;
        }
        ::shutdown(Socket, SHUT_RDWR);
        if (Acceptor.joinable())
            Acceptor.join();
        for (std::thread& thread : Connections) // no more are added once the acceptor ended
            thread.join();
        ::close(Socket);
    }

    // On a free port of 127.0.0.1; false when it cannot.
    bool Listen() {
        Socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        auto* any = reinterpret_cast<sockaddr*>(&address);
        if (Socket < 0 || ::bind(Socket, any, size) != 0 || ::listen(Socket, 64) != 0 ||
            ::getsockname(Socket, any, &size) != 0)
            return false;
        PortNumber = ntohs(address.sin_port);
        Acceptor = std::thread([this] {
            for (int connection;
                 (connection = ::accept4(Socket, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
                std::lock_guard<std::mutex> hold(Lock);
                if (Stopping) {
                    ::close(connection);
                    return;
                }
                Connections.emplace_back([this, connection] { Serve(connection); });
            }
        });
        return true;
    }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(PortNumber) + path;
    }
    int Port() const { return PortNumber; }

    // A path ending in "*" stands for every path that begins with what comes before it.
    void Route(const std::string& path, HttpResponse response) {
        Route(path, [response](const HttpRequest&) { return response; });
    }

    void Route(const std::string& path, Handler handler) {
        std::lock_guard<std::mutex> hold(Lock);
        Routes[path] = {std::move(handler), false};
    }
    // Sends the head (without a length) and the body's start, then never the end: the
    // connection stays open until the client gives it up, which Dropped() counts.
    void Hold(const std::string& path, HttpResponse start) {
        std::lock_guard<std::mutex> hold(Lock);
        Routes[path] = {[start](const HttpRequest&) { return start; }, true};
    }
    // The paths asked for so far, with the query, in order.
    std::vector<std::string> Paths() const {
        std::lock_guard<std::mutex> hold(Lock);
        return Asked;
    }

    int Dropped() const {
        std::lock_guard<std::mutex> hold(Lock);
        return DroppedCount;
    }
    static HttpResponse Html(const std::string& title, const std::string& body) {
        return {200,
                {{"Content-Type", "text/html; charset=utf-8"}},
                "<!DOCTYPE html><html><head><meta charset=\"utf-8\">" +
                    (title.empty() ? std::string() : "<title>" + title + "</title>") +
                    "</head><body>" + body + "</body></html>"};
    }

private:
    static bool WriteAll(int fd, const std::string& bytes) {
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += std::size_t(n);
        }
        return true;
    }

    static std::string Head(const HttpResponse& response, bool withLength) {
        std::string head = "HTTP/1.1 " + std::to_string(response.Status) +
                           (response.Status == 200 ? " OK" : " Error") +
                           "\r\nConnection: close\r\n";
        for (const auto& [name, value] : response.Headers)
            head += name + ": " + value + "\r\n";
        if (withLength)
            head += "Content-Length: " + std::to_string(response.Body.size()) + "\r\n";
        return head + "\r\n";
    }
    void Serve(int connection) {
        // Waits for the client to send (or to go: false), asking now and then whether the server
        // stops.
        const auto readable = [this, connection] {
            for (pollfd wait{connection, POLLIN, 0}; ::poll(&wait, 1, 200) == 0;) {
                std::lock_guard<std::mutex> hold(Lock);
                if (Stopping)
                    return false;
            }
            return true;
        };
        std::string received;
        char buffer[4096];
        ssize_t n = 0;
        while (received.find("\r\n\r\n") == std::string::npos && readable() &&
               (n = ::recv(connection, buffer, sizeof buffer, 0)) > 0)
            received.append(buffer, std::size_t(n));
        const std::size_t space = received.find(' '), end = received.find(' ', space + 1);
        if (space == std::string::npos || end == std::string::npos) {
            ::close(connection);
            return;
        }
        HttpRequest request;
        const std::string target = received.substr(space + 1, end - space - 1);
        request.Path = target.substr(0, target.find('?'));
        for (std::size_t at = received.find("\r\n") + 2, next;
             (next = received.find("\r\n", at)) != std::string::npos && next != at; at = next + 2) {
            const std::string header = received.substr(at, next - at);
            const std::size_t colon = header.find(':');
            if (colon == std::string::npos)
                continue;
            std::string name = header.substr(0, colon);
            for (char& c : name)
                c = char(std::tolower((unsigned char)c));
            request.Headers[name] = header.substr(header.find_first_not_of(' ', colon + 1));
        }
        std::pair<Handler, bool> route;
        {
            std::lock_guard<std::mutex> hold(Lock);
            Asked.push_back(target);
            auto found = Routes.find(request.Path);
            for (auto r = Routes.begin(); found == Routes.end() && r != Routes.end(); ++r)
                if (r->first.ends_with('*') &&
                    request.Path.starts_with(r->first.substr(0, r->first.size() - 1)))
                    found = r;
            if (found != Routes.end())
                route = found->second;
        }
        const HttpResponse response =
            route.first ? route.first(request) : HttpResponse{404, {}, ""};
        if (!route.second) {
            WriteAll(connection, Head(response, true) + response.Body);
        } else if (WriteAll(connection, Head(response, false) + response.Body)) {
            while (readable() && (n = ::recv(connection, buffer, sizeof buffer, 0)) > 0) {
            }
            std::lock_guard<std::mutex> hold(Lock);
            DroppedCount += !Stopping;
        }
        ::shutdown(connection, SHUT_WR);
        ::close(connection);
    }

    int Socket = -1, PortNumber = 0, DroppedCount = 0;
    bool Stopping = false;
    std::thread Acceptor;
    mutable std::mutex Lock;
    std::vector<std::thread> Connections;
    std::vector<std::string> Asked;
    std::map<std::string, std::pair<Handler, bool>> Routes; // bool: held
};

} // namespace testsupport
