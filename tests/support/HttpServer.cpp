#include "support/HttpServer.h"

#include <arpa/inet.h>
#include <cctype>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

const char* Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string Base64(const std::string& in) {
    static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        const unsigned v =
            (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8 | (unsigned char)in[i + 2];
        out += {table[v >> 18], table[(v >> 12) & 63], table[(v >> 6) & 63], table[v & 63]};
    }
    if (i + 1 == in.size()) {
        const unsigned v = (unsigned char)in[i] << 16;
        out += {table[v >> 18], table[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == in.size()) {
        const unsigned v = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8;
        out += {table[v >> 18], table[(v >> 12) & 63], table[(v >> 6) & 63], '='};
    }
    return out;
}

std::string Head(const HttpResponse& response, bool withLength) {
    std::string head = "HTTP/1.1 " + std::to_string(response.Status) + " " +
                       Reason(response.Status) + "\r\nConnection: close\r\n";
    for (const auto& [name, value] : response.Headers) {
        head += name + ": " + value + "\r\n";
    }
    if (withLength) {
        head += "Content-Length: " + std::to_string(response.Body.size()) + "\r\n";
    }
    return head + "\r\n";
}

} // namespace

HttpServer::~HttpServer() {
    {
        std::lock_guard<std::mutex> hold(Lock);
        Stopping = true;
    }
    if (Socket >= 0) {
        ::shutdown(Socket, SHUT_RDWR);
    }
    if (Acceptor.joinable()) {
        Acceptor.join();
    }
    std::vector<std::thread> left;
    {
        std::lock_guard<std::mutex> hold(Lock);
        left.swap(Connections);
    }
    for (std::thread& thread : left) {
        thread.join();
    }
    if (Socket >= 0) {
        ::close(Socket);
    }
}

bool HttpServer::Listen() {
    Socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (Socket < 0 || ::bind(Socket, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(Socket, 64) != 0 ||
        ::getsockname(Socket, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return false;
    }
    PortNumber = ntohs(address.sin_port);
    Acceptor = std::thread([this] { Accept(); });
    return true;
}

std::string HttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(PortNumber) + path;
}

void HttpServer::Route(const std::string& path, HttpResponse response) {
    Route(path, [response](const HttpRequest&) { return response; });
}

void HttpServer::Route(const std::string& path, Handler handler) {
    std::lock_guard<std::mutex> hold(Lock);
    Routes[path] = {std::move(handler), nullptr};
}

void HttpServer::Stream(const std::string& path, HttpResponse head, Streamer streamer) {
    std::lock_guard<std::mutex> hold(Lock);
    Routes[path] = {[head](const HttpRequest&) { return head; }, std::move(streamer)};
}

std::vector<std::string> HttpServer::Paths() const {
    std::lock_guard<std::mutex> hold(Lock);
    return Asked;
}

HttpResponse HttpServer::Html(const std::string& title, const std::string& body) {
    return {200,
            {{"Content-Type", "text/html; charset=utf-8"}},
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\">" +
                (title.empty() ? std::string() : "<title>" + title + "</title>") + "</head><body>" +
                body + "</body></html>"};
}

HttpServer::Handler HttpServer::BasicAuth(const std::string& realm, const std::string& user,
                                          const std::string& password, HttpResponse granted,
                                          HttpResponse refused) {
    const std::string expected = "Basic " + Base64(user + ":" + password);
    return [=](const HttpRequest& request) {
        const auto given = request.Headers.find("authorization");
        if (given != request.Headers.end() && given->second == expected) {
            return granted;
        }
        HttpResponse challenge = refused;
        challenge.Status = 401;
        challenge.Headers.push_back({"WWW-Authenticate", "Basic realm=\"" + realm + "\""});
        return challenge;
    };
}

void HttpServer::Accept() {
    while (true) {
        const int connection = ::accept4(Socket, nullptr, nullptr, SOCK_CLOEXEC);
        std::lock_guard<std::mutex> hold(Lock);
        if (connection < 0 || Stopping) {
            if (connection >= 0) {
                ::close(connection);
            }
            return;
        }
        Connections.emplace_back([this, connection] { Serve(connection); });
    }
}

void HttpServer::Serve(int connection) {
    std::string received;
    char buffer[4096];
    while (received.find("\r\n\r\n") == std::string::npos && received.size() < 1 << 20) {
        pollfd wait{connection, POLLIN, 0};
        if (::poll(&wait, 1, 200) == 0) {
            std::lock_guard<std::mutex> hold(Lock);
            if (Stopping) {
                break;
            }
            continue;
        }
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
    HttpRequest request;
    const std::size_t lineEnd = received.find("\r\n");
    const std::string line = received.substr(0, lineEnd);
    const std::size_t space = line.find(' ');
    const std::size_t second = line.find(' ', space + 1);
    if (lineEnd == std::string::npos || space == std::string::npos) {
        ::close(connection);
        return;
    }
    request.Method = line.substr(0, space);
    const std::string target = line.substr(space + 1, second - space - 1);
    request.Path = target.substr(0, target.find('?'));
    request.Query =
        target.find('?') == std::string::npos ? "" : target.substr(target.find('?') + 1);
    std::size_t at = lineEnd + 2;
    while (at < received.size()) {
        const std::size_t end = received.find("\r\n", at);
        if (end == std::string::npos || end == at) {
            break;
        }
        const std::string header = received.substr(at, end - at);
        const std::size_t colon = header.find(':');
        if (colon != std::string::npos) {
            request.Headers[Lower(header.substr(0, colon))] =
                header.substr(header.find_first_not_of(' ', colon + 1));
        }
        at = end + 2;
    }
    std::pair<Handler, Streamer> route;
    {
        std::lock_guard<std::mutex> hold(Lock);
        Asked.push_back(target);
        auto found = Routes.find(request.Path);
        for (auto r = Routes.begin(); found == Routes.end() && r != Routes.end(); ++r) {
            const std::string& key = r->first;
            if (key.ends_with('*') && request.Path.starts_with(key.substr(0, key.size() - 1))) {
                found = r;
            }
        }
        if (found != Routes.end()) {
            route = found->second;
        }
    }
    if (!route.first) {
        WriteAll(connection,
                 Head({404, {{"Content-Type", "text/plain"}}, "absent"}, true) + "absent");
    } else if (route.second) {
        if (WriteAll(connection, Head(route.first(request), false))) {
            route.second(request, [this, connection](const std::string& bytes) {
                {
                    std::lock_guard<std::mutex> hold(Lock);
                    if (Stopping) {
                        return false;
                    }
                }
                return WriteAll(connection, bytes);
            });
        }
    } else {
        const HttpResponse response = route.first(request);
        WriteAll(connection, Head(response, true) + response.Body);
    }
    ::shutdown(connection, SHUT_WR);
    ::close(connection);
}

} // namespace testsupport
