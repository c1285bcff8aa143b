#!/usr/bin/env python3
# Feeds a running Corvane viewer with Python's standard library alone.
# Usage: send.py [port]   (default 1947)
# SPDX-License-Identifier: MIT
import json
import socket
import sys

port = int(sys.argv[1]) if len(sys.argv) > 1 else 1947
viewer = ("127.0.0.1", port)
tabs = ["Net", "Db", "UI", "Build"]  # every datagram names all four tabs
sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)


def log(pane, text):
    """Shows text as a new paragraph in pane 1 to 4."""
    message = {"tabs": tabs, "log%d" % pane: text}
    sock.sendto(json.dumps(message).encode("utf-8"), viewer)


log(1, "connected")
log(2, 'query "users" took 3 ms')
