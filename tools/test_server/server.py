#!/usr/bin/python3
"""The test HTTP server: serves one folder on 127.0.0.1 and misbehaves on request.

Every path is served normally (GET and HEAD, byte ranges, Content-Length,
Last-Modified) until a control request switches it to a bad behaviour; see
README.md beside this file for the control protocol. Python standard library only.
"""

import argparse
import email.utils
import http.server
import os
import re
import select
import signal
import socket
import socketserver
import ssl
import struct
import sys
import threading
import time
import urllib.parse

MODES = ("normal", "status", "no-length", "long-length", "stall", "slow", "reset",
         "zero-length", "raw", "close", "redirect")

# Upper bounds that keep every loop finite whatever a test asks for.
MAX_DELAY_MS = 10_000
MAX_STALL_MS = 600_000
DEFAULT_STALL_MS = 120_000
DEFAULT_SLOW_PIECE = 64
DEFAULT_SLOW_DELAY_MS = 50
CONNECTION_IDLE_SECONDS = 30
MAX_REQUESTS_PER_CONNECTION = 10_000
MAX_LOG_ENTRIES = 10_000
# Bodies are sent in pieces of this size, so a large file never sits whole in memory.
SEND_PIECE = 256 * 1024

CONTENT_TYPES = {
    ".htm": "text/html", ".html": "text/html", ".php": "text/html", ".txt": "text/plain",
    ".mdb": "application/x-msaccess", ".png": "image/png", ".gif": "image/gif",
}

STATUS_REASONS = {
    200: "OK", 204: "No Content", 206: "Partial Content", 400: "Bad Request",
    401: "Unauthorized", 403: "Forbidden", 404: "Not Found", 416: "Range Not Satisfiable",
    500: "Internal Server Error",
}


class Behaviour:
    """How one path answers; built from the query of a /__control/set request."""

    def __init__(self, query):
        self.mode = query.get("mode", ["normal"])[0]
        if self.mode not in MODES:
            raise ValueError("unknown mode " + self.mode)
        self.status = query.get("status", [None])[0]
        if self.mode == "status" and not self.status:
            raise ValueError("mode status needs status=")
        if self.mode == "raw" and "body" not in query:
            raise ValueError("mode raw needs body=")
        if self.status is not None and ("\r" in self.status or "\n" in self.status):
            raise ValueError("status must be one line")
        # to=<address>: where mode redirect sends the client (the Location header).
        self.to = query.get("to", [None])[0]
        if self.mode == "redirect":
            if not self.to:
                raise ValueError("mode redirect needs to=")
            if "\r" in self.to or "\n" in self.to:
                raise ValueError("to must be one line")
            if self.status is None:
                self.status = "302 Found"
        self.bytes = bounded_int(query, "bytes", None, 0, 1 << 31)
        self.delay_ms = bounded_int(query, "delay_ms", None, 0, MAX_STALL_MS)
        self.length = bounded_int(query, "length", None, 0, (1 << 63) - 1)
        body = query.get("body", [None])[0]
        self.body = body.encode("utf-8") if body is not None else None
        self.headers = query.get("header", [])
        for h in self.headers:
            if "\r" in h or "\n" in h or ":" not in h:
                raise ValueError("header must be one 'Name: value' line")
        self.omit = {h.strip().lower() for v in query.get("omit", []) for h in v.split(",")
                     if h.strip()}
        # file=/other.mdb: the path serves that file of the folder (HEAD and GET alike).
        self.file = query.get("file", [None])[0]
        if self.file is not None:
            if not self.file or "\0" in self.file:
                raise ValueError("file must name a file of the folder")
            if not self.file.startswith("/"):
                self.file = "/" + self.file
        # times=N: the behaviour serves N requests, then the path is normal again.
        self.times = bounded_int(query, "times", None, 1, 1 << 31)


def bounded_int(query, name, default, low, high):
    if name not in query:
        return default
    value = int(query[name][0])
    if not low <= value <= high:
        raise ValueError(f"{name} must lie in [{low}, {high}]")
    return value


