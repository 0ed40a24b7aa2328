#!/bin/sh
# Start-up of the player to its first painted frame, and its peak memory,
# against a minimal Qt window over the same screen painting one picture of its
# size (bench/minimal_window.cpp). Both run N times, alternating, under X
# (an Xvfb at 1920x1080 is started when DISPLAY is unset); the medians of the
# wall time and of the maximum resident set are reported with their ratios.
#
#   bench/startup.sh [N] [EXPERIMENT]      (N defaults to 15)
#
# BUILD names the build folder (default build-bench, a Release build with
# -DQUORREL_BENCH=ON); without EXPERIMENT the thrown-ball demo is written there.
set -eu

N=${1:-15}
BUILD=${BUILD:-build-bench}
PLAYER=$BUILD/src/app/quorrel
MINIMAL=$BUILD/bench/minimal_window
TOOL=$BUILD/src/app/quorrel-tool
for exe in "$PLAYER" "$MINIMAL"; do
    [ -x "$exe" ] || { echo "missing $exe: build quorrel, quorrel-tool and minimal_window in $BUILD" >&2; exit 1; }
done

WORK=$(mktemp -d "$BUILD/startup.XXXXXX")
XVFB_PID=
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

if [ $# -ge 2 ]; then
    EXPERIMENT=$2
else
    "$TOOL" demo "$WORK/demos" >/dev/null
    EXPERIMENT=$WORK/demos/thrown_ball.exp
fi

if [ -z "${DISPLAY:-}" ]; then
    # The first free display number from :90 up.
    d=90
    while [ -e "/tmp/.X$d-lock" ]; do d=$((d + 1)); done
    Xvfb ":$d" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$d"
    i=0
    while [ ! -e "/tmp/.X11-unix/X$d" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
fi
export QT_QPA_PLATFORM=xcb

# One run: appends "milliseconds kilobytes" to $1; the rest is the command.
measure() {
    out=$1
    shift
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$WORK/rss" "$@" >/dev/null 2>"$WORK/err" || {
        echo "failed: $*" >&2
        cat "$WORK/err" >&2
        exit 1
    }
    end=$(date +%s%N)
    echo "$(((end - start) / 1000000)) $(cat "$WORK/rss")" >>"$out"
}

# One warm-up run each (page cache, font cache), then N alternating runs.
measure "$WORK/warm" "$PLAYER" --exit-after-first-frame "$EXPERIMENT"
measure "$WORK/warm" "$MINIMAL"
i=0
while [ $i -lt "$N" ]; do
    measure "$WORK/player" "$PLAYER" --exit-after-first-frame "$EXPERIMENT"
    measure "$WORK/minimal" "$MINIMAL"
    i=$((i + 1))
done

median() { # column $2 of file $1
    cut -d' ' -f"$2" "$1" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
pt=$(median "$WORK/player" 1)
mt=$(median "$WORK/minimal" 1)
pm=$(median "$WORK/player" 2)
mm=$(median "$WORK/minimal" 2)
echo "runs: $N each, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "experiment: $EXPERIMENT"
awk -v pt="$pt" -v mt="$mt" -v pm="$pm" -v mm="$mm" 'BEGIN {
    printf "start-up to first frame: player %d ms, minimal window %d ms, ratio %.2f\n", pt, mt, pt / mt
    printf "peak resident memory:    player %.1f MB, minimal window %.1f MB, ratio %.2f\n", pm / 1024, mm / 1024, pm / mm
}'
