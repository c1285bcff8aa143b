#!/bin/sh
# Makes docs/screenshot.png: starts the viewer on a virtual X display with a settings file of
# its own, feeds it traffic with corvane-send and captures its window. Run it again after any
# change to the window.
#
# Usage: tools/screenshot.sh [build dir]   (default: build; run `make build` first)
# Needs Debian's xvfb and xauth (xvfb-run), imagemagick (import) and xdotool.
# SPDX-License-Identifier: GPL-3.0-or-later
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

if [ -z "${CORVANE_SCREENSHOT_DISPLAY:-}" ]; then
    missing=""
    for tool in xvfb-run:xvfb xauth:xauth import:imagemagick xdotool:xdotool; do
        command -v "${tool%%:*}" >/dev/null || missing="$missing ${tool#*:}"
    done
    if [ -n "$missing" ]; then
        echo "screenshot.sh needs:$missing (apt-get install --no-install-recommends$missing)" >&2
        exit 1
    fi
    export CORVANE_SCREENSHOT_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build"
fi

# From here on we run inside xvfb-run, on a display of our own.
viewer=$build/src/corvane
send=$build/tools/corvane-send/corvane-send
port=${CORVANE_SCREENSHOT_PORT:-21947}
home=$(mktemp -d)
viewer_pid=""
cleanup() {
    [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null
    rm -rf "$home"
}
trap cleanup EXIT

# A fresh home: default settings but our own port and size, and a clear timeout long enough
# that the panes stay full while we feed them.
mkdir "$home/.corvane"
cat >"$home/.corvane/config" <<CONFIG
serverPort = $port
timeoutEnabled = 1
timeoutValue = 30
windowX = 0
windowY = 0
windowW = 760
windowH = 440
CONFIG
HOME=$home LANG=C.UTF-8 LC_ALL=C.UTF-8 "$viewer" &
viewer_pid=$!
window=$(xdotool search --sync --onlyvisible --name '^Corvane')

tabs="Net,Db,UI,Build"
s() { "$send" --port "$port" --tabs "$tabs" "$@"; }
s --log1 "GET /api/users 200 (12 ms)" --log2 "SELECT id, name FROM users LIMIT 50 (0.8 ms)"
s --log1 "GET /api/orders?state=open 200 (31 ms)" --log3 'button "Refresh" pressed'
s --log1 "POST /api/login 200 (9 ms)" --log2 "UPDATE sessions SET seen = now() (2.1 ms)"
s --log1 "WebSocket /live: connected, 3 subscriptions" --log3 "dialog Preferences opened"
s --log1 "GET /api/orders/1047 200 (7 ms)" --log2 "SELECT * FROM orders WHERE id = 1047 (0.5 ms)"
s --log1 "GET /static/app.css 304 (1 ms)"
# A text with markup is shown as rich text.
s --log1 '<span style="color:#b03a2e"><b>POST /api/login 401</b> bad password for "ana"</span>'
printf '[%3d%%] Building CXX object src/%s.o\n' 10 main.cpp 35 mainwindow.cpp 60 logdocument.cpp \
    85 translation.cpp | s --pane 4 --rate 50
s --log4 "[100%] Built target corvane"

# Let the viewer draw what it received before the picture is taken.
sleep 1
mkdir -p "$root/docs"
import -window "$window" -strip -define png:exclude-chunks=date,time "$root/docs/screenshot.png"
echo "wrote $root/docs/screenshot.png"
