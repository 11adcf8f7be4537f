#!/usr/bin/env python3
"""Serves a folder on loopback for the browser test and keeps what the page
posts to /report: `report_server.py FOLDER REPORT_FILE PORT_FILE`. The port is
chosen by the system and written to PORT_FILE; the server stops after the
first report."""
import http.server
import os
import sys
import threading

MAX_REPORT = 64 * 1024 * 1024


def main():
    folder, report, port_file = sys.argv[1:4]
    written = threading.Lock()

    class Handler(http.server.SimpleHTTPRequestHandler):
        def __init__(self, *args, **kwargs):
            super().__init__(*args, directory=folder, **kwargs)

        def log_message(self, *args):
            pass

        def do_POST(self):
            length = int(self.headers.get("Content-Length", "0"))
            if self.path != "/report" or not 0 < length <= MAX_REPORT:
                self.send_error(400)
                return
            body = self.rfile.read(length)
            # A page that fails can report twice at once (its error and its
            # exit): the first report is kept, a later one is answered alone.
            with written:
                if not os.path.exists(report):
                    with open(report + ".part", "wb") as f:
                        f.write(body)
                    os.replace(report + ".part", report)
            self.send_response(204)
            self.end_headers()
            threading.Thread(target=self.server.shutdown).start()

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    with open(port_file, "w") as f:
        f.write(str(server.server_address[1]))
    server.serve_forever()


if __name__ == "__main__":
    main()
