#!/usr/bin/env python3
"""A hostile HTTP server for the HTTP clients' limit tests.

One port, one behaviour per word. The word is the last path segment of a
dictionary request ("/hang") or the text= value of a speech request
("/text2audio?...&text=hang&..."):

  hang          reads the request and never answers
  drip          a 200 header, then one body byte a second
  huge          a 100 MiB body with its Content-Length
  huge-stream   a 100 MiB body without a length, ended by closing
  loop          redirects to itself, again and again
  file          redirects to file:///etc/passwd
  reset         a 200 header and part of the body, then a connection reset
  garbage       bytes that are not HTTP
  big-header    a status line, then a 1 MiB header line
  ok            a small 200 answer ("fine"), to show the client still works

  hostile_server.py [--port N]

Prints "ready <port>" once listening (port 0 picks a free one).
"""
import argparse
import socket
import socketserver
import struct
import sys
import time
import urllib.parse

MIB = 1024 * 1024


def behaviour_of(target):
    path, _, query = target.partition("?")
    if path.startswith("/text2audio"):
        return urllib.parse.parse_qs(query).get("text", [""])[0]
    return urllib.parse.unquote(path.rstrip("/").rsplit("/", 1)[-1])


class Handler(socketserver.BaseRequestHandler):
    def send(self, data):
        self.request.sendall(data)

    def send_body(self, total):
        chunk = b"x" * MIB
        sent = 0
        while sent < total:
            self.send(chunk[: min(MIB, total - sent)])
            sent += MIB

    def handle(self):
        request = b""
        while b"\r\n\r\n" not in request and len(request) < 65536:
            data = self.request.recv(4096)
            if not data:
                return
            request += data
        line = request.split(b"\r\n", 1)[0].decode("latin-1")
        parts = line.split(" ")
        target = " ".join(parts[1:-1]) if len(parts) >= 3 else "/"
        kind = behaviour_of(target)
        port = self.server.server_address[1]
        try:
            self.answer(kind, port)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up, as it should

    def answer(self, kind, port):
        if kind == "hang":
            # Holds the connection until the client goes away.
            self.request.settimeout(120)
            try:
                self.request.recv(1)
            except OSError:
                pass
        elif kind == "drip":
            self.send(b"HTTP/1.0 200 OK\r\nContent-Length: 600\r\n\r\n")
            for _ in range(600):
                self.send(b"x")
                time.sleep(1)
        elif kind == "huge":
            self.send(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % (100 * MIB))
            self.send_body(100 * MIB)
        elif kind == "huge-stream":
            self.send(b"HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n")
            self.send_body(100 * MIB)
        elif kind == "loop":
            self.send(b"HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1:%d/loop\r\n\r\n" % port)
        elif kind == "file":
            self.send(b"HTTP/1.0 302 Found\r\nLocation: file:///etc/passwd\r\n\r\n")
        elif kind == "reset":
            self.send(b"HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + b"x" * 1000)
            time.sleep(0.2)
            # Linger 0: closing sends a reset instead of an orderly end.
            self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.request.close()
        elif kind == "garbage":
            self.send(b"\x00\xffSSH-2.0-not-http\r\n" + bytes(range(256)) * 64)
        elif kind == "big-header":
            self.send(b"HTTP/1.0 200 OK\r\nX-Filler: " + b"a" * MIB + b"\r\n\r\nbody")
        else:
            self.send(b"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nfine")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    args = parser.parse_args()
    with Server(("127.0.0.1", args.port), Handler) as server:
        print("ready", server.server_address[1], flush=True)
        server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
