#!/usr/bin/env python3
"""A loopback HTTP (and optionally HTTPS) server for the download component's
tests. Listens on 127.0.0.1 only, on ports the system picks, prints
"PORTS <http> <https>" (0 when no certificate was given), then one line
"REQUEST <method> <path> <user agent>" for each request, and serves until its
standard input closes.

Paths:
  /file/N            N bytes with their Content-Length
  /nolength/N        N bytes, no Content-Length (the connection closes)
  /status/CODE       an error page with its length and the given status
  /redirect/N        N redirects in a row, then /file/100
  /loop              a redirect to itself, for ever
  /stall             announces 1000 bytes, sends 10, then sends nothing
  /drop              announces 1000 bytes, sends 100 and closes
  /length/VALUE/N    "Content-Length: VALUE" and N bytes
  /endless           data without a length, a block every few milliseconds
  /echo              the request: method, a few headers and the body
  /tofile            a redirect to a file:// address
  /tohttp            a redirect to http://127.0.0.1:<http port>/file/100
"""
import argparse
import http.server
import ssl
import sys
import threading
import time

PORTS = {}


def body_of(size):
    pattern = bytes(range(256))
    return (pattern * (size // 256 + 1))[:size]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def answer(self, status, body, length=True, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        if length is True:
            self.send_header("Content-Length", str(len(body)))
        elif length is not False:
            self.send_header("Content-Length", length)
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, location):
        self.answer(302, b"moved", headers=[("Location", location)])

    def do_POST(self):
        self.do_GET()

    def do_GET(self):
        print("REQUEST %s %s %s" % (self.command, self.path, self.headers.get("User-Agent", "")), flush=True)
        try:
            self.route(self.path.split("?")[0].strip("/").split("/"))
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            pass

    def route(self, parts):
        kind = parts[0]
        if kind == "file":
            self.answer(200, body_of(int(parts[1])))
        elif kind == "nolength":
            self.answer(200, body_of(int(parts[1])), length=False)
        elif kind == "status":
            self.answer(int(parts[1]), b"<html>error page %s</html>" % parts[1].encode())
        elif kind == "redirect":
            left = int(parts[1])
            self.redirect("/redirect/%d" % (left - 1) if left > 1 else "/file/100")
        elif kind == "loop":
            self.redirect("/loop")
        elif kind == "stall":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(body_of(10))
            self.wfile.flush()
            time.sleep(30)
        elif kind == "drop":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(body_of(100))
        elif kind == "length":
            self.answer(200, body_of(int(parts[2])), length=parts[1])
        elif kind == "endless":
            self.send_response(200)
            self.end_headers()
            for _ in range(30000):  # at most about a minute
                self.wfile.write(body_of(1024))
                self.wfile.flush()
                time.sleep(0.002)
        elif kind == "echo":
            length = int(self.headers.get("Content-Length", "0"))
            lines = ["method=" + self.command]
            for name in ("Accept", "User-Agent", "Cache-Control", "Pragma", "Referer", "Authorization",
                         "Content-Type"):
                lines.append("%s=%s" % (name, self.headers.get(name, "")))
            lines.append("body=" + self.rfile.read(length).decode("latin-1"))
            self.answer(200, "\n".join(lines).encode("latin-1"))
        elif kind == "tofile":
            self.redirect("file:///etc/hostname")
        elif kind == "tohttp":
            self.redirect("http://127.0.0.1:%d/file/100" % PORTS["http"])
        else:
            self.answer(404, b"no such path")


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()
    servers = [Server(("127.0.0.1", 0), Handler)]
    PORTS["http"] = servers[0].server_address[1]
    PORTS["https"] = 0
    if args.cert:
        secure = Server(("127.0.0.1", 0), Handler)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
        secure.socket = context.wrap_socket(secure.socket, server_side=True)
        servers.append(secure)
        PORTS["https"] = secure.server_address[1]
    for server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORTS %d %d" % (PORTS["http"], PORTS["https"]), flush=True)
    sys.stdin.read()


if __name__ == "__main__":
    main()
