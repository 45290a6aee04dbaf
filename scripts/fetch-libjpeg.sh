#!/usr/bin/env bash
# Unpacks Debian's libjpeg-turbo source package into third_party/src/libjpeg-turbo, where the cross
# and fuzz builds compile it. Safe to run again: does nothing once the source is there.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
dest="$root/third_party/src/libjpeg-turbo"
if [[ -f "$dest/jpeglib.h" && -f "$dest/CMakeLists.txt" ]]; then
    exit 0
fi

for tool in apt-get dpkg-source; do
    if ! command -v "$tool" >/dev/null; then
        echo "fetch-libjpeg.sh: $tool is missing; run scripts/setup.sh first" >&2
        exit 1
    fi
done

mkdir -p "$root/third_party/src"
work="$(mktemp -d "$root/third_party/src/.fetch.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# apt-get source wants a deb-src entry; scripts/setup.sh adds one.
if ! (cd "$work" && apt-get source -qq -o APT::Sandbox::User=root libjpeg-turbo >/dev/null); then
    echo "fetch-libjpeg.sh: apt-get source libjpeg-turbo failed; run scripts/setup.sh (deb-src entry)" >&2
    exit 1
fi
unpacked="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)"
if [[ -z "$unpacked" || ! -f "$unpacked/jpeglib.h" ]]; then
    echo "fetch-libjpeg.sh: the source package did not unpack as expected" >&2
    exit 1
fi
# Another configure may have won the race; its copy is just as good.
mv -T "$unpacked" "$dest" 2>/dev/null || [[ -f "$dest/jpeglib.h" ]]
echo "fetch-libjpeg.sh: $(basename "$unpacked") unpacked into third_party/src/libjpeg-turbo"
