"""A time-stamp server (RFC 3161) on loopback for the signing test: answers
every query with `openssl ts -reply`, signed by the given certificate.

    python3 timestamp-server.py CERT KEY CONFIG PORT_FILE

Writes the port it listens on into PORT_FILE once it accepts queries.
"""
import http.server
import pathlib
import subprocess
import sys
import tempfile

cert, key, config, port_file = sys.argv[1:5]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        with tempfile.TemporaryDirectory() as folder:
            folder = pathlib.Path(folder)
            (folder / "query").write_bytes(query)
            made = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile", folder / "query",
                                   "-signer", cert, "-inkey", key, "-out", folder / "reply"], capture_output=True)
            if made.returncode != 0:
                sys.stderr.write(made.stderr.decode())
                self.send_error(500)
                return
            reply = (folder / "reply").read_bytes()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
pathlib.Path(port_file).write_text(str(server.server_port))
server.serve_forever()
