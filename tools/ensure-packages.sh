#!/bin/sh
# Makes sure the named Debian packages are installed. As root it installs what is missing;
# otherwise it prints the command to run and stops. Packages already installed are left as they
# are.
# SPDX-License-Identifier: GPL-3.0-or-later
set -eu
missing=""
for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
    echo "Corvane needs these Debian packages:$missing" >&2
    echo "Install them with:  sudo apt-get update && sudo apt-get install --no-install-recommends$missing" >&2
    echo "or, without sudo:   su -c 'apt-get update && apt-get install --no-install-recommends$missing'" >&2
    echo "then run the same make command again." >&2
    exit 1
fi

# Some of these packages (rsyslog) enable and start a system service when installed. A build or
# a test suite has no business changing what runs on the machine, so while apt-get works,
# invoke-rc.d is told that starting services is forbidden (policy-rc.d's 101), and the units the
# new packages enabled are disabled again afterwards. A policy-rc.d the machine already has is
# its administrator's and is left as it is.
policy=/usr/sbin/policy-rc.d
own_policy=""
remove_policy() {
    if [ -n "$own_policy" ]; then
        rm -f "$policy"
    fi
}
trap remove_policy EXIT
trap 'exit 1' HUP INT TERM
# noclobber: created only when there is none, even if one appears meanwhile.
if (set -C && printf '#!/bin/sh\n# Made by Corvane'"'"'s ensure-packages.sh while it installs.\nexit 101\n' >"$policy") 2>/dev/null; then
    own_policy=yes
    chmod 755 "$policy"
else
    echo "Leaving $policy as it is: it decides whether the new packages' services start."
fi

echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing

if command -v systemctl >/dev/null; then
    # shellcheck disable=SC2086 # one argument a package
    units=$(dpkg-query -L $missing 2>/dev/null |
        sed -n 's#^\(/usr\)\{0,1\}/lib/systemd/system/\([^/]*\.\(service\|socket\|timer\|path\)\)$#\2#p')
    for unit in $units; do
        if [ "$(systemctl is-enabled "$unit" 2>/dev/null)" = enabled ]; then
            echo "Disabling $unit, which installing its package enabled."
            systemctl disable --quiet "$unit" || echo "Could not disable $unit." >&2
        fi
    done
fi
