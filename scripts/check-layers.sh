#!/bin/bash
# Fails when a source file includes a header of a layer it may not depend on.
# The layers, each on the ones listed after it:
#   model   -
#   format  model                 (the file formats: readers, writer, text forms)
#   engine  model                 (never the drawing)
#   render  model                 (never the engine)
#   script  model format engine   (opening another experiment reads a file)
#   player  model format engine render script
#   ui      model format engine render script player
#   app     everything
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A ALLOWED=(
    [model]="model"
    [format]="model format"
    [engine]="model engine"
    [render]="model render"
    [script]="model format engine script"
    [player]="model format engine render script player"
    [ui]="model format engine render script player ui"
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
