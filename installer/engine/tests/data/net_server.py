"""Servers for the network location's tests, on 127.0.0.1 and a free port.

  net_server.py http ROOT [USER PASSWORD]   files of ROOT (Basic login when given)
  net_server.py ftp ROOT USER PASSWORD      files of ROOT, for USER and anonymous
  net_server.py stall-http SIZE             sends the headers of SIZE bytes and
                                            4096 of them, then nothing more
  net_server.py silent                      accepts connections, never answers
  net_server.py garbage                     greets every connection with 3000
                                            binary bytes, then ends its side

Prints "PORT <n>" once listening; ends when its standard input closes.
"net_server.py --port N MODE ..." listens on port N (say the port of a server
that has ended) instead of a free one.
"""

import base64
import functools
import http.server
import os
import socket
import sys
import threading
import time


PORT = 0


def end_with_stdin():
    def watch():
        sys.stdin.read()
        os._exit(0)
    threading.Thread(target=watch, daemon=True).start()


def announce(port):
    print("PORT %d" % port, flush=True)


class Quiet(http.server.SimpleHTTPRequestHandler):
    login = None

    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.login is not None:
            expected = "Basic " + base64.b64encode(self.login.encode()).decode()
            if self.headers.get("Authorization") != expected:
                self.send_response(401)
                self.send_header("WWW-Authenticate", 'Basic realm="qx"')
                self.send_header("Content-Length", "12")
                self.end_headers()
                self.wfile.write(b"Unauthorized")
                return
        super().do_GET()


def serve_http(root, user=None, password=None):
    Quiet.login = None if user is None else user + ":" + password
    handler = functools.partial(Quiet, directory=root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", PORT), handler)
    announce(server.server_address[1])
    server.serve_forever()


def serve_ftp(root, user, password):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
    from pyftpdlib.log import config_logging
    import logging
    config_logging(level=logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elr")
    authorizer.add_anonymous(root)
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0
    server = FTPServer(("127.0.0.1", PORT), handler)
    announce(server.address[1])
    server.serve_forever()


def listener():
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", PORT))
    sock.listen(8)
    return sock


def serve_stall_http(size):
    sock = listener()
    announce(sock.getsockname()[1])
    held = []
    while True:
        conn, _ = sock.accept()
        held.append(conn)
        try:
            if conn.recv(65536):
                conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % size)
                conn.sendall(b"x" * 4096)
        except OSError:
            pass  # a probe of the port


def serve_silent():
    sock = listener()
    announce(sock.getsockname()[1])
    held = []
    while True:
        conn, _ = sock.accept()
        held.append(conn)


def serve_garbage():
    sock = listener()
    announce(sock.getsockname()[1])
    junk = bytearray(b"\x00\xff\x1b[2J")
    x = 7
    while len(junk) < 3000:
        x = (x * 1103515245 + 12345) % (1 << 31)
        b = x >> 23
        if not 0x30 <= b <= 0x39:  # no digits: nothing that reads as a reply code
            junk.append(b)
    held = []
    while True:
        conn, _ = sock.accept()
        held.append(conn)
        try:
            conn.sendall(bytes(junk))
            conn.shutdown(socket.SHUT_WR)
        except OSError:
            pass  # a probe of the port


def main():
    global PORT
    end_with_stdin()
    argv = sys.argv[1:]
    if argv[0] == "--port":
        PORT, argv = int(argv[1]), argv[2:]
    mode, args = argv[0], argv[1:]
    if mode == "http":
        serve_http(*args)
    elif mode == "ftp":
        serve_ftp(*args)
    elif mode == "stall-http":
        serve_stall_http(int(args[0]))
    elif mode == "silent":
        serve_silent()
    elif mode == "garbage":
        serve_garbage()
    else:
        raise SystemExit("unknown mode " + mode)


if __name__ == "__main__":
    main()
