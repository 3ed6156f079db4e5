#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the engine's tests: no toolkit, POSIX sockets, one
// thread accepting and one per connection, each answered once and closed. Routes give a status,
// headers and a body, or a handler that may write slowly.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testsupport {

struct HttpRequest {
    std::string Method;
    std::string Path; // without the query
    std::string Query;
    std::map<std::string, std::string> Headers; // names lowered
};

struct HttpResponse {
    int Status = 200;
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Body;
};

class HttpServer {
public:
    // Writes the answer on the connection; returns false to stop (the peer went away).
    using Writer = std::function<bool(const std::string& bytes)>;
    using Handler = std::function<HttpResponse(const HttpRequest&)>;
    // Streams a body: called after the head (without Content-Length) has been sent.
    using Streamer = std::function<void(const HttpRequest&, const Writer&)>;

    HttpServer() = default;
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;
    ~HttpServer();

    // Listens on a free port of 127.0.0.1; false when it cannot.
    bool Listen();
    std::string Url(const std::string& path) const;
    int Port() const { return PortNumber; }

    // A path ending in "*" stands for every path that begins with what comes before it.
    void Route(const std::string& path, HttpResponse response);
    void Route(const std::string& path, Handler handler);
    // A body of unknown length, written by streamer, with this head.
    void Stream(const std::string& path, HttpResponse head, Streamer streamer);

    // The paths asked for so far, as asked (with the query), in order.
    std::vector<std::string> Paths() const;

    // An HTML page of this title and body (UTF-8).
    static HttpResponse Html(const std::string& title, const std::string& body);
    // A page answering 401 with a Basic challenge of this realm unless user:password is given.
    static Handler BasicAuth(const std::string& realm, const std::string& user,
                             const std::string& password, HttpResponse granted,
                             HttpResponse refused);

private:
    void Accept();
    void Serve(int connection);

    int Socket = -1;
    int PortNumber = 0;
    bool Stopping = false;
    std::thread Acceptor;
    mutable std::mutex Lock;
    std::vector<std::thread> Connections;
    std::vector<std::string> Asked;
    std::map<std::string, std::pair<Handler, Streamer>> Routes;
};

} // namespace testsupport
