#!/usr/bin/env python3
"""A loopback HTTP server for the tests of the uploads and the registration.

Usage:  http_server.py [--host ADDRESS] [--status N] [--body TEXT]... --record DIR

It listens on 127.0.0.1, or on the loopback address given (--host ::1 for IPv6).

Prints "listening PORT" once it accepts connections, then "request N METHOD PATH" for every request, which
it records byte for byte (request line, headers as received, blank line, body) in DIR/N.request, N counting
from 1. It answers with the status N (default 200) and the body TEXT; a path that begins "/status/NNN"
answers with the status NNN instead. --body may be given more than once: the bodies answer the requests in
turn, and the last one answers every request after them.
"""

import argparse
import http.server
import os
import re
import socket
import threading


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    count = 0
    count_lock = threading.Lock()

    def handle_any(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        head = self.requestline + "\r\n" + "".join("%s: %s\r\n" % (k, v) for k, v in self.headers.items()) + "\r\n"
        # One lock numbers, records and prints each request, so lines of concurrent requests never run together
        # and come in the order of their numbers.
        with Handler.count_lock:
            Handler.count += 1
            number = Handler.count
            with open(os.path.join(self.server.record, "%d.request" % number), "wb") as out:
                out.write(head.encode("latin-1") + body)
            print("request %d %s %s" % (number, self.command, self.path), flush=True)

        match = re.match(r"^/status/(\d{3})", self.path)
        status = int(match.group(1)) if match else self.server.status
        bodies = self.server.bodies
        answer = (bodies[min(number, len(bodies)) - 1] if bodies else "").encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Length", str(len(answer)))
        self.end_headers()
        self.wfile.write(answer)

    do_GET = do_POST = do_PUT = handle_any

    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--status", type=int, default=200)
    parser.add_argument("--body", action="append", default=[])
    parser.add_argument("--record", required=True)
    parser.add_argument("--host", default="127.0.0.1")
    options = parser.parse_args()

    class Server(http.server.ThreadingHTTPServer):
        address_family = socket.AF_INET6 if ":" in options.host else socket.AF_INET

    server = Server((options.host, 0), Handler)
    server.status, server.bodies, server.record = options.status, options.body, options.record
    print("listening %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
