#!/usr/bin/env python3
"""Page server of the benchmarks, on 127.0.0.1 and a free port.

/page is a small page whose load event asks for /loaded; /mail is a second, plain page. The server
notes the monotonic clock (CLOCK_MONOTONIC, the clock of time.monotonic()) when /loaded arrives.

Run as a program it prints its port on the first line, then one line "loaded SECONDS" for each
/loaded request. bench/runner.py imports it and waits on PageServer.wait_loaded() instead.
"""

import http.server
import sys
import threading
import time

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

    def __init__(self, on_loaded=None):
        self._lock = threading.Lock()
        self._loaded = threading.Condition(self._lock)
        self._times = []
        self._on_loaded = on_loaded
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                path = self.path.split("?", 1)[0]
                if path == "/loaded":
                    owner._record(time.monotonic())
                    self._send(204, b"", "text/plain")
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
    server = PageServer(on_loaded=lambda when: print(f"loaded {when:.6f}", flush=True))
    print(server.port, flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        pass
    finally:
        server.close()


if __name__ == "__main__":
    sys.exit(main())
