#!/bin/bash
# Fails when a source file includes a header of a layer it may not depend on.
# The layers, each on the ones listed after it:
#   model   -
#   engine  model                 (never the drawing)
#   render  model                 (never the engine)
#   script  model engine
#   player  model engine render script
#   ui      model engine render script player
#   app     everything
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A ALLOWED=(
    [model]="model"
    [engine]="model engine"
    [render]="model render"
    [script]="model engine script"
    [player]="model engine render script player"
    [ui]="model engine render script player ui"
)

status=0
for layer in "${!ALLOWED[@]}"; do
    while IFS=: read -r file line include; do
        target="$(sed -n 's/^#include "\([a-z]*\)\/.*/\1/p' <<<"$include")"
        [ -z "$target" ] && continue
        if [[ " ${ALLOWED[$layer]} " != *" $target "* ]]; then
            echo "$file:$line: $layer may not include $target: $include" >&2
            status=1
        fi
    done < <(git grep --untracked -n '^#include "' -- "src/$layer/*.cpp" "src/$layer/*.h" || true)
done
if [ "$status" -eq 0 ]; then echo "layers: every include is allowed"; fi
exit "$status"
