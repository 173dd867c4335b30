#!/usr/bin/env bash
# Builds the Debian package and checks what it installs: both programs, a
# valid desktop entry that is D-Bus activatable, its D-Bus service, AppStream
# metainfo, the icons, the manual page, and dependencies computed from the
# programs.
set -euo pipefail
build_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build_dir" && cpack -G DEB -B "$work/packages" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb="$(ls "$work"/packages/sleevanta_*_*.deb)" || fail "no sleevanta_<version>_<arch>.deb"
root="$work/root"
dpkg-deb -x "$deb" "$root"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 libqt6dbus6 libicu qt6-image-formats-plugins; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

share="$root/usr/share"
for program in sleevanta sleevanta-cli; do
    [ -x "$root/usr/bin/$program" ] || fail "$program is not installed"
done
desktop="$share/applications/org.sleevanta.Sleevanta.desktop"
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
grep -qx 'DBusActivatable=true' "$desktop" || fail "desktop entry is not D-Bus activatable"
grep -qx 'Exec=/usr/bin/sleevanta' "$share/dbus-1/services/org.sleevanta.Sleevanta.service" ||
    fail "no D-Bus service for /usr/bin/sleevanta"
appstreamcli validate --no-net "$share/metainfo/org.sleevanta.Sleevanta.metainfo.xml" ||
    fail "metainfo does not validate"
zcat "$share/man/man1/sleevanta-cli.1.gz" | grep -q '^\.TH SLEEVANTA-CLI 1' || fail "no manual page"
[ -f "$share/icons/hicolor/scalable/apps/org.sleevanta.Sleevanta.svg" ] || fail "no scalable icon"
for size in 16 32 48 64 128 256 512; do
    png="$share/icons/hicolor/${size}x${size}/apps/org.sleevanta.Sleevanta.png"
    head -c 8 "$png" | od -An -tx1 | grep -q "89 50 4e 47" || fail "no ${size}px icon"
done
echo "package OK: $(basename "$deb")"
