#!/usr/bin/env bash
# Every "%n" text in the sources has its English singular and plural forms:
# the sources are read into a copy of the English translation, which must then
# hold no unfinished entry (a new text would read "album(s)").
set -euo pipefail
lupdate="$1" src="$2" ts="$3"
copy="$(mktemp --suffix=.ts)"
trap 'rm -f "$copy"' EXIT
cp "$ts" "$copy"
"$lupdate" -silent -locations none -no-obsolete -pluralonly "$src" -ts "$copy"
if grep -B2 'type="unfinished"' "$copy" | grep '<source>'; then
    echo "these texts have no English plural forms in $ts:" \
        "run 'cmake --build build --target update_translations' and fill them in" >&2
    exit 1
fi