class State:
    """What the control requests change: per-path behaviours and the request log."""

    def __init__(self):
        self.lock = threading.Lock()
        self.behaviours = {}
        self.log = []
        # The request lines that came in absolute form, as a proxy receives them.
        self.proxied = []
        self.last_activity = time.monotonic()

    def touch(self):
        with self.lock:
            self.last_activity = time.monotonic()

    def take_behaviour(self, path):
        with self.lock:
            key = path if path in self.behaviours else "*"
            b = self.behaviours.get(key)
            if b is not None and b.times is not None:
                b.times -= 1
                if b.times <= 0:
                    del self.behaviours[key]
            return b

    def record(self, text):
        with self.lock:
            if len(self.log) < MAX_LOG_ENTRIES:
                self.log.append(text)

    def record_proxied(self, request_line):
        with self.lock:
            if len(self.proxied) < MAX_LOG_ENTRIES:
                self.proxied.append(request_line)


class Body:
    """The bytes of an answer: a slice of a file of the served folder or of a set text."""

    def __init__(self, size, data=None, path=None, start=0):
        self.size = size
        self.data = data
        self.path = path
        self.start = start

    def __len__(self):
        return self.size

    def pieces(self, limit=None, piece=SEND_PIECE):
        """The first min(limit, size) bytes, piece by piece."""
        left = self.size if limit is None else min(limit, self.size)
        if self.data is not None:
            for at in range(self.start, self.start + left, piece):
                yield self.data[at:min(at + piece, self.start + left)]
            return
        with open(self.path, "rb") as f:
            f.seek(self.start)
            while left > 0:
                chunk = f.read(min(piece, left))
                if not chunk:
                    return  # the file shrank while it was being served
                left -= len(chunk)
                yield chunk


DIGITS = re.compile(r"[0-9]+")


