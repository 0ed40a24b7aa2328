#!/bin/bash
# Writes the file readers' seed corpora from the bundled demos:
#   fuzz/corpus/experiment/<demo>.exp  the demo as an experiment file;
#   fuzz/corpus/container/<demo>.bin   the demo packed behind a one-byte player;
#   fuzz/corpus/roundtrip/<demo>.toml  the demo as a text form (pictures
#                                      embedded), for the seeds named in
#                                      ROUNDTRIP_DEMOS, and the first of them
#                                      also as JSON, experiment file and container.
# and the hostile text forms of fuzz/corpus/text_form/hostile_*: nesting far
# beyond the readers' limit, long keys, NaN where a finite value belongs and
# JSON whose top level is not an object.
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

# $1 repeated $2 times.
repeat() {
    local out="" i
    for ((i = 0; i < $2; i++)); do out+="$1"; done
    printf '%s' "$out"
}
TEXT="$ROOT/fuzz/corpus/text_form"
mkdir -p "$TEXT"
printf '[a%s]\nx = 1\n' "$(repeat .a 7000)" >"$TEXT/hostile_deep_header.toml"
printf '[settings]\n%sa = 1\n' "$(repeat a. 2000)" >"$TEXT/hostile_deep_dotted_key.toml"
printf 'x = %s1%s\n' "$(repeat '[{a=' 150)" "$(repeat '}]' 150)" >"$TEXT/hostile_deep_inline.toml"
printf '{"x":%s%s}\n' "$(repeat '[' 1001)" "$(repeat ']' 1001)" >"$TEXT/hostile_deep.json"
printf '[settings]\n\n"%s" = 1\n' "$(repeat k 3000)" >"$TEXT/hostile_long_key.toml"
printf '{"settings": {\n"%s":\n1}}\n' "$(repeat k 3000)" >"$TEXT/hostile_long_key.json"
printf '[[objects]]\nkind = 1\nrest_mass = 1\nx0 = nan\nvx = nan\n' >"$TEXT/hostile_nan_start.toml"
printf '[{"settings": {"g": 1}}]\n' >"$TEXT/hostile_top_array.json"
printf '5\n' >"$TEXT/hostile_top_number.json"
printf '"objects"\n' >"$TEXT/hostile_top_string.json"
echo "wrote the hostile text forms"

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
