#!/usr/bin/env bash
# Unpacks a Debian source package into a folder, once, and prints the folder of its source.
# Adds deb-src lines for the machine's Debian suites when apt has none.
#   tools/fetch-source.sh PACKAGE DIR
set -euo pipefail
package=$1
dir=$2
mkdir -p "$dir"
found() { find "$dir" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | sort | tail -n 1; }
if [ -n "$(found)" ]; then
    found
    exit 0
fi

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    # The same archive and suites as the binary packages come from.
    . /etc/os-release
    echo "Adding deb-src lines for $VERSION_CODENAME" >&2
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$VERSION_CODENAME" "$VERSION_CODENAME" |
        "${sudo[@]}" tee /etc/apt/sources.list.d/discfire-src.sources >/dev/null
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq >&2
fi
(cd "$dir" && apt-get source -qq "$package" >&2) ||
    { "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq >&2 &&
      (cd "$dir" && apt-get source -qq "$package" >&2); }
found