def parse_range(header, size):
    """(start, end) inclusive for a single 'bytes=' range, 'unsatisfiable', or None."""
    if not header or not header.strip().lower().startswith("bytes="):
        return None
    wanted = header.strip()[6:].strip()
    if "," in wanted or "-" not in wanted:
        return None
    first, last = (p.strip() for p in wanted.split("-", 1))
    if any(part and not DIGITS.fullmatch(part) for part in (first, last)):
        return None
    try:
        if first == "":
            if not last:
                return None
            n = int(last)
            if n == 0:
                return "unsatisfiable"
            return (max(0, size - n), size - 1) if size else "unsatisfiable"
        start = int(first)
        end = int(last) if last else size - 1
    except ValueError:
        return None
    if start >= size:
        return "unsatisfiable"
    if end < start:
        return None
    return (start, min(end, size - 1))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "MovarinTestServer/1"
    timeout = CONNECTION_IDLE_SECONDS

    def log_message(self, fmt, *args):
        pass

    def handle(self):
        # One connection, bounded in requests and (through the socket time-out) in time.
        self.close_connection = True
        self.handle_one_request()
        served = 1
        while not self.close_connection and served < MAX_REQUESTS_PER_CONNECTION:
            self.handle_one_request()
            served += 1

    def do_GET(self):
        self.answer(send_body=True)

    def do_HEAD(self):
        self.answer(send_body=False)

    # --- control requests -------------------------------------------------------

    def control(self, path, query):
        state = self.server.state
        if path == "/__control/set":
            target = query.get("path", [None])[0]
            if not target:
                return self.plain(400, "path= is missing\n")
            if target != "*" and not target.startswith("/"):
                target = "/" + target
            try:
                behaviour = Behaviour(query)
            except ValueError as e:
                return self.plain(400, str(e) + "\n")
            with state.lock:
                if behaviour.mode == "normal" and not behaviour.body and not behaviour.headers \
                        and not behaviour.omit and behaviour.file is None:
                    state.behaviours.pop(target, None)
                else:
                    state.behaviours[target] = behaviour
            return self.plain(200, "ok\n")
        if path == "/__control/reset":
            with state.lock:
                state.behaviours.clear()
                state.log.clear()
                state.proxied.clear()
            return self.plain(200, "ok\n")
        if path == "/__control/proxy-log":
            with state.lock:
                text = "".join(line + "\r\n" for line in state.proxied)
            return self.plain(200, text)
        if path == "/__control/version":
            number = query.get("number", [None])[0]
            if number is None or "\r" in number or "\n" in number:
                return self.plain(400, "number= is missing\n")
            reply = Behaviour({"body": [f"checkupdates ccc{number}ddd"]})
            with state.lock:
                state.behaviours["/checkversion.php"] = reply
            return self.plain(200, "ok\n")
        if path == "/__control/log":
            with state.lock:
                text = "".join(state.log)
            return self.plain(200, text)
        return self.plain(404, "unknown control request\n")

    def plain(self, code, text):
        data = text.encode("utf-8")
        self.write_head(f"{code} {STATUS_REASONS.get(code, 'Status')}",
                        [("Content-Type", "text/plain; charset=utf-8"),
                         ("Content-Length", str(len(data)))])
        self.wfile.write(data)

    # --- ordinary requests ------------------------------------------------------

    def answer(self, send_body):
        self.server.state.touch()
        # The target is split by hand: urlsplit would read "//x/y" as a host name.
        raw_path, _, query = self.path.partition("?")
        raw_path = raw_path.partition("#")[0]
        proxied = "://" in raw_path
        if proxied:  # an absolute URL, as a proxy is sent: served from the folder
            raw_path = "/" + raw_path.split("://", 1)[1].partition("/")[2]
        path = "/" + urllib.parse.unquote(raw_path).lstrip("/")
        if path.startswith("/__control/"):
            self.control(path, urllib.parse.parse_qs(query, keep_blank_values=True))
            return
        if proxied:
            self.server.state.record_proxied(self.requestline)
        self.server.state.record(self.requestline + "\r\n" + str(self.headers).replace(
            "\n", "\r\n").rstrip("\r\n") + "\r\n\r\n")
        behaviour = self.server.state.take_behaviour(path)
        mode = behaviour.mode if behaviour else "normal"

        if mode == "status":
            return self.answer_status(behaviour, send_body)
        if mode == "redirect":
            return self.answer_status(behaviour, send_body, [("Location", behaviour.to)])
        if mode == "raw":
            # Exactly the given bytes as the whole answer, head included, then close.
            self.close_connection = True
            self.wfile.write(behaviour.body)
            return
        if mode == "close":
            self.close_connection = True
            return

        code, headers, body = self.file_answer(path, behaviour)
        if code not in (200, 206):
            self.send_simple(code, headers, body, send_body)
            return
        if behaviour:
            headers = [(k, v) for k, v in headers if k.lower() not in behaviour.omit]
            headers += [tuple(p.strip() for p in h.split(":", 1)) for h in behaviour.headers]
        status = "200 OK" if code == 200 else "206 Partial Content"

        if mode == "normal":
            self.write_head(status, headers)
            if send_body:
                self.write_body(body)
        elif mode == "zero-length":
            self.close_connection = True
            self.write_head(status, replace_length(headers, 0) + [("Connection", "close")])
        elif mode == "no-length":
            self.close_connection = True
            self.write_head(status, replace_length(headers, None) + [("Connection", "close")])
            if send_body:
                self.write_body(body)
        elif mode == "long-length":
            self.close_connection = True
            length = behaviour.length if behaviour.length is not None else len(body) + 1000
            self.write_head(status, replace_length(headers, length) + [("Connection", "close")])
            if send_body:
                self.write_body(body)
        elif mode == "slow":
            self.write_head(status, headers)
            if send_body:
                piece = behaviour.bytes or DEFAULT_SLOW_PIECE
                delay = min(behaviour.delay_ms if behaviour.delay_ms is not None
                            else DEFAULT_SLOW_DELAY_MS, MAX_DELAY_MS) / 1000.0
                for n, chunk in enumerate(body.pieces(piece=piece)):
                    if n:
                        time.sleep(delay)
                    self.wfile.write(chunk)
                    self.wfile.flush()
        elif mode == "stall":
            self.close_connection = True
            self.write_head(status, headers)
            if send_body:
                self.write_body(body, behaviour.bytes or 0)
                self.wfile.flush()
                self.hold(behaviour.delay_ms if behaviour.delay_ms is not None
                          else DEFAULT_STALL_MS)
        elif mode == "reset":
            self.close_connection = True
            self.write_head(status, headers)
            self.wfile.flush()
            # A HEAD answer has no body to cut, and an RST right behind its head can
            # overtake the head on the client's side: it ends in order.
            if send_body:
                self.write_body(body, behaviour.bytes or 0)
                self.wfile.flush()
                self.abort()

    def file_answer(self, path, behaviour):
        """(code, headers, body) for a file of the served folder (or a set body)."""
        root = self.server.root
        if behaviour and behaviour.file is not None:
            path = behaviour.file
        full = os.path.realpath(os.path.join(root, path.lstrip("/")))
        content_type = CONTENT_TYPES.get(os.path.splitext(path)[1].lower(),
                                         "application/octet-stream")
        if behaviour and behaviour.body is not None:
            whole = Body(len(behaviour.body), data=behaviour.body)
            mtime = time.time()
        else:
            inside = full == root or full.startswith(root + os.sep)
            if not inside or not os.path.isfile(full):
                text = b"<html><body>Not Found</body></html>"
                return 404, [("Content-Type", "text/html"),
                             ("Content-Length", str(len(text)))], text
            try:
                whole = Body(os.path.getsize(full), path=full)
                mtime = os.path.getmtime(full)
            except OSError:
                text = b"cannot read the file"
                return 500, [("Content-Type", "text/plain"),
                             ("Content-Length", str(len(text)))], text
        headers = [("Content-Type", content_type),
                   ("Last-Modified", email.utils.formatdate(mtime, usegmt=True)),
                   ("Accept-Ranges", "bytes")]
        size = len(whole)
        rng = parse_range(self.headers.get("Range"), size)
        if rng == "unsatisfiable":
            return 416, [("Content-Range", f"bytes */{size}"),
                         ("Content-Length", "0")], b""
        if rng is None:
            return 200, headers + [("Content-Length", str(size))], whole
        start, end = rng
        part = Body(end + 1 - start, data=whole.data, path=whole.path, start=start)
        return 206, headers + [("Content-Range", f"bytes {start}-{end}/{size}"),
                               ("Content-Length", str(len(part)))], part

    def answer_status(self, behaviour, send_body, extra_headers=()):
        code = behaviour.status.split(" ", 1)[0]
        if behaviour.body is not None:
            body = behaviour.body
        elif code in ("204", "304"):
            body = b""
        else:
            body = f"<html><body>{behaviour.status}</body></html>".encode("utf-8")
        headers = [("Content-Type", "text/html")]
        if code == "401":
            headers.append(("WWW-Authenticate", 'Basic realm="movarin"'))
        headers += list(extra_headers)
        if code not in ("204", "304"):
            headers.append(("Content-Length", str(len(body))))
        headers = [(k, v) for k, v in headers if k.lower() not in behaviour.omit]
        headers += [tuple(p.strip() for p in h.split(":", 1)) for h in behaviour.headers]
        self.write_head(behaviour.status, headers)
        if send_body and code not in ("204", "304"):
            self.wfile.write(body)

    def send_simple(self, code, headers, body, send_body):
        self.write_head(f"{code} {STATUS_REASONS.get(code, 'Status')}", headers)
        if send_body:
            self.wfile.write(body)

    def write_body(self, body, limit=None):
        if isinstance(body, bytes):
            self.wfile.write(body if limit is None else body[:limit])
            return
        for chunk in body.pieces(limit):
            self.wfile.write(chunk)

    def write_head(self, status, headers):
        lines = ["HTTP/1.1 " + status,
                 "Date: " + email.utils.formatdate(usegmt=True),
                 "Server: " + self.server_version]
        lines += [f"{k}: {v}" for k, v in headers]
        if self.close_connection and not any(k.lower() == "connection" for k, _ in headers):
            lines.append("Connection: close")
        self.wfile.write(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1"))

    def hold(self, ms):
        """Sends nothing more until the client goes away or ms have passed."""
        self.wfile.flush()
        deadline = time.monotonic() + min(ms, MAX_STALL_MS) / 1000.0
        sock = self.connection
        while True:
            left = deadline - time.monotonic()
            if left <= 0 or self.server.stopping.is_set():
                return
            readable, _, _ = select.select([sock], [], [], min(left, 0.2))
            if readable:
                try:
                    if not sock.recv(4096):
                        return
                except OSError:
                    return

    def abort(self):
        """Closes the connection with an RST instead of an orderly FIN."""
        try:
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                       struct.pack("ii", 1, 0))
        except OSError:
            pass
        self.close_connection = True
        # Closing here, before the server's orderly shutdown of the socket, makes the
        # kernel drop the connection with an RST and no FIN before it.
        self.connection.close()


