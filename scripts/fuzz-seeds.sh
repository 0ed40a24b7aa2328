#!/bin/bash
# Writes the file readers' seed corpora from the bundled demos:
#   fuzz/corpus/experiment/<demo>.exp  the demo as an experiment file;
#   fuzz/corpus/container/<demo>.bin   the demo packed behind a one-byte player;
#   fuzz/corpus/roundtrip/<demo>.toml  the demo as a text form (pictures
#                                      embedded), for the seeds named in
#                                      ROUNDTRIP_DEMOS, and the first of them
#                                      also as JSON, experiment file and container.
# Demos larger than MAX_BYTES (large pictures) are left out: they would slow
# every fuzzing run for little new coverage. Usage:
#   scripts/fuzz-seeds.sh [BUILD_DIR]   (default build/; needs quorrel-tool built)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
TOOL="$BUILD/src/app/quorrel-tool"
MAX_BYTES="${MAX_BYTES:-65536}"
# A few demos that use every kind of table between them: the round trip
# converts each input six ways, so a small corpus goes further.
ROUNDTRIP_DEMOS="${ROUNDTRIP_DEMOS:-thrown_ball spring_oscillator fields_and_charges colliding_bodies circular_track rope_pendulum}"

if [ ! -x "$TOOL" ]; then
    echo "fuzz-seeds: $TOOL not found; build the quorrel-tool target first" >&2
    exit 1
fi

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
"$TOOL" demo "$WORK/demos"
printf P >"$WORK/player"

mkdir -p "$ROOT/fuzz/corpus/experiment" "$ROOT/fuzz/corpus/container" "$ROOT/fuzz/corpus/roundtrip"
for exp in "$WORK"/demos/*.exp; do
    name="$(basename "$exp" .exp)"
    if [ "$(stat -c %s "$exp")" -gt "$MAX_BYTES" ]; then
        echo "skipped $name (larger than $MAX_BYTES bytes)"
        continue
    fi
    cp "$exp" "$ROOT/fuzz/corpus/experiment/$name.exp"
    "$TOOL" pack "$exp" --out "$ROOT/fuzz/corpus/container/$name.bin" --player "$WORK/player"
    chmod -x "$ROOT/fuzz/corpus/container/$name.bin"
    echo "wrote $name"
done

for name in $ROUNDTRIP_DEMOS; do
    exp="$WORK/demos/$name.exp"
    if [ ! -f "$exp" ] || [ "$(stat -c %s "$exp")" -gt "$MAX_BYTES" ]; then
        echo "skipped round-trip seed $name (missing or larger than $MAX_BYTES bytes)"
        continue
    fi
    "$TOOL" convert "$exp" "$ROOT/fuzz/corpus/roundtrip/$name.toml"
    echo "wrote round-trip seed $name"
done
first="${ROUNDTRIP_DEMOS%% *}"
"$TOOL" convert "$WORK/demos/$first.exp" "$ROOT/fuzz/corpus/roundtrip/$first.json"
cp "$ROOT/fuzz/corpus/experiment/$first.exp" "$ROOT/fuzz/corpus/container/$first.bin" "$ROOT/fuzz/corpus/roundtrip/"
