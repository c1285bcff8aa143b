#!/bin/sh
# Installs the build into a temporary prefix and packages it, then checks what a user gets:
# both programs, the desktop entry, the icon and the licence, and a Debian package that depends
# on the runtime libraries of the Qt it was built with; the client library's header, archive and
# CMake package, and the corvane-dev package that holds them; and that uninstalling as `make
# uninstall` does leaves nothing behind.
# Usage: tst_install.sh <build dir> [cmake] [cpack] [Qt major version, 5 or 6]
# SPDX-License-Identifier: GPL-3.0-or-later
set -eu
build=$1
cmake=${2:-cmake}
cpack=${3:-cpack}
qt=${4:-5}
case $qt in
5)
    qt_libraries="libqt5core5a libqt5gui5 libqt5network5 libqt5widgets5"
    other_libraries="libqt6core6 libqt6gui6 libqt6network6 libqt6widgets6"
    qt_dev=qtbase5-dev other_dev=qt6-base-dev
    ;;
6)
    qt_libraries="libqt6core6 libqt6gui6 libqt6network6 libqt6widgets6"
    other_libraries="libqt5core5a libqt5gui5 libqt5network5 libqt5widgets5"
    qt_dev=qt6-base-dev other_dev=qtbase5-dev
    ;;
*)
    echo "tst_install.sh: no Qt $qt" >&2
    exit 2
    ;;
esac
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
    # The client library, which any program may link, is under the MIT (Expat) licence.
    sed -n '/^Files: src\/client\/\*/,/^$/p' "$copyright" | grep -qxF 'License: Expat' ||
        fail "the copyright file does not put the client library under the Expat licence"
else
    fail "share/doc/corvane/copyright is not installed"
fi
version=$("$prefix/bin/corvane-send" --version) || fail "the installed corvane-send does not run"
case $version in
corvane-send\ [0-9]*) ;;
*) fail "the installed corvane-send says \"$version\"" ;;
esac
dev_files="include/corvane/client.h lib/libcorvane-client.a lib/cmake/Corvane/CorvaneConfig.cmake
lib/cmake/Corvane/CorvaneConfigVersion.cmake lib/cmake/Corvane/CorvaneTargets.cmake
share/doc/corvane-dev/copyright"
for file in $dev_files; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
# A program that finds the package gets the Qt the library was built with.
grep -q "^find_dependency(Qt$qt " "$prefix/lib/cmake/Corvane/CorvaneConfig.cmake" ||
    fail "the installed CorvaneConfig.cmake does not ask for Qt$qt"
# The version file takes any 1.x and refuses another major version.
for wanted in 1.0:TRUE 1.0.0:TRUE 0.9:FALSE 2.0:FALSE; do
    cat >"$work/version.cmake" <<EOF
set(PACKAGE_FIND_VERSION ${wanted%:*})
string(REPLACE "." ";" parts \${PACKAGE_FIND_VERSION})
list(GET parts 0 PACKAGE_FIND_VERSION_MAJOR)
include("$prefix/lib/cmake/Corvane/CorvaneConfigVersion.cmake")
message("\${PACKAGE_VERSION_COMPATIBLE}")
EOF
    answer=$("$cmake" -P "$work/version.cmake" 2>&1)
    [ "$answer" = "${wanted#*:}" ] || fail "asked for Corvane ${wanted%:*}, compatible: $answer"
done

# `make uninstall`: the manifest kept where `make install` keeps it.
mkdir -p "$prefix/share/corvane"
cp "$build/install_manifest.txt" "$prefix/share/corvane/installed-files.txt"
sh "$(dirname "$0")/../tools/uninstall.sh" "$prefix/share/corvane/installed-files.txt" >/dev/null
left=$(find "$prefix" ! -type d -o -type d -iname 'corvane*')
[ -z "$left" ] || fail "uninstalling left $left"

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
set -- "$work"/package/corvane_*.deb
if [ -f "$1" ]; then
    info=$(dpkg-deb --info "$1")
    echo "$info" | grep -qx ' Package: corvane' || fail "the package is not named corvane"
    depends=$(echo "$info" | sed -n 's/^ Depends: //p')
    for library in $qt_libraries; do
        case $depends in
        *"$library "*) ;;
        *) fail "the package does not depend on $library (Depends: $depends)" ;;
        esac
    done
    for library in $other_libraries; do
        case $depends in
        *"$library "*) fail "a Qt $qt build depends on $library (Depends: $depends)" ;;
        esac
    done
    contents=$(dpkg-deb --contents "$1")
    for file in usr/bin/corvane usr/bin/corvane-send usr/share/applications/corvane.desktop \
        usr/share/icons/hicolor/128x128/apps/corvane.png usr/share/doc/corvane/copyright; do
        echo "$contents" | grep -q " \./$file\$" || fail "the package lacks /$file"
    done
    if echo "$contents" | grep -q "/include/"; then
        fail "corvane holds the development files"
    fi
else
    fail "cpack made no corvane .deb"
fi
set -- "$work"/package/corvane-dev_*.deb
if [ -f "$1" ]; then
    info=$(dpkg-deb --info "$1")
    echo "$info" | grep -qx ' Package: corvane-dev' || fail "the -dev package is misnamed"
    echo "$info" | grep -q "^ Depends: .*$qt_dev" || fail "corvane-dev does not need $qt_dev"
    if echo "$info" | grep -q "^ Depends: .*$other_dev"; then
        fail "corvane-dev of a Qt $qt build needs $other_dev"
    fi
    contents=$(dpkg-deb --contents "$1")
    for file in $dev_files; do
        echo "$contents" | grep -q " \./usr/$file\$" || fail "corvane-dev lacks /usr/$file"
    done
    if echo "$contents" | grep -q "/bin/"; then
        fail "corvane-dev holds programs"
    fi
else
    fail "cpack made no corvane-dev .deb"
fi

[ "$failures" -eq 0 ] && echo "install tree and package complete"
exit "$failures"
