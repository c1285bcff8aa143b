# A logging.Handler that sends Python's log records to a running Corvane viewer.
# SPDX-License-Identifier: MIT
"""Sends Python's log records to a running Corvane viewer, with the standard library alone.

    import logging
    from corvane_logging import CorvaneHandler

    logging.basicConfig(level=logging.DEBUG)             # the program's own output stays
    logging.getLogger().addHandler(CorvaneHandler())

Each record goes by its level to the tabs "Debug", "Info", "Warning" and "Error" (error and
critical together), formatted by the handler's formatter. The viewer is at CORVANE_ADDRESS
("host:port", "[::1]:1947" for IPv6) or 127.0.0.1:1947. The handler never raises into the
program and never blocks: a record that cannot go now is dropped and counted in `dropped`.
"""

import json
import logging
import os
import socket
import sys

__all__ = ["CorvaneHandler", "exact_text", "parse_address"]

DEFAULT_ADDRESS = "127.0.0.1:1947"
MAX_DATAGRAM = 65507  # the most one UDP datagram carries over IPv4
_DEFAULT_CAPTIONS = ("Log 1", "Log 2", "Log 3", "Log4")


def parse_address(text):
    """Reads "host:port", "host", "[IPv6]:port" or "[IPv6]"; raises ValueError otherwise."""
    text = text.strip()
    port = "1947"
    if text.startswith("["):
        host, bracket, rest = text[1:].partition("]")
        if not bracket or (rest and not rest.startswith(":")):
            raise ValueError(f"no address: {text!r}")
        port = rest[1:] if rest else port
    elif text.count(":") > 1:
        host = text  # an IPv6 address without brackets takes no port
    else:
        host, colon, given = text.partition(":")
        port = given if colon else port
    if not host or not port.isdigit() or not 1 <= int(port) <= 65535:
        raise ValueError(f"no address: {text!r}")
    return host, int(port)


def exact_text(text):
    """The text in the form the viewer shows exactly as written, even if it looks like markup."""
    if "<" not in text and "&" not in text:
        return text
    escaped = (text.replace("\r\n", "\n").replace("&", "&amp;")
               .replace("<", "&lt;").replace(">", "&gt;"))
    return '<span style="white-space:pre-wrap">' + escaped + "</span>"


class CorvaneHandler(logging.Handler):
    """A logging.Handler whose records show in a Corvane viewer's four panes."""

    def __init__(self, address=None, captions=("Debug", "Info", "Warning", "Error"),
                 level=logging.NOTSET, exact=True):
        super().__init__(level)
        self.captions = [c or d for c, d in zip(list(captions) + [""] * 4, _DEFAULT_CAPTIONS)]
        self.exact = exact
        self.dropped = 0
        # "seq" counts the datagrams sent, from 1, and "app" names the program: the viewer
        # tells from them which datagrams were lost on the way.
        self.sent = 0
        script = sys.argv[0] if sys.argv else ""
        # "-c" for python -c "...", "" for the interactive interpreter: no program's name.
        name = os.path.basename(script) if script not in ("", "-c", "-") else ""
        name = name or "python"
        self._app = json.dumps(name[:64], ensure_ascii=False).encode("utf-8", "replace")
        # The most bytes the count and the name add to a payload: left free when splitting.
        self._count_room = len(b',"seq":,"app":') + 20 + len(self._app)
        self._peer = None
        self._socket = None
        try:
            host, port = parse_address(address or os.environ.get("CORVANE_ADDRESS")
                                       or DEFAULT_ADDRESS)
            # Resolved once, here; an IPv4 address is preferred, as the viewer listens there.
            found = socket.getaddrinfo(host, port, type=socket.SOCK_DGRAM)
            family, _, _, _, self._peer = sorted(found, key=lambda f: f[0] != socket.AF_INET)[0]
            self._socket = socket.socket(family, socket.SOCK_DGRAM)
            self._socket.setblocking(False)
        except (OSError, ValueError, IndexError):
            self._peer = None  # nothing is sent; every record counts as dropped

    @staticmethod
    def pane_of(levelno):
        """The pane, 1 to 4, of a record's level."""
        if levelno < logging.INFO:
            return 1
        if levelno < logging.WARNING:
            return 2
        if levelno < logging.ERROR:
            return 3
        return 4

    def datagrams(self, pane, text):
        """The payloads for one text, split at line breaks where it must be."""
        def encode(piece):
            shown = exact_text(piece) if self.exact else piece
            message = {"tabs": self.captions, f"log{pane}": shown}
            return json.dumps(message, ensure_ascii=False,
                              separators=(",", ":")).encode("utf-8", "replace")

        limit = MAX_DATAGRAM - self._count_room
        payload = encode(text)
        if len(payload) <= limit:
            return [payload]
        payloads, start = [], 0
        while start < len(text):
            fits, too_long = start, min(len(text), start + limit) + 1
            while too_long - fits > 1:  # the longest piece from start whose datagram fits
                middle = (fits + too_long) // 2
                if len(encode(text[start:middle])) <= limit:
                    fits = middle
                else:
                    too_long = middle
            if fits == start:
                return payloads  # the captions alone leave no room
            end = following = fits
            line_break = text.rfind("\n", start + 1, fits)
            if fits < len(text) and line_break > start:
                end, following = line_break, line_break + 1
            payloads.append(encode(text[start:end]))
            start = following
        return payloads

    def emit(self, record):
        try:
            text = self.format(record)
        except Exception:  # a broken format string: logging's own way of reporting it
            self.handleError(record)
            return
        if not text:
            return
        try:
            payloads = self.datagrams(self.pane_of(record.levelno), text)
        except Exception:
            self.dropped += 1
            return
        for payload in payloads:
            try:
                if self._peer is None:
                    raise OSError("no viewer address")
                counted = payload[:-1] + b',"seq":%d,"app":%s}' % (self.sent + 1, self._app)
                if len(counted) <= MAX_DATAGRAM:
                    self._socket.sendto(counted, self._peer)
                    self.sent += 1
                else:  # no room left for the count: it goes as it is, without a number
                    self._socket.sendto(payload, self._peer)
            except OSError:  # no route, a full buffer: dropped, as UDP's are
                self.dropped += 1

    def close(self):
        if self._socket is not None:
            self._socket.close()
            self._socket = None
            self._peer = None
        super().close()
