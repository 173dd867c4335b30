#!/usr/bin/env bash
# End to end in a real X window: search, select the first result, save it to
# Downloads with Ctrl+Shift+S, copy its URL with Ctrl+Shift+C, and compare both
# with what the catalogue served. Needs Xvfb, xdotool and xclip.
set -euo pipefail
build_dir="$(cd "$1" && pwd)"
app="$build_dir/src/sleevanta"
cli="$build_dir/src/sleevanta-cli"
server_bin="$build_dir/tools/sleevanta-fixture-server"

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/app.log" ] && cat "$work/app.log" >&2; exit 1; }

# A display of our own.
display=""
for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || fail "no free X display"
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not start"

# The fixture catalogue on a free port.
"$server_bin" --port 0 >"$work/server.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q "Fixture catalogue at" "$work/server.log" && break; sleep 0.1; done
origin="$(sed -n 's/^Fixture catalogue at //p' "$work/server.log")"
[ -n "$origin" ] || fail "the fixture server did not start"

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_RUNTIME_DIR="$work/runtime" SLEEVANTA_SERVICE_ORIGIN="$origin" QT_QPA_PLATFORM=xcb
mkdir -p "$HOME/Downloads" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

expected_url="$("$cli" search --json "abbey road" | head -1 |
    sed -n 's/.*"standardResolutionUrl":"\([^"]*\)".*/\1/p' | sed 's#\\/#/#g')"
[ -n "$expected_url" ] || fail "no expected cover URL"

"$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)
# A loaded machine can take many seconds to map the first window.
window="$(timeout 60 xdotool search --sync --onlyvisible --name '^Sleevanta$' 2>/dev/null | head -1 || true)"
kill -0 "$app_pid" 2>/dev/null || fail "the application ended early"
[ -n "$window" ] || fail "no window appeared within 60 s"
# Without a window manager nothing gives the window the keyboard focus.
for _ in $(seq 50); do
    xdotool windowfocus --sync "$window" 2>/dev/null && break
    sleep 0.1
done

xdotool type --delay 15 "abbey road"
xdotool key Return
# The listed rows fetch their thumbnails into the disk cache: then there are rows.
images="$XDG_CACHE_HOME/Sleevanta/images"
for _ in $(seq 300); do
    [ -n "$(ls -A "$images" 2>/dev/null)" ] && break
    sleep 0.1
done
[ -n "$(ls -A "$images" 2>/dev/null)" ] || fail "the search listed nothing"
xdotool key Down
saved="$HOME/Downloads/folder.jpg"
for _ in $(seq 50); do
    # The cover menu items are enabled once the cover is shown.
    xdotool key ctrl+shift+s
    sleep 0.3
    [ -f "$saved" ] && break
done
[ -f "$saved" ] || fail "Ctrl+Shift+S saved nothing"
cached="$XDG_CACHE_HOME/Sleevanta/images/$(printf '%s' "$expected_url" | sha256sum | cut -d' ' -f1)"
[ -f "$cached" ] || fail "the cover is not in the disk cache"
cmp -s "$saved" "$cached" || fail "the saved file differs from the cover as served"

xdotool key ctrl+shift+c
sleep 0.5
copied="$(xclip -selection clipboard -o 2>/dev/null || true)"
[ "$copied" = "$expected_url" ] || fail "clipboard holds '$copied', expected '$expected_url'"

# Copy Image: the file for file managers, the JPEG and a PNG for image editors.
xdotool key ctrl+c
for _ in $(seq 50); do
    targets="$(xclip -selection clipboard -t TARGETS -o 2>/dev/null || true)"
    [[ "$targets" == *image/png* ]] && break
    sleep 0.1
done
for target in text/uri-list x-special/gnome-copied-files image/jpeg image/png; do
    [[ "$targets" == *"$target"* ]] || fail "the copied image offers no $target"
done

echo "end to end OK: saved $(basename "$saved"), copied $copied and the image"
