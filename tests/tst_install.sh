#!/bin/sh
# Installs the build into a temporary prefix and packages it, then checks what a user gets:
# both programs, the desktop entry, the icon and the licence, and a Debian package that depends
# on the Qt 5 runtime libraries.
# Usage: tst_install.sh <build dir> [cmake] [cpack]
set -eu
build=$1
cmake=${2:-cmake}
cpack=${3:-cpack}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
for file in bin/corvane bin/corvane-send; do
    [ -x "$prefix/$file" ] || fail "$file is not installed as a program"
done
desktop=$prefix/share/applications/corvane.desktop
icon=$prefix/share/icons/hicolor/128x128/apps/corvane.png
if [ -f "$desktop" ]; then
    # Hints are advice; errors and warnings make the validator exit non-zero.
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the entry"
    for line in 'Type=Application' 'Name=Corvane' 'Exec=corvane' 'Icon=corvane' \
        'Categories=Development;Utility;'; do
        grep -qxF "$line" "$desktop" || fail "the entry lacks the line $line"
    done
    grep -q '^Comment=.' "$desktop" || fail "the entry has no Comment"
    # The entry starts the program that was installed beside it.
    exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    [ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name names no installed program"
else
    fail "share/applications/corvane.desktop is not installed"
fi
if [ -f "$icon" ]; then
    file "$icon" | grep -q 'PNG image data, 128 x 128' || fail "the icon is not a 128 x 128 PNG"
else
    fail "share/icons/hicolor/128x128/apps/corvane.png is not installed"
fi
copyright=$prefix/share/doc/corvane/copyright
if [ -f "$copyright" ]; then
    # Debian's machine-readable format, naming the licence for every file.
    head -n 1 "$copyright" |
        grep -qxF 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "the copyright file does not start with the DEP-5 Format line"
    grep -qxF 'Files: *' "$copyright" || fail "the copyright file has no paragraph for all files"
    grep -qxF 'License: GPL-3+' "$copyright" || fail "the copyright file names no GPL-3+ licence"
else
    fail "share/doc/corvane/copyright is not installed"
fi
version=$("$prefix/bin/corvane-send" --version) || fail "the installed corvane-send does not run"
case $version in
corvane-send\ [0-9]*) ;;
*) fail "the installed corvane-send says \"$version\"" ;;
esac

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
set -- "$work"/package/*.deb
if [ -f "$1" ]; then
    info=$(dpkg-deb --info "$1")
    echo "$info" | grep -qx ' Package: corvane' || fail "the package is not named corvane"
    depends=$(echo "$info" | sed -n 's/^ Depends: //p')
    for library in libqt5core5a libqt5gui5 libqt5network5 libqt5widgets5; do
        case $depends in
        *"$library "*) ;;
        *) fail "the package does not depend on $library (Depends: $depends)" ;;
        esac
    done
    contents=$(dpkg-deb --contents "$1")
    for file in usr/bin/corvane usr/bin/corvane-send usr/share/applications/corvane.desktop \
        usr/share/icons/hicolor/128x128/apps/corvane.png usr/share/doc/corvane/copyright; do
        echo "$contents" | grep -q " \./$file\$" || fail "the package lacks /$file"
    done
else
    fail "cpack made no .deb"
fi

[ "$failures" -eq 0 ] && echo "install tree and package complete"
exit "$failures"
