#!/usr/bin/env bash
# The folders show the program's two layers: src/core/ works without any window, src/windows/
# builds on it. Fails when a core file includes a window or a Qt Widgets header, or when the
# folders come to depend on each other in a circle.
#   check_layers.sh SOURCE_DIR QT_WIDGETS_INCLUDE_DIR
set -euo pipefail
src="$1/src"
widgets="$2"
status=0

folder_of() { dirname "${1#"$src"/}"; }

pairs=$(mktemp)
trap 'rm -f "$pairs"' EXIT
while IFS= read -r file; do
    from=$(folder_of "$file")
    while IFS= read -r included; do
        [ -f "$src/$included" ] || continue
        to=$(dirname "$included")
        [ "$from" = "$to" ] || echo "$from $to" >>"$pairs"
        if [[ $from == core/* && $to == windows/* ]]; then
            echo "core file ${file#"$src"/} includes the window layer's $included"
            status=1
        fi
    done < <(sed -n 's/^#include "\(.*\)".*/\1/p' "$file")
    if [[ $from == core/* ]]; then
        while IFS= read -r header; do
            if [ -e "$widgets/$header" ]; then
                echo "core file ${file#"$src"/} includes the Qt Widgets header <$header>"
                status=1
            fi
        done < <(sed -n 's/^#include <\([^>]*\)>.*/\1/p' "$file")
    fi
done < <(find "$src" -name '*.cpp' -o -name '*.h')

if ! tsort "$pairs" >/dev/null 2>"$pairs.loop"; then
    echo "the folders depend on each other in a circle:"
    cat "$pairs.loop"
    status=1
fi
rm -f "$pairs.loop"
exit $status
