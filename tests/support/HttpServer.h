#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the tests: no toolkit, POSIX sockets, one thread
// accepting and one per connection, each answered once and closed, or held open.
#include <arpa/inet.h>
#include <functional>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace testsupport {
struct HttpRequest {
    std::string Path; // without the query
    std::string Head; // the request line and the headers, as received
};

struct HttpResponse {
    int Status = 200;
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Body;
    // The head (without a length) and the body's start, then never the end: the connection stays
    // open while the server runs.
    bool Held = false;
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
            for (const int connection : Open) // ends the reads that wait on the client
                ::shutdown(connection, SHUT_RDWR);
        }
        ::shutdown(Socket, SHUT_RDWR);
        if (Acceptor.joinable())
            Acceptor.join();
        for (std::thread& thread : Connections) // no more are added once the acceptor ended
            thread.join();
        for (const int connection : Open)
            ::close(connection);
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
                Open.push_back(connection); // closed with the server, so that no number is reused
                if (Stopping)
                    return;
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
        Routes[path] = std::move(handler);
    }
    // The paths asked for so far, with the query, in order.
    std::vector<std::string> Paths() const {
        std::lock_guard<std::mutex> hold(Lock);
        return Asked;
    }
    static HttpResponse Html(const std::string& title, const std::string& body) {
        return {200,
                {{"Content-Type", "text/html; charset=utf-8"}},
                "<!DOCTYPE html><html><head><meta charset=\"utf-8\">" +
                    (title.empty() ? std::string() : "<title>" + title + "</title>") +
                    "</head><body>" + body + "</body></html>"};
    }

private:
    void Serve(int connection) {
        std::string received;
        char buffer[4096];
        for (ssize_t n = 0; received.find("\r\n\r\n") == std::string::npos &&
                            (n = ::recv(connection, buffer, sizeof buffer, 0)) > 0;)
            received.append(buffer, std::size_t(n));
        const std::size_t space = received.find(' '), end = received.find(' ', space + 1);
        if (end == std::string::npos)
            return;
        const std::string target = received.substr(space + 1, end - space - 1);
        const HttpRequest request{target.substr(0, target.find('?')), received};
        Handler handler = [](const HttpRequest&) { return HttpResponse{404, {}, ""}; };
        {
            std::lock_guard<std::mutex> hold(Lock);
            Asked.push_back(target);
            for (const auto& [path, routed] : Routes)
                if (path == request.Path ||
                    (path.ends_with('*') &&
                     request.Path.starts_with(path.substr(0, path.size() - 1))))
                    handler = routed;
        }
        const HttpResponse response = handler(request);
        std::string head = "HTTP/1.1 " + std::to_string(response.Status) +
                           (response.Status == 200 ? " OK" : " Error") +
                           "\r\nConnection: close\r\n";
        for (const auto& [name, value] : response.Headers)
            head += name + ": " + value + "\r\n";
        if (!response.Held)
            head += "Content-Length: " + std::to_string(response.Body.size()) + "\r\n";
        const std::string bytes = head + "\r\n" + response.Body;
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(connection, &bytes[sent], bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += std::size_t(n);
        }
        if (!response.Held)
            ::shutdown(connection, SHUT_WR);
    }

    int Socket = -1, PortNumber = 0;
    bool Stopping = false;
    std::thread Acceptor;
    mutable std::mutex Lock;
    std::vector<std::thread> Connections;
    std::vector<int> Open; // the connections accepted
    std::vector<std::string> Asked;
    std::map<std::string, Handler> Routes;
};

} // namespace testsupport
