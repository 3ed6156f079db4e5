#!/usr/bin/env python3
"""Page server of the benchmarks, on 127.0.0.1 and a free port.

/page is a small page whose load event asks for /loaded, and which asks for /painted once the first
frame after the load event has been drawn (a timer set from an animation frame callback runs after
that frame's paint); /mail is a second, plain page. The server notes the monotonic clock
(CLOCK_MONOTONIC, the clock of time.monotonic()) when /loaded and /painted arrive.
/soak/N (N from 1) is a page that, once loaded and painted, goes on to /soak/N+1 by script, up to
the count given by /soak/N?last=COUNT; the server notes each /soak/N request.
/features.html (bench/features.html) tests which web features the engine has and sends the
results as the query of a /features request (name=1 or name=0 for each, and ua, the engine's
user agent); the server keeps each report.

Run as a program it prints its port on the first line, then one line "loaded SECONDS" or
"painted SECONDS" for each /loaded or /painted request and one line "features QUERY" for each report. bench/runner.py and
bench/features.py import it and wait on PageServer.wait_loaded() and wait_features() instead.
"""

import http.server
import os
import sys
import threading
import time
import urllib.parse

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "features.html"), "rb") as _f:
    FEATURES = _f.read()

PAGE = b"""<!DOCTYPE html>
<html lang="fr"><head><meta charset="utf-8"><title>Page de mesure</title></head>
<body>
<h1>Page de mesure</h1>
<p>Une page courte, avec un peu de texte et un lien vers la <a href="/mail">messagerie</a>.</p>
<script>
window.onload = function () {
    fetch("/loaded", {cache: "no-store"});
    requestAnimationFrame(function () {
        setTimeout(function () { fetch("/painted", {cache: "no-store"}); }, 0);
    });
};
</script>
</body></html>
"""

MAIL = b"""<!DOCTYPE html>
<html lang="fr"><head><meta charset="utf-8"><title>Messagerie</title></head>
<body><p>Messagerie de mesure.</p></body></html>
"""

# One page of the soak: a little text and a link, like /page, and a script that goes on to the
# next page after the load event and the first frame drawn after it.
SOAK = """<!DOCTYPE html>
<html lang="fr"><head><meta charset="utf-8"><title>Page {n}</title></head>
<body>
<h1>Page {n}</h1>
<p>Une page parmi d'autres, avec un peu de texte et un lien vers la <a href="/mail">messagerie</a>.
</p>
<script>
window.onload = function () {{
    if ({n} >= {last}) return;
    requestAnimationFrame(function () {{
        setTimeout(function () {{ location.href = "/soak/{following}?last={last}"; }}, 0);
    }});
}};
</script>
</body></html>
"""


class PageServer:
    """Serves the pages from a thread and records the time of each /loaded request."""

    def __init__(self, on_loaded=None, on_features=None):
        self._lock = threading.Lock()
        self._loaded = threading.Condition(self._lock)
        self._times = {"loaded": [], "painted": []}
        self._soak = 0  # the highest /soak/N asked for
        self._reports = []
        self._on_loaded = on_loaded
        self._on_features = on_features
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                path, _, query = self.path.partition("?")
                if path in ("/loaded", "/painted"):
                    owner._record(path[1:], time.monotonic())
                    self._send(204, b"", "text/plain")
                elif path.startswith("/soak/") and path[6:].isdigit():
                    n = int(path[6:])
                    last = int(dict(urllib.parse.parse_qsl(query)).get("last", n))
                    owner._soaked(n)
                    page = SOAK.format(n=n, last=last, following=n + 1)
                    self._send(200, page.encode(), "text/html; charset=utf-8")
                elif path == "/features":
                    owner._report(query)
                    self._send(204, b"", "text/plain")
                elif path == "/features.html":
                    self._send(200, FEATURES, "text/html; charset=utf-8")
                elif path == "/page":
                    self._send(200, PAGE, "text/html; charset=utf-8")
                elif path == "/mail":
                    self._send(200, MAIL, "text/html; charset=utf-8")
                else:
                    self._send(404, b"", "text/plain")

            def _send(self, status, body, kind):
                self.send_response(status)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Cache-Control", "no-store")
                self.end_headers()
                if body:
                    self.wfile.write(body)

            def log_message(self, *args):
                pass

        self._httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self._httpd.daemon_threads = True
        self.port = self._httpd.server_address[1]
        self._thread = threading.Thread(target=self._httpd.serve_forever, daemon=True)
        self._thread.start()

    def _record(self, event, when):
        with self._loaded:
            self._times[event].append(when)
            self._loaded.notify_all()
        if self._on_loaded:
            self._on_loaded(event, when)

    def _soaked(self, n):
        with self._loaded:
            self._soak = max(self._soak, n)
            self._loaded.notify_all()

    def soak_reached(self):
        """The highest soak page asked for so far (0 before the first)."""
        with self._lock:
            return self._soak

    def wait_soak(self, at_least, timeout):
        """The highest soak page asked for, once it is at least `at_least` or `timeout`
        seconds have passed."""
        with self._loaded:
            self._loaded.wait_for(lambda: self._soak >= at_least, timeout)
            return self._soak

    def reset_soak(self):
        with self._lock:
            self._soak = 0

    def _report(self, query):
        report = dict(urllib.parse.parse_qsl(query, keep_blank_values=True))
        with self._loaded:
            self._reports.append(report)
            self._loaded.notify_all()
        if self._on_features:
            self._on_features(query)

    def features_mark(self):
        """The number of feature reports so far, to wait for a later one."""
        with self._lock:
            return len(self._reports)

    def wait_features(self, after, timeout):
        """The first feature report after features_mark() returned `after`, as a dict of the
        query's fields ("1"/"0" for each feature, "ua"), or None when none came in time."""
        with self._loaded:
            if not self._loaded.wait_for(lambda: len(self._reports) > after, timeout):
                return None
            return self._reports[after]

    def mark(self, event="loaded"):
        """The number of /loaded (or /painted) requests so far, to wait for a later one."""
        with self._lock:
            return len(self._times[event])

    def wait_loaded(self, after, timeout, event="loaded"):
        """The monotonic time of the first /loaded (or /painted) request after mark() returned
        `after`, or None when none came within `timeout` seconds."""
        times = self._times[event]
        with self._loaded:
            if not self._loaded.wait_for(lambda: len(times) > after, timeout):
                return None
            return times[after]

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def close(self):
        self._httpd.shutdown()
        self._httpd.server_close()


def main():
    server = PageServer(on_loaded=lambda event, when: print(f"{event} {when:.6f}", flush=True),
                        on_features=lambda query: print(f"features {query}", flush=True))
    print(server.port, flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        pass
    finally:
        server.close()


if __name__ == "__main__":
    sys.exit(main())
