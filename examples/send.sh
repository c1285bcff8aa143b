#!/bin/sh
# Feeds a running Corvane viewer from the shell. Usage: send.sh [port]   (default 1947)
# SPDX-License-Identifier: MIT
port=${1:-1947}

# One message: a text for pane 1 and one for pane 3, and the names of the four tabs.
corvane-send --port "$port" --tabs "Net,Db,UI,Build" --log1 "connected" --log3 "button pressed"

# A program's output, live, one datagram a line, into pane 4.
printf 'build step %s\n' 1 2 3 | corvane-send --port "$port" --tabs "Net,Db,UI,Build" --pane 4
