#!/usr/bin/env python3
"""Reference update endpoint for Corvinade, for tests and for companies that
host their own.

Answers GET /softwareupdate.php?obj=11&ver=N with a body holding "[UPDATE]"
when N is lower than the configured latest version number, and "OK" otherwise;
GET /download answers a short page. Every answer says it must not be stored,
so no cache repeats an old one.

    update-endpoint.py --latest 1100000 [--bind 127.0.0.1] [--port 0]
                       [--latest-file FILE] [--port-file FILE] [--log FILE]
                       [--silent]

--latest-file names a file holding the latest version number; it is read
again for every request (it wins over --latest), so a test can change the
answer while the endpoint runs. --port 0 takes a free port; --port-file
receives the port once the endpoint listens. --log gets one line per request
(the request path). --silent takes connections and never answers them (an
endpoint that hangs); its log gets "connected" for each.
"""
import argparse
import http.server
import os
import urllib.parse


def latest_version(args):
    if args.latest_file:
        try:
            with open(args.latest_file, encoding="ascii") as f:
                return int(f.read().strip() or "0")
        except (OSError, ValueError):
            pass
    return args.latest


def make_handler(args):
    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            if args.log:
                with open(args.log, "a", encoding="utf-8") as log:
                    log.write(self.path + "\n")
            url = urllib.parse.urlsplit(self.path)
            query = urllib.parse.parse_qs(url.query)
            if url.path == "/softwareupdate.php" and query.get("obj") == ["11"]:
                try:
                    version = int(query.get("ver", ["0"])[0])
                except ValueError:
                    version = 0
                if version < latest_version(args):
                    body = "Corvinade\r\n[UPDATE]\r\n"
                else:
                    body = "OK\r\n"
                self.answer(200, body)
            elif url.path == "/download":
                self.answer(200, "<html><body>Corvinade download</body></html>\r\n", "text/html")
            else:
                self.answer(404, "Not found\r\n")

        def answer(self, status, body, kind="text/plain"):
            data = body.encode("ascii")
            self.send_response(status)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(data)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(data)

        def log_message(self, *unused):
            pass

    return Handler


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--latest", type=int, default=0)
    parser.add_argument("--latest-file")
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    parser.add_argument("--log")
    parser.add_argument("--silent", action="store_true")
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer((args.bind, args.port), make_handler(args))
    if args.port_file:
        temp = args.port_file + ".new"
        with open(temp, "w", encoding="ascii") as f:
            f.write(str(server.server_address[1]))
        os.replace(temp, args.port_file)
    if args.silent:
        held = []
        while True:
            connection, _ = server.socket.accept()
            held.append(connection)
            if args.log:
                with open(args.log, "a", encoding="utf-8") as log:
                    log.write("connected\n")
    server.serve_forever()


if __name__ == "__main__":
    main()
