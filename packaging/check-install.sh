#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs is there and
# valid: the program, its desktop entry, icons and AppStream data.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cmake --install "$build" --prefix "$scratch/usr" >/dev/null
share="$scratch/usr/share"
for f in \
  "$scratch/usr/bin/velmo" \
  "$share/applications/org.velmo.Browser.desktop" \
  "$share/metainfo/org.velmo.Browser.metainfo.xml" \
  "$share/icons/hicolor/scalable/apps/org.velmo.Browser.svg" \
  "$share/icons/hicolor/48x48/apps/org.velmo.Browser.png" \
  "$share/icons/hicolor/128x128/apps/org.velmo.Browser.png" \
  "$share/icons/hicolor/256x256/apps/org.velmo.Browser.png" \
  "$share/man/man1/velmo.1.gz" \
  "$share/doc/velmo/copyright" \
  "$share/doc/velmo/changelog.gz"; do
  [ -s "$f" ] || { echo "missing: $f"; exit 1; }
done
# Each PNG is the size its folder names.
for size in 48 128 256; do
  got="$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print(*struct.unpack(">II", d[16:24]))' \
    "$share/icons/hicolor/${size}x${size}/apps/org.velmo.Browser.png")"
  [ "$got" = "$size $size" ] || { echo "icon ${size}: $got"; exit 1; }
done
desktop-file-validate "$share/applications/org.velmo.Browser.desktop"
appstreamcli validate --no-net "$share/metainfo/org.velmo.Browser.metainfo.xml" >/dev/null
[ "$("$scratch/usr/bin/velmo" --version)" = "velmo 0.1" ]
echo "install tree ok"
