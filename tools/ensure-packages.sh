#!/bin/sh
# Makes sure the named Debian packages are installed. As root it installs what is missing;
# otherwise it prints the command to run and stops.
# SPDX-License-Identifier: GPL-3.0-or-later
set -eu
missing=""
for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing
else
    echo "Corvane needs these Debian packages:$missing" >&2
    echo "Install them with:  sudo apt-get update && sudo apt-get install --no-install-recommends$missing" >&2
    echo "or, without sudo:   su -c 'apt-get update && apt-get install --no-install-recommends$missing'" >&2
    echo "then run the same make command again." >&2
    exit 1
fi
