#!/usr/bin/env python3
"""Local HTTP test server for the end-to-end tests.

Stands in for the dictionary site and the text-to-speech service on
127.0.0.1. It parses the request line itself because the program sends the
word raw: "GET /ice cream HTTP/1.0" carries a blank inside the target, which
ordinary HTTP servers reject.

  dict_server.py --port N --log FILE [--mp3 FILE]

Prints "ready <port>" once listening (port 0 picks a free one) and appends one
JSON line per request to FILE.
"""
import argparse
import json
import socket
import socketserver
import sys
import threading
import urllib.parse

# Phonetics for the words the tests use; other words get a made-up one.
PHONETICS = {
    "apple": "ˈæpl",
    "banana": "bəˈnɑːnə",
    "orange": "ˈɒrɪndʒ",
    "ice cream": "ˌaɪs ˈkriːm",
}


def silent_mp3(frames=8):
    # MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, no padding: 417-byte frames.
    # All-zero side information decodes as silence.
    header = bytes([0xFF, 0xFB, 0x90, 0x64])
    return (header + bytes(417 - len(header))) * frames


def page_for(word):
    ipa = PHONETICS.get(word, "tɛst")
    return (
        '<!DOCTYPE html><html><head><meta charset="utf-8"><title>' + word + "</title></head><body>"
        '<div class="phonetic"><span>英 [' + ipa + ']</span><span>美 [' + ipa + "]</span></div>"
        '<ul class="">'
        "<li><b>n.</b> 测试释义：" + word + "</li>"
        "<li><b>v.</b> 第二释义</li>"
        "</ul><ul class=\"zz\"><li>later list</li></ul></body></html>"
    ).encode("utf-8")


class Handler(socketserver.StreamRequestHandler):
    timeout = 10

    def handle(self):
        try:
            line = self.rfile.readline(65537)
        except (socket.timeout, ConnectionError):
            return
        if not line:
            return
        raw_line = line.rstrip(b"\r\n")
        headers = {}
        while True:
            h = self.rfile.readline(65537)
            if h in (b"\r\n", b"\n", b""):
                break
            name, _, value = h.decode("latin-1").partition(":")
            headers[name.strip()] = value.strip()
        first = raw_line.find(b" ")
        last = raw_line.rfind(b" ")
        method = raw_line[:first] if first > 0 else raw_line
        version = raw_line[last + 1:] if last > first else b""
        target = raw_line[first + 1:last] if last > first else raw_line[first + 1:]
        self.server.record({
            "raw_line": raw_line.decode("latin-1"),
            "method": method.decode("latin-1"),
            "target": target.decode("latin-1"),
            "target_hex": target.hex(),
            "version": version.decode("latin-1"),
            "headers": headers,
        })
        if target.startswith(b"/text2audio?"):
            body, ctype = self.server.mp3, "audio/mpeg"
        elif target.startswith(b"/missing/"):
            body, ctype = b"not found", "text/plain"
            self.reply(404, ctype, body)
            return
        else:
            word = target[1:].decode("utf-8", "replace")
            word = urllib.parse.unquote(word)
            body, ctype = page_for(word), "text/html; charset=utf-8"
        self.reply(200, ctype, body)

    def reply(self, status, ctype, body):
        reason = {200: "OK", 404: "Not Found"}[status]
        head = (
            f"HTTP/1.0 {status} {reason}\r\nContent-Type: {ctype}\r\n"
            f"Content-Length: {len(body)}\r\nConnection: close\r\n\r\n"
        ).encode("latin-1")
        try:
            self.wfile.write(head + body)
        except ConnectionError:
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, log_path, mp3):
        super().__init__(("127.0.0.1", port), Handler)
        self.log_path = log_path
        self.mp3 = mp3
        self.lock = threading.Lock()

    def record(self, entry):
        with self.lock, open(self.log_path, "a", encoding="utf-8") as log:
            log.write(json.dumps(entry, ensure_ascii=False) + "\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--log", required=True)
    parser.add_argument("--mp3")
    args = parser.parse_args()
    mp3 = open(args.mp3, "rb").read() if args.mp3 else silent_mp3()
    server = Server(args.port, args.log, mp3)
    print("ready", server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
