#!/bin/bash
# Installs the dependencies, checks the formatting and the layers, then builds
# and tests everything in two builds:
#   1. build/       the normal build (GCC, RelWithDebInfo): the programs, the
#                   tests that need the optimised program (the soak test, every
#                   demo's determinism hash through the player, the real
#                   window), then the Debian package, unpacked into a scratch
#                   root and run from there;
#   2. build-asan/  one clang build under AddressSanitizer and
#                   UndefinedBehaviorSanitizer with every test program, the
#                   benchmarks and the libFuzzer targets: every test but the
#                   soak test (label "soak": too slow there, and its memory
#                   figures mean nothing under the sanitizers), then each fuzz
#                   target briefly on a copy of its seed corpus; a crash fails
#                   the script and its input is kept in build-asan/crashes/.
# Exits non-zero on the first failure. Uses at most two cores (JOBS). Uses
# ccache when it is installed. Ends with the time each step took.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
JOBS="${JOBS:-2}"
FUZZ_SECONDS="${FUZZ_SECONDS:-15}"  # fuzzing time of each target

WORK="$(mktemp -d)"

# Each step's wall time and the processor time (user + system) of what it ran:
# on a shared machine the wall time also counts the others' work.
TIMES=()
STEP_NAME=""
STEP_START=$SECONDS
STEP_CPU=0
children_cpu() {
    times >"$WORK/times"  # the second line: user and system time of the finished children
    awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%d", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' \
        "$WORK/times"
}
step() {
    local cpu
    cpu="$(children_cpu)"
    if [ -n "$STEP_NAME" ]; then
        TIMES+=("$(printf '%6ds %6ds  %s' $((SECONDS - STEP_START)) $((cpu - STEP_CPU)) "$STEP_NAME")")
    fi
    STEP_NAME="$*"
    STEP_START=$SECONDS
    STEP_CPU=$cpu
    printf '\n==== %s ====\n' "$*"
}

XVFB_PID=""
cleanup() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

step "dependencies"
"$ROOT/scripts/install-deps.sh"

# Tests of the real window need an X display: start a virtual one when there is none.
if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
    for n in $(seq 99 140); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
            XVFB_PID=$!
            export DISPLAY=":$n"
            for _ in $(seq 50); do
                [ -e "/tmp/.X11-unix/X$n" ] && break
                sleep 0.1
            done
            echo "Xvfb on $DISPLAY"
            break
        fi
    done
fi

step "format"
# Every C++ file must be as clang-format writes it (.clang-format at the root).
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
step "layers"
"$ROOT/scripts/check-layers.sh"

# The test programs of the normal build, each also a ctest label.
RELEASE_TESTS=(test_soak test_player test_ui)
release_label="^($(IFS='|'; echo "${RELEASE_TESTS[*]}"))\$"

step "build"
cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$ROOT/build" -j"$JOBS" --target quorrel-programs "${RELEASE_TESTS[@]}"
step "tests"
(cd "$ROOT/build" && ctest --output-on-failure -j"$JOBS" -L "$release_label")
step "package"
"$ROOT/scripts/check-package.sh" "$ROOT/build"

step "sanitizer build"
# clang for libFuzzer; -O1 with line tables only: the usual optimisation for
# ASan, readable stack traces, and a much shorter build than -O2 -g.
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$ROOT/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORREL_FUZZ=ON \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
cmake --build "$ROOT/build-asan" -j"$JOBS"
step "sanitizer tests"
(cd "$ROOT/build-asan" &&
    ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" \
    LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0}" \
    UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}" \
    ctest --output-on-failure -j"$JOBS" -LE soak)

mapfile -t FUZZ_TARGETS < <(cmake --build "$ROOT/build-asan" --target help |
    sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): phony$/\1/p' | sort -u)
# Finding none, or a target without its program, is an error: fuzzing would be
# skipped without anyone noticing.
if [ "${#FUZZ_TARGETS[@]}" -eq 0 ]; then
    echo "no fuzz targets in build-asan" >&2
    exit 1
fi
FUZZERS=()
for t in "${FUZZ_TARGETS[@]}"; do
    f="$(find "$ROOT/build-asan" -type f -name "$t" -perm -u+x -not -path '*/CMakeFiles/*' -print -quit)"
    if [ -z "$f" ]; then
        echo "$t was built but its program is not in build-asan" >&2
        exit 1
    fi
    FUZZERS+=("$f")
done

# One fuzz target on a copy of its seeds (the fuzzer adds inputs to its corpus
# and writes crash files, so the tree is not modified); its output goes to
# $WORK/fuzz-NAME.log.
fuzz_one() {
    local f="$1" name
    name="$(basename "$f")"
    name="${name#fuzz_}"
    local corpus="$WORK/corpus-$name" artifacts="$WORK/artifacts-$name"
    mkdir -p "$corpus" "$artifacts"
    if [ -d "$ROOT/fuzz/corpus/$name" ]; then
        cp -R "$ROOT/fuzz/corpus/$name/." "$corpus/"
    else
        echo "warning: fuzz_$name has no seeds in fuzz/corpus/$name" >&2
    fi
    (cd "$artifacts" &&
        "$f" -max_total_time="$FUZZ_SECONDS" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$artifacts/" "$corpus") >"$WORK/fuzz-$name.log" 2>&1
}

step "fuzz (${#FUZZERS[@]} targets, ${FUZZ_SECONDS}s each, $JOBS at a time)"
# JOBS targets at a time; each runs on one core.
declare -A FUZZ_PID=()
failed=()
wait_fuzzer() {
    local f="$1"
    if ! wait "${FUZZ_PID[$f]}"; then failed+=("$f"); fi
    unset "FUZZ_PID[$f]"
    local name
    name="$(basename "$f")"
    tail -n 12 "$WORK/fuzz-${name#fuzz_}.log"
}
running=()
for f in "${FUZZERS[@]}"; do
    fuzz_one "$f" &
    FUZZ_PID[$f]=$!
    running+=("$f")
    if [ "${#running[@]}" -ge "$JOBS" ]; then
        wait_fuzzer "${running[0]}"
        running=("${running[@]:1}")
    fi
done
for f in "${running[@]}"; do wait_fuzzer "$f"; done
if [ "${#failed[@]}" -gt 0 ]; then
    # Keep the crashing inputs where they survive the clean-up (the build folder).
    mkdir -p "$ROOT/build-asan/crashes"
    for f in "${failed[@]}"; do
        name="$(basename "$f")"
        name="${name#fuzz_}"
        cat "$WORK/fuzz-$name.log" >&2
        cp -R "$WORK/artifacts-$name/." "$ROOT/build-asan/crashes/"
        echo "fuzz_$name failed; inputs kept in build-asan/crashes/" >&2
    done
    exit 1
fi

step "all passed"
echo "time per step (wall, processor):"
printf '%s\n' "${TIMES[@]}"
printf '%6ds %6ds  total\n' "$SECONDS" "$(children_cpu)"
# One plain summary line: every test of both builds passed (a failure exits above).
count_tests() { (cd "$1" && shift && ctest -N "$@" | sed -n 's/^Total Tests: \([0-9]*\)$/\1/p'); }
echo "$(($(count_tests "$ROOT/build" -L "$release_label") + $(count_tests "$ROOT/build-asan" -LE soak))) passed, 0 failed"
