#!/bin/bash
# Installs the dependencies, checks the formatting, then builds and tests everything:
#   1. build/       the normal build and its tests, the soak test included, then
#                   the Debian package, unpacked into a scratch root and run from there;
#   2. build-asan/  the tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
#                   all but the soak test (label "soak": too slow there, and its
#                   memory figures mean nothing under the sanitizers);
#   3. build-fuzz/  the libFuzzer targets (clang, ASan + UBSan), each run briefly on a
#                   copy of its seed corpus; a crash fails the script and its input
#                   is kept in build-fuzz/crashes/.
# Exits non-zero on the first failure. Uses at most two cores. Ends with the
# time each step took.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
JOBS="${JOBS:-2}"
FUZZ_SECONDS="${FUZZ_SECONDS:-120}"  # total fuzzing time, shared by all targets

TIMES=()
STEP_NAME=""
STEP_START=$SECONDS
step() {
    if [ -n "$STEP_NAME" ]; then TIMES+=("$(printf '%6ds  %s' $((SECONDS - STEP_START)) "$STEP_NAME")"); fi
    STEP_NAME="$*"
    STEP_START=$SECONDS
    printf '\n==== %s ====\n' "$*"
}

WORK="$(mktemp -d)"
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

step "build"
cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$ROOT/build" -j"$JOBS"
step "tests"
(cd "$ROOT/build" && ctest --output-on-failure -j"$JOBS")
step "package"
"$ROOT/scripts/check-package.sh" "$ROOT/build"

step "sanitizer build"
# -O1 with line tables only: the usual optimisation for ASan, readable stack
# traces, and a build about half as long as -O2 -g.
cmake -S "$ROOT" -B "$ROOT/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORREL_SANITIZE=ON -DQUORREL_BENCH=OFF \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
cmake --build "$ROOT/build-asan" -j"$JOBS"
step "sanitizer tests"
(cd "$ROOT/build-asan" &&
    ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" \
    LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0}" \
    UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}" \
    ctest --output-on-failure -j"$JOBS" -LE soak)

step "fuzz build"
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$ROOT/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORREL_FUZZ=ON
# Only the fuzz targets (and the libraries they use) need the instrumented build.
mapfile -t FUZZ_TARGETS < <(cmake --build "$ROOT/build-fuzz" --target help |
    sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): phony$/\1/p' | sort -u)
# Finding none, or a target without its program, is an error: fuzzing would be
# skipped without anyone noticing.
if [ "${#FUZZ_TARGETS[@]}" -eq 0 ]; then
    echo "no fuzz targets in build-fuzz" >&2
    exit 1
fi
cmake --build "$ROOT/build-fuzz" -j"$JOBS" --target "${FUZZ_TARGETS[@]}"

FUZZERS=()
for t in "${FUZZ_TARGETS[@]}"; do
    f="$(find "$ROOT/build-fuzz" -type f -name "$t" -perm -u+x -not -path '*/CMakeFiles/*' -print -quit)"
    if [ -z "$f" ]; then
        echo "$t was built but its program is not in build-fuzz" >&2
        exit 1
    fi
    FUZZERS+=("$f")
done
PER=$((FUZZ_SECONDS / ${#FUZZERS[@]}))
if [ "$PER" -lt 5 ]; then PER=5; fi
for f in "${FUZZERS[@]}"; do
    name="$(basename "$f")"
    name="${name#fuzz_}"
    step "fuzz $name (${PER}s)"
    # The fuzzer adds inputs to its corpus and writes crash files: give it a
    # copy of the seeds and a scratch folder so the tree is not modified.
    corpus="$WORK/corpus-$name"
    mkdir -p "$corpus" "$WORK/artifacts-$name"
    if [ -d "$ROOT/fuzz/corpus/$name" ]; then
        cp -R "$ROOT/fuzz/corpus/$name/." "$corpus/"
    else
        echo "warning: fuzz_$name has no seeds in fuzz/corpus/$name" >&2
    fi
    if ! (cd "$WORK/artifacts-$name" &&
        "$f" -max_total_time="$PER" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$WORK/artifacts-$name/" "$corpus"); then
        # Keep the crashing input where it survives the clean-up (the build folder).
        mkdir -p "$ROOT/build-fuzz/crashes"
        cp -R "$WORK/artifacts-$name/." "$ROOT/build-fuzz/crashes/"
        echo "fuzz_$name failed; inputs kept in build-fuzz/crashes/" >&2
        exit 1
    fi
done

step "all passed"
echo "time per step:"
printf '%s\n' "${TIMES[@]}"
# One plain summary line: every test of both builds passed (a failure exits above).
count_tests() { (cd "$1" && shift && ctest -N "$@" | sed -n 's/^Total Tests: \([0-9]*\)$/\1/p'); }
echo "$(($(count_tests "$ROOT/build") + $(count_tests "$ROOT/build-asan" -LE soak))) passed, 0 failed"