def replace_length(headers, length):
    out = [(k, v) for k, v in headers if k.lower() != "content-length"]
    if length is not None:
        out.append(("Content-Length", str(length)))
    return out


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, root, state=None, stopping=None):
        super().__init__(address, Handler)
        self.root = os.path.realpath(root)
        self.state = state if state is not None else State()
        self.stopping = stopping if stopping is not None else threading.Event()


class TlsServer(Server):
    """The same folder, behaviours and log over TLS with one certificate.

    The handshake runs on the connection's own thread, so a client that stalls in it (or
    refuses the certificate) holds up nobody else.
    """

    def __init__(self, address, root, state, stopping, certificate, key):
        super().__init__(address, root, state, stopping)
        self.tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self.tls.load_cert_chain(certificate, key)

    def finish_request(self, request, client_address):
        request.settimeout(CONNECTION_IDLE_SECONDS)
        try:
            connection = self.tls.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            return  # a client that does not trust the certificate hangs up here
        try:
            self.RequestHandlerClass(connection, client_address, self)
        finally:
            try:
                connection.close()
            except OSError:
                pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True, help="folder to serve")
    parser.add_argument("--port", type=int, default=0, help="0 picks a free port")
    parser.add_argument("--port-file", help="the chosen port is written here")
    parser.add_argument("--idle-exit", type=float, default=900.0,
                        help="seconds without a request after which the server ends")
    parser.add_argument("--tls", nargs=3, action="append", default=[],
                        metavar=("NAME", "CERTIFICATE", "KEY"),
                        help="also serve the folder over TLS with this certificate (PEM) on "
                             "a free port, written to <port-file>.NAME; may be repeated")
    args = parser.parse_args()
    if not os.path.isdir(args.root):
        print(f"server.py: no folder {args.root}", file=sys.stderr)
        return 2

    server = Server(("127.0.0.1", args.port), args.root)
    port = server.server_address[1]
    # The TLS listeners share the folder, the behaviours and the log; their ports are
    # written before the plain one, whose file tells a waiting script that all are up.
    tls_servers = []
    for name, certificate, key in args.tls:
        if not re.fullmatch(r"[A-Za-z0-9_-]+", name):
            print(f"server.py: bad TLS listener name {name}", file=sys.stderr)
            return 2
        tls = TlsServer(("127.0.0.1", 0), args.root, server.state, server.stopping,
                        certificate, key)
        tls_servers.append(tls)
        if args.port_file:
            tmp = f"{args.port_file}.{name}.tmp"
            with open(tmp, "w") as f:
                f.write(f"{tls.server_address[1]}\n")
            os.replace(tmp, f"{args.port_file}.{name}")
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(f"{port}\n")
        os.replace(tmp, args.port_file)

    def stop(*_):
        server.stopping.set()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    for listener in [server] + tls_servers:
        threading.Thread(target=listener.serve_forever, kwargs={"poll_interval": 0.2},
                         daemon=True).start()
    while not server.stopping.wait(0.5):
        with server.state.lock:
            idle = time.monotonic() - server.state.last_activity
        if idle > args.idle_exit:
            break
    server.stopping.set()
    for listener in [server] + tls_servers:
        listener.shutdown()
        listener.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
