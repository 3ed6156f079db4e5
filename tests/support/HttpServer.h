#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the tests: no toolkit, POSIX sockets, one thread
// accepting and one per connection, each answered once and closed, or held open.
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
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
    ~HttpServer();

    bool Listen(); // on a free port of 127.0.0.1; false when it cannot
    std::string Url(const std::string& path) const;
    int Port() const { return PortNumber; }

    // A path ending in "*" stands for every path that begins with what comes before it.
    void Route(const std::string& path, HttpResponse response);
    void Route(const std::string& path, Handler handler);
    // Sends the head (without a length) and the body's start, then never the end: the
    // connection stays open until the client gives it up, which Dropped() counts.
    void Hold(const std::string& path, HttpResponse start);

    std::vector<std::string> Paths() const; // asked so far, with the query, in order
    int Dropped() const;

    static HttpResponse Html(const std::string& title, const std::string& body);

private:
    void Serve(int connection);

    int Socket = -1, PortNumber = 0, DroppedCount = 0;
    bool Stopping = false;
    std::thread Acceptor;
    mutable std::mutex Lock;
    std::vector<std::thread> Connections;
    std::vector<std::string> Asked;
    std::map<std::string, std::pair<Handler, bool>> Routes; // bool: held
};

} // namespace testsupport
