#!/bin/bash
# Installs the dependencies, builds the project and shows the bundled demo in
# the demo launcher (quorrel-demo: a full-screen gallery of the bundled demos;
# a click opens one in the player, and the gallery comes back when it closes).
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
JOBS="${JOBS:-2}"

"$ROOT/scripts/install-deps.sh"
cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$ROOT/build" -j"$JOBS"

targets="$(cmake --build "$ROOT/build" --target help)"
if ! grep -q '^quorrel-demo:' <<<"$targets"; then
    echo "run-demo: the player window (target quorrel-demo) is not part of this build yet" >&2
    exit 1
fi
cmake --build "$ROOT/build" --target quorrel-demo -j"$JOBS"
# quorrel-demo is the launcher that shows the demos and opens the chosen one.
demo="$ROOT/build/demo/quorrel-demo"
[ -x "$demo" ] || demo="$(find "$ROOT/build" -type f -name quorrel-demo -perm -u+x -print -quit)"
if [ -n "$demo" ]; then
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "run-demo: built $demo, but there is no display to show it on (set DISPLAY, or use xvfb-run)" >&2
        exit 1
    fi
    exec "$demo" "$@"
fi
