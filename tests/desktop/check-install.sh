#!/usr/bin/env bash
# Installs into a scratch prefix and checks what a desktop needs: both
# programs, a valid desktop entry and AppStream metainfo, and the icons.
set -euo pipefail
build_dir="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
for program in sleevanta sleevanta-cli; do
    [ -x "$prefix/bin/$program" ] || fail "$program is not installed"
done
desktop="$prefix/share/applications/org.sleevanta.Sleevanta.desktop"
metainfo="$prefix/share/metainfo/org.sleevanta.Sleevanta.metainfo.xml"
[ -f "$desktop" ] || fail "no desktop entry"
[ -f "$metainfo" ] || fail "no metainfo"
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
appstreamcli validate --no-net "$metainfo" || fail "metainfo does not validate"
grep -q "<screenshot" "$metainfo" || fail "metainfo has no screenshot"
[ -f "$prefix/share/icons/hicolor/scalable/apps/org.sleevanta.Sleevanta.svg" ] || fail "no scalable icon"
for size in 16 32 48 64 128 256 512; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/org.sleevanta.Sleevanta.png"
    [ -f "$png" ] || fail "no ${size}px icon"
    head -c 8 "$png" | od -An -tx1 | grep -q "89 50 4e 47" || fail "${size}px icon is no PNG"
done
echo "install tree OK"
