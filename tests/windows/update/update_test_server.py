#!/usr/bin/env python3
"""A loopback stand-in for the update service, for the update centre's tests.

Serves the folder given as its argument on 127.0.0.1 (a port the system
picks), prints "PORT <port>", then one line "REQUEST <path>" per request, and
serves until its standard input closes.

  /support_orb3?akcja=orbita&operacja=pokaz&parametr=skory|testy|wersja
        skory.txt, testy.txt, wersja.txt of the folder
  /support_orb3?akcja=orbita&operacja=pobierz_skore&parametr=<name>.obs
  /support_orb3?akcja=orbita&operacja=pobierz_test&parametr=<name>.obt
        KARNACJE/<name>.obs, TESTY/<name>.obt (validated names only); a
        package whose name starts with "Wolny" is sent slowly, a block every
        50 ms, so that a test can cancel it in mid-transfer
  /pliki/<name>  the file <name> of the folder (the setup package)
Everything else: 404.
"""
import http.server
import os
import re
import sys
import threading
import time
import urllib.parse

ROOT = sys.argv[1]
NAME = re.compile(r"^[A-Za-z0-9_-]{1,64}\.(obs|obt)$")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def send_file(self, path, slow=False):
        try:
            with open(path, "rb") as f:
                body = f.read()
        except OSError:
            return self.missing()
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if not slow:
            self.wfile.write(body)
            return
        for start in range(0, len(body), 1024):
            self.wfile.write(body[start:start + 1024])
            self.wfile.flush()
            time.sleep(0.05)

    def missing(self):
        body = b"<html>404</html>"
        self.send_response(404)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        print("REQUEST %s" % self.path, flush=True)
        try:
            self.route()
        except (BrokenPipeError, ConnectionResetError):
            pass

    def route(self):
        address = urllib.parse.urlsplit(self.path)
        if address.path.startswith("/pliki/"):
            name = address.path[len("/pliki/"):]
            if "/" in name or name.startswith("."):
                return self.missing()
            return self.send_file(os.path.join(ROOT, name))
        if address.path != "/support_orb3":
            return self.missing()
        query = urllib.parse.parse_qs(address.query)
        operation = query.get("operacja", [""])[0]
        parameter = query.get("parametr", [""])[0]
        if operation == "pokaz" and parameter in ("skory", "testy", "wersja"):
            return self.send_file(os.path.join(ROOT, parameter + ".txt"))
        folders = {"pobierz_skore": ("KARNACJE", ".obs"), "pobierz_test": ("TESTY", ".obt")}
        if operation in folders and NAME.match(parameter) and parameter.endswith(folders[operation][1]):
            return self.send_file(os.path.join(ROOT, folders[operation][0], parameter),
                                  slow=parameter.startswith("Wolny"))
        return self.missing()


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    sys.stdin.read()
    server.shutdown()


if __name__ == "__main__":
    main()
