#!/usr/bin/env bash
# Builds the Debian package and checks what it installs: both programs, a
# valid desktop entry that is D-Bus activatable and claims no file types, its
# D-Bus service, the file manager's service menu, AppStream metainfo, the
# icons, both manual pages, the copyright file and changelog, dependencies
# computed from the programs, and what lintian and hardening-check say.
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
for page in sleevanta sleevanta-cli; do
    zcat "$share/man/man1/$page.1.gz" | grep -qi "^\.TH $page 1" || fail "no manual page for $page"
done
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$share/doc/sleevanta/copyright" || fail "no machine-readable copyright file"
zcat "$share/doc/sleevanta/changelog.gz" | head -1 | grep -q "^sleevanta ($(dpkg-deb -f "$deb" Version))" ||
    fail "no changelog of this version"
# Double-clicking a track keeps opening the user's player.
! grep -q '^MimeType=' "$desktop" || fail "the desktop entry claims file types"
menu="$share/kio/servicemenus/sleevanta-find-cover.desktop"
grep -qx 'Name=Find Cover with Sleevanta' "$menu" || fail "no service menu"
grep -q 'inode/directory' "$menu" && grep -q 'audio/mpeg' "$menu" || fail "service menu types"
if command -v lintian >/dev/null; then
    lintian --pedantic --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
        { cat "$work/lintian.log" >&2; fail "lintian"; }
fi
# Control-flow protection is compiled in, but Debian 12's C start files carry
# no CET note, so the linker cannot mark the programs as protected.
if command -v hardening-check >/dev/null; then
    for program in sleevanta sleevanta-cli; do
        hardening-check --nocfprotection --quiet "$root/usr/bin/$program" >&2 ||
            fail "$program is not hardened"
    done
fi
[ -f "$share/icons/hicolor/scalable/apps/org.sleevanta.Sleevanta.svg" ] || fail "no scalable icon"
for size in 16 32 48 64 128 256 512; do
    png="$share/icons/hicolor/${size}x${size}/apps/org.sleevanta.Sleevanta.png"
    head -c 8 "$png" | od -An -tx1 | grep -q "89 50 4e 47" || fail "no ${size}px icon"
done
echo "package OK: $(basename "$deb")"
