#!/usr/bin/env python3
"""The demo portal: plays the operator's web services on 127.0.0.1 for demos
and end-to-end tests. The client never knows it is talking to it.

Every request is answered and, with --log, appended to a JSON-lines log that
end-to-end tests read (method, path, query, headers). Statistics beacons get an
empty 200 (or a 1x1 GIF for the device and event beacons); the address probe
gets "ok"; the reference build's login page is served from portal/pages/.
"""
import argparse
import json
import os
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import urlsplit

HERE = os.path.dirname(os.path.abspath(__file__))
PAGES = os.path.join(HERE, "pages")

# The smallest transparent GIF: what statistics pixels answer.
PIXEL = bytes.fromhex("47494638396101000100800000000000ffffff21f90401000000002c000000000100010000020144003b")

CONTENT_TYPES = {".html": "text/html; charset=utf-8", ".htm": "text/html; charset=utf-8",
                 ".js": "application/javascript", ".css": "text/css", ".png": "image/png",
                 ".json": "application/json", ".gif": "image/gif"}


class Portal(BaseHTTPRequestHandler):
    server_version = "DemoPortal/1.0"
    log_lock = threading.Lock()
    log_path = None

    def record(self):
        if not Portal.log_path:
            return
        parts = urlsplit(self.path)
        entry = {"method": self.command, "path": parts.path, "query": parts.query,
                 "headers": {k: v for k, v in self.headers.items()}}
        with Portal.log_lock, open(Portal.log_path, "a", encoding="utf-8") as log:
            log.write(json.dumps(entry, ensure_ascii=False) + "\n")

    def answer(self, status, body, content_type="text/plain; charset=utf-8", head_only=False):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        if not head_only:
            self.wfile.write(body)

    def page(self, path):
        # Only files inside portal/pages are served.
        full = os.path.realpath(os.path.join(PAGES, path.lstrip("/")))
        if not full.startswith(os.path.realpath(PAGES) + os.sep) or not os.path.isfile(full):
            return None
        with open(full, "rb") as f:
            return f.read(), CONTENT_TYPES.get(os.path.splitext(full)[1], "application/octet-stream")

    def respond(self, head_only=False):
        self.record()
        path = urlsplit(self.path).path
        if path == "/":
            return self.answer(200, b"ok", head_only=head_only)
        if path.endswith(".gif") and path.startswith("/_"):
            return self.answer(200, PIXEL, "image/gif", head_only)
        if path in ("/install.htm", "/active.htm", "/uninstall.htm", "/login.htm"):
            return self.answer(200, b"", head_only=head_only)
        found = self.page(path)
        if found:
            return self.answer(200, found[0], found[1], head_only)
        return self.answer(404, b"not found", head_only=head_only)

    def do_GET(self):
        self.respond()

    def do_HEAD(self):
        self.respond(head_only=True)

    def do_POST(self):
        length = min(int(self.headers.get("Content-Length") or 0), 1 << 20)
        self.rfile.read(length)
        self.respond()

    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser(description="demo portal")
    parser.add_argument("--port", type=int, default=7251)
    parser.add_argument("--log", help="append every request to this JSON-lines file")
    args = parser.parse_args()
    Portal.log_path = args.log
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Portal)
    print(f"portal: http://127.0.0.1:{args.port}/", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
