#!/usr/bin/env bash
# Fails when a source file includes a layer above its own. The core's layers,
# lowest first: platform, settings, catalogue, sources, imaging, library; on
# them the widgets (ui, then app) and, beside the widgets, the command line
# (cli), which sees no widget. Includes name their folder ("imaging/X.h").
set -euo pipefail
src="${1:?usage: check-layers.sh SRC_DIR}"
rank() {
    case "$1" in
        platform) echo 0 ;; settings) echo 1 ;; catalogue) echo 2 ;; sources) echo 3 ;;
        imaging) echo 4 ;; library) echo 5 ;; ui|cli) echo 6 ;; app) echo 7 ;; *) echo -1 ;;
    esac
}
status=0
while IFS= read -r file; do
    own="${file#"$src"/}"
    own="${own%%/*}"
    while IFS= read -r included; do
        layer="${included%%/*}"
        [ "$layer" = "$included" ] && continue # a generated form header
        theirs=$(rank "$layer")
        [ "$theirs" -lt 0 ] && continue
        mine=$(rank "$own")
        if [ "$theirs" -gt "$mine" ] || { [ "$own" = cli ] && [ "$layer" = ui ]; } ||
            { [ "$own" = ui ] && [ "$layer" = cli ]; }; then
            echo "${file#"$src"/}: includes $included, a layer above $own" >&2
            status=1
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -name '*.h' -o -name '*.cpp')
[ $status -eq 0 ] && echo "every include points down the layers"
exit $status
