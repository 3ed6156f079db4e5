#!/usr/bin/env python3
"""Page server of the benchmarks, on 127.0.0.1 and a free port.

/page is a small page whose load event asks for /loaded; /mail is a second, plain page. The server
notes the monotonic clock (CLOCK_MONOTONIC, the clock of time.monotonic()) when /loaded arrives.
/features.html (bench/features.html) tests which web features the engine has and sends the
results as the query of a /features request (name=1 or name=0 for each, and ua, the engine's
user agent); the server keeps each report.

Run as a program it prints its port on the first line, then one line "loaded SECONDS" for each
/loaded request and one line "features QUERY" for each report. bench/runner.py and
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
window.onload = function () { fetch("/loaded", {cache: "no-store"}); };
</script>
</body></html>
"""

MAIL = b"""<!DOCTYPE html>
<html lang="fr"><head><meta charset="utf-8"><title>Messagerie</title></head>
<body><p>Messagerie de mesure.</p></body></html>
"""


class PageServer:
    """Serves the pages from a thread and records the time of each /loaded request."""

    def __init__(self, on_loaded=None, on_features=None):
        self._lock = threading.Lock()
        self._loaded = threading.Condition(self._lock)
        self._times = []
        self._reports = []
        self._on_loaded = on_loaded
        self._on_features = on_features
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                path, _, query = self.path.partition("?")
                if path == "/loaded":
                    owner._record(time.monotonic())
                    self._send(204, b"", "text/plain")
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

    def _record(self, when):
        with self._loaded:
            self._times.append(when)
            self._loaded.notify_all()
        if self._on_loaded:
            self._on_loaded(when)

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

    def mark(self):
        """The number of /loaded requests so far, to wait for a later one."""
        with self._lock:
            return len(self._times)

    def wait_loaded(self, after, timeout):
        """The monotonic time of the first /loaded request after mark() returned `after`, or
        None when none came within `timeout` seconds."""
        with self._loaded:
            if not self._loaded.wait_for(lambda: len(self._times) > after, timeout):
                return None
            return self._times[after]

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def close(self):
        self._httpd.shutdown()
        self._httpd.server_close()


def main():
    server = PageServer(on_loaded=lambda when: print(f"loaded {when:.6f}", flush=True),
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
