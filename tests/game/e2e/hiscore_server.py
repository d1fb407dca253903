#!/usr/bin/env python3
"""A loopback hiscore server for the game's end-to-end test.

    hiscore_server.py FOLDER [LIFETIME_SECONDS]

Listens on 127.0.0.1 on a port the system picks, and writes that port to
FOLDER/port once it listens. Answers GET /go/hiscore in the hiscore server's
reply format: the categories ("action=tables"), a world list of twelve rows
for the type asked ("action=get") and submissions ("action=submit"), which
it takes as the player's best unless FOLDER/behaviour says otherwise:

    accept    the submission is taken (the default)
    refuse    the submission is refused with a message for the player
    silent    the connection is held open without a reply (until the
              client gives up, at most HOLD_SECONDS)
    noreply   the connection is closed without a reply

and two that answer every request, not only submissions:

    bigrefusal  a refusal of about a megabyte (the game's limit for a
                hiscore reply), sent at once
    trickle     the usual reply, its length announced, sent one byte every
                TRICKLE_SECONDS (until the client hangs up, at most
                HOLD_SECONDS)

Every request is appended to FOLDER/requests as one line: its action, then
its arguments. The server stops by itself after LIFETIME_SECONDS (default
600) or when the process that started it has ended.
"""
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qsl, urlsplit
from xml.sax.saxutils import escape, quoteattr

HOLD_SECONDS = 90
TRICKLE_SECONDS = 0.25
REFUSAL = "This name may not send scores today."
BIG_REFUSAL_BYTES = (1 << 20) - 4096
EVERY_REQUEST = ("bigrefusal", "trickle")
CATEGORIES = (("alltime", "All time"), ("weekly", "This week"))
PLAYERS = ("Marguerite", "Tobias", "Ines", "Wolfgang", "Rosalind", "Kenji", "Amara", "Pieter",
           "Lucia", "Henrik", "Odile", "Ravi")


def world_list(args):
    rows = []
    base = 9000 if args.get("table") == "alltime" else 6000
    for i, name in enumerate(PLAYERS):
        attributes = {"rank": i + 1, "score": base - 450 * i, "name": name,
                      "data": "lev:%d;rest:%d" % (10 - i % 5, 1 + i % 5), "ver": "1.0",
                      "guid": "%032x" % (i + 1), "anonymous": "true" if i % 3 == 2 else "false"}
        rows.append("<score %s></score>" % " ".join("%s=%s" % (k, quoteattr(str(v))) for k, v in attributes.items()))
    return "<scores>%s</scores>" % "".join(rows)


def reply_for(args, behaviour):
    action = args.get("action", "")
    for name in ("lang", "ver", "action", "game"):
        if name not in args:
            return "<protocolError>Missing required parameter: %s</protocolError>" % name
    if action == "tables":
        return "<tables>%s</tables>" % "".join(
            "<table table=%s name=%s></table>" % (quoteattr(t), quoteattr(n)) for t, n in CATEGORIES)
    if action == "get":
        if "type" not in args:
            return "<protocolError>Missing required parameter: type</protocolError>"
        return world_list(args)
    if action == "submit":
        if not args.get("score"):
            return "<protocolError>Missing required parameter: score</protocolError>"
        if behaviour == "refuse":
            return "<message>%s</message>" % escape(REFUSAL)
        return '<score rank="4"></score>'
    return "<protocolError>Unknown action: %s</protocolError>" % escape(action)


class Handler(BaseHTTPRequestHandler):
    folder = "."

    def log_message(self, *args):
        pass

    def behaviour(self):
        try:
            with open(os.path.join(self.folder, "behaviour")) as f:
                return f.read().strip() or "accept"
        except OSError:
            return "accept"

    def note(self, args):
        line = " ".join([args.get("action", "-")] + ["%s=%s" % (k, v[:40]) for k, v in args.items()])
        with open(os.path.join(self.folder, "requests"), "a") as f:
            f.write(line + "\n")

    def do_GET(self):
        url = urlsplit(self.path)
        args = dict(parse_qsl(url.query, keep_blank_values=True))
        behaviour = self.behaviour()
        if args.get("action") != "submit" and behaviour not in EVERY_REQUEST:
            behaviour = "accept"
        self.note(args)
        if url.path != "/go/hiscore":
            self.send_error(404)
            return
        if behaviour == "noreply":
            self.close_connection = True
            return
        if behaviour == "silent":
            # Held open, unanswered, until the client hangs up or time runs out.
            self.connection.settimeout(HOLD_SECONDS)
            try:
                self.connection.recv(1)
            except OSError:
                pass
            self.close_connection = True
            return
        if behaviour == "bigrefusal":
            words = "refused " * (BIG_REFUSAL_BYTES // len("refused "))
            content = "<message>%s</message>" % words
        else:
            content = reply_for(args, behaviour)
        body = ('<?xml version="1.0"?>\n<hiscore>%s</hiscore>\n' % content).encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/xml")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if behaviour == "trickle":
            self.trickle(body)
        else:
            self.wfile.write(body)

    def trickle(self, body):
        end = time.monotonic() + HOLD_SECONDS
        try:
            for i in range(len(body)):
                if time.monotonic() > end:
                    break
                self.wfile.write(body[i:i + 1])
                self.wfile.flush()
                time.sleep(TRICKLE_SECONDS)
        except OSError:
            pass  # the client hung up
        self.close_connection = True


def main():
    folder = sys.argv[1]
    lifetime = float(sys.argv[2]) if len(sys.argv) > 2 else 600
    os.makedirs(folder, exist_ok=True)
    Handler.folder = folder
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    with open(os.path.join(folder, "port.part"), "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(os.path.join(folder, "port.part"), os.path.join(folder, "port"))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    parent = os.getppid()
    end = time.monotonic() + lifetime
    while time.monotonic() < end and os.getppid() == parent:
        time.sleep(0.5)
    server.shutdown()
    server.server_close()


if __name__ == "__main__":
    main()
