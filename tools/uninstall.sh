#!/bin/sh
# Removes what an install put in place, as listed in the manifest CMake wrote for it (one path
# a line), then the manifest itself and the folders of Corvane's own that are left empty
# (share/doc/corvane, include/corvane, lib/cmake/Corvane). Shared folders such as bin/ stay,
# even when empty.
# Usage: uninstall.sh <manifest>
# SPDX-License-Identifier: GPL-3.0-or-later
set -eu
manifest=$1
if [ ! -f "$manifest" ]; then
    echo "Nothing to uninstall: $manifest lists no install." >&2
    exit 0
fi
while IFS= read -r file || [ -n "$file" ]; do  # CMake ends the last line with no newline
    [ -n "$file" ] || continue
    if [ -f "$file" ] || [ -L "$file" ]; then
        rm -f "$file"
        echo "Removed $file"
    fi
    case ${file%/*} in
    */[Cc]orvane | */[Cc]orvane-*)
        rmdir "${file%/*}" 2>/dev/null || true
        ;;
    esac
done <"$manifest"
rm -f "$manifest"
rmdir "${manifest%/*}" 2>/dev/null || true
