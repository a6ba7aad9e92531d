#!/usr/bin/env python3
"""A loopback server that answers every GET and HEAD like the upstream server,
but only after a delay, as a slow or distant server would. Addresses of the
upstream inside the documents it passes on point to itself, so every request
of the program that follows them is slow too.
Usage: delaying-proxy.py PORT UPSTREAM_BASE DELAY_SECONDS"""
import http.server
import sys
import time
import urllib.error
import urllib.request

port = int(sys.argv[1])
upstream = sys.argv[2].rstrip("/")
delay = float(sys.argv[3])
own = f"http://127.0.0.1:{port}"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def forward(self, method):
        time.sleep(delay)
        request = urllib.request.Request(upstream + self.path, method=method)
        try:
            with urllib.request.urlopen(request, timeout=30) as answer:
                status, headers, body = answer.status, answer.headers, answer.read()
        except urllib.error.HTTPError as error:
            status, headers, body = error.code, error.headers, error.read()
        body = body.replace(upstream.encode(), own.encode())
        self.send_response(status)
        for name in ("Content-Type", "Last-Modified"):
            if headers.get(name):
                self.send_header(name, headers[name])
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if method == "GET":
            self.wfile.write(body)

    def do_GET(self):
        self.forward("GET")

    def do_HEAD(self):
        self.forward("HEAD")

    def log_message(self, format, *args):
        sys.stdout.write("%s\n" % (format % args))
        sys.stdout.flush()


http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler).serve_forever()
