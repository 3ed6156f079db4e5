#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the tests, HTTPS when given a certificate: libsoup's
// server on a thread of its own with its own main context, so that it answers while the test's
// main loop is blocked or busy.
#include <libsoup/soup.h>

#include <atomic>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <strings.h>
#include <thread>
#include <vector>

namespace testsupport {
struct Caseless { // header names, which compare without regard to case
    bool operator()(const std::string& a, const std::string& b) const {
        return ::strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

struct HttpRequest {
    std::string Path; // without the query
    std::map<std::string, std::string, Caseless> Headers;
};

struct HttpResponse {
    int Status = 200;
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Body;
    // The head (without a length) and the body's start, then never the end while the server runs.
    bool Held = false;
};

class HttpServer {
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    ~HttpServer() { // then the thread is joined, before any other member goes
        Stopping = true;
        g_main_context_wakeup(Context.get());
    }

    // On a free port of 127.0.0.1, HTTPS with the certificate given; false when it cannot.
    bool Listen(GTlsCertificate* certificate = nullptr) {
        std::promise<int> bound;
        Thread = std::jthread([this, certificate, &bound] {
            g_main_context_push_thread_default(Context.get());
            SoupServer* server = soup_server_new("tls-certificate", certificate, nullptr);
            soup_server_add_handler(server, nullptr, Answer, this, nullptr);
            const int https = certificate != nullptr ? SOUP_SERVER_LISTEN_HTTPS : 0;
            const auto options = SoupServerListenOptions(SOUP_SERVER_LISTEN_IPV4_ONLY | https);
            soup_server_listen_local(server, 0, options, nullptr); // else no address, no port
            GSList* uris = soup_server_get_uris(server);
            bound.set_value(uris != nullptr ? g_uri_get_port(static_cast<GUri*>(uris->data)) : 0);
            g_slist_free_full(uris, GDestroyNotify(g_uri_unref));
            while (!Stopping)
                g_main_context_iteration(Context.get(), TRUE);
            g_object_unref(server); // closes every connection, those held too
            g_main_context_pop_thread_default(Context.get());
        });
        Scheme = certificate != nullptr ? "https" : "http";
        return (PortNumber = bound.get_future().get()) > 0;
    }
    std::string Url(const std::string& path) const {
        return Scheme + "://127.0.0.1:" + std::to_string(PortNumber) + path;
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
    // On the server's thread: the request answered by its route, 404 without one.
    static void Answer(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                       gpointer self) {
        auto* server = static_cast<HttpServer*>(self);
        HttpRequest request{path, {}};
        SoupMessageHeadersIter headers;
        soup_message_headers_iter_init(&headers, soup_server_message_get_request_headers(message));
        for (const char *name, *value; soup_message_headers_iter_next(&headers, &name, &value);)
            request.Headers.emplace(name, value);
        const char* query = g_uri_get_query(soup_server_message_get_uri(message));
        Handler handler = [](const HttpRequest&) { return HttpResponse{404, {}, ""}; };
        {
            std::lock_guard<std::mutex> hold(server->Lock);
            server->Asked.push_back(request.Path + (query ? std::string("?") + query : ""));
            for (const auto& [routed, answer] : server->Routes)
                if (routed == request.Path ||
                    (routed.ends_with('*') &&
                     request.Path.starts_with(routed.substr(0, routed.size() - 1))))
                    handler = answer;
        }
        const HttpResponse reply = handler(request);
        soup_server_message_set_status(message, guint(reply.Status), nullptr);
        SoupMessageHeaders* head = soup_server_message_get_response_headers(message);
        for (const auto& [name, value] : reply.Headers)
            soup_message_headers_append(head, name.c_str(), value.c_str());
        SoupMessageBody* body = soup_server_message_get_response_body(message);
        soup_message_body_append(body, SOUP_MEMORY_COPY, reply.Body.data(), reply.Body.size());
        if (reply.Held)
            soup_message_headers_set_encoding(head, SOUP_ENCODING_CHUNKED);
        else
            soup_message_body_complete(body);
    }

    std::unique_ptr<GMainContext, decltype(&g_main_context_unref)> Context{g_main_context_new(),
                                                                           g_main_context_unref};
    std::atomic<bool> Stopping = false;
    std::string Scheme;
    int PortNumber = 0;
    mutable std::mutex Lock;
    std::vector<std::string> Asked;
    std::map<std::string, Handler> Routes;
    std::jthread Thread; // last: joined first
};

} // namespace testsupport
