#!/bin/sh
# Screenshots of bundled demos in the real player window, as a class sees it:
# each demo is opened in `quorrel` on a virtual screen (Xvfb), optionally run
# for a while, and the whole screen is saved as OUTDIR/<demo>.png.
#
#   scripts/screenshots.sh [--size WxH] [--run SECONDS] [--zoom Z] OUTDIR DEMO...
#
# DEMO is a demo's file name (thrown_ball.exp) or its name without ".exp";
# `build/demo/quorrel-demo --list` lists them. --size is the screen (default
# 1920x1080), --run the seconds the experiment runs before the shot (default
# 0: the opening picture), --zoom the player's --zoom (default fit). Needs a
# build (BUILD, default build), Xvfb, xdotool and ImageMagick's import and compare.
set -eu

usage() {
    sed -n '5p' "$0" | sed 's/^# *//' >&2
    exit 2
}

size=1920x1080
run=0
zoom=fit
while [ $# -gt 0 ]; do
    case "$1" in
        --size) size=$2; shift 2 ;;
        --run) run=$2; shift 2 ;;
        --zoom) zoom=$2; shift 2 ;;
        -h|--help) usage ;;
        --*) usage ;;
        *) break ;;
    esac
done
[ $# -ge 2 ] || usage
out=$1
shift

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
player=$build/src/app/quorrel
tool=$build/src/app/quorrel-tool
for f in "$player" "$tool"; do
    [ -x "$f" ] || { echo "screenshots.sh: $f is missing; build first" >&2; exit 2; }
done
for c in Xvfb xdotool import compare; do
    command -v "$c" >/dev/null || { echo "screenshots.sh: $c is not installed" >&2; exit 2; }
done

mkdir -p "$out"
work=$(mktemp -d)
xvfb_pid=
player_pid=
cleanup() {
    [ -n "$player_pid" ] && kill "$player_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

"$tool" demo "$work/demos" >/dev/null

# A free display number, then a screen of the asked size.
n=${DISPLAY_NUM:-90}
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
DISPLAY=:$n
export DISPLAY
tries=0
until xdotool getdisplaygeometry >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -lt 50 ] || { echo "screenshots.sh: Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done

for demo in "$@"; do
    name=${demo%.exp}
    file=$work/demos/$name.exp
    [ -f "$file" ] || { echo "screenshots.sh: no demo $demo" >&2; exit 2; }
    "$player" --real-time --zoom "$zoom" "$file" >/dev/null 2>&1 &  # as the demo launcher opens it
    player_pid=$!
    window=$(xdotool search --sync --onlyvisible --name 'Quorrel' | head -n 1)
    sleep 1  # the first frames painted
    if [ "$run" != 0 ]; then
        xdotool windowfocus "$window" key space
        sleep "$run"
        # Paused for the picture, unless the demo paused itself (then the
        # screen stands still, and a space would let it run on).
        import -window root "$work/before.png"
        sleep 0.3
        import -window root "$work/after.png"
        if [ "$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 || true)" != 0 ]; then
            xdotool windowfocus "$window" key space
            sleep 0.3
        fi
    fi
    import -window root "$out/$name.png"
    kill "$player_pid"
    wait "$player_pid" 2>/dev/null || true
    player_pid=
    echo "$out/$name.png"
done
