#!/bin/bash
# Builds the Debian package from a finished build folder (default build/),
# unpacks it into a scratch root (nothing is installed on the system), checks
# the manual pages, the software centre's entry and the demo texts, and runs
# the unpacked quorrel-tool on the unpacked demos, with the system's Qt only.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
PKG="$(mktemp -d)"
trap 'rm -rf "$PKG"' EXIT

rm -f "$BUILD"/quorrel_*.deb
(cd "$BUILD" && cpack -G DEB)
deb="$(find "$BUILD" -maxdepth 1 -name 'quorrel_*.deb' -print -quit)"
dpkg-deb -I "$deb" | grep -E '^ (Package|Version|Depends):'
dpkg-deb -x "$deb" "$PKG/root"
usr="$PKG/root/usr"

man1=share/man/man1
metainfo=share/metainfo/io.github.quorrel.Quorrel.metainfo.xml
for f in bin/quorrel bin/quorrel-tool bin/quorrel-demo share/applications/quorrel.desktop \
    share/mime/packages/quorrel.xml share/quorrel/demos/thrown_ball.exp share/quorrel/demos/thrown_ball.png \
    share/quorrel/demos/thrown_ball.toml $man1/quorrel.1.gz $man1/quorrel-tool.1.gz $man1/quorrel-demo.1.gz "$metainfo"; do
    [ -f "$usr/$f" ] || { echo "check-package: /usr/$f is missing" >&2; exit 1; }
done
# Every manual page renders without a warning from man or groff.
for page in "$usr/$man1"/*; do
    warnings="$(MANWIDTH=80 man -l --warnings "$page" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || { echo "check-package: $(basename "$page"): $warnings" >&2; exit 1; }
done
# The software centre's entry is valid (no network: URLs are not fetched).
appstreamcli validate --no-net "$usr/$metainfo" >/dev/null ||
    { appstreamcli validate --no-net "$usr/$metainfo" >&2; exit 1; }
for s in 16 32 48 64 128 256; do
    [ -f "$usr/share/icons/hicolor/${s}x$s/apps/quorrel.png" ] ||
        { echo "check-package: the ${s}px icon is missing" >&2; exit 1; }
done

unset LD_LIBRARY_PATH
for f in quorrel quorrel-tool quorrel-demo; do
    if ldd "$usr/bin/$f" | grep 'not found'; then
        echo "check-package: $f needs a library the system lacks" >&2
        exit 1
    fi
done
tool="$usr/bin/quorrel-tool"
demos="$usr/share/quorrel/demos"
"$tool" dump "$demos/thrown_ball.exp" >/dev/null
"$tool" run "$demos/thrown_ball.exp" --frames 10 >/dev/null
# The demo launcher lists every demo, and each is installed.
"$usr/bin/quorrel-demo" --list | while IFS="$(printf '\t')" read -r file _; do
    [ -f "$demos/$file" ] || { echo "check-package: demo $file is missing" >&2; exit 1; }
done
# Every demo's text is installed beside its experiment file with the pictures
# it names, and loads there as it is.
for text in "$ROOT"/demos/*.toml; do
    name="$(basename "$text")"
    [ -f "$demos/$name" ] || { echo "check-package: demo text $name is missing" >&2; exit 1; }
    sed -n 's/^file *= *"\(pictures\/[^"]*\)".*/\1/p' "$text" | while read -r picture; do
        [ -f "$demos/$picture" ] || { echo "check-package: $picture of $name is missing" >&2; exit 1; }
    done
done
"$tool" dump "$demos/block_on_incline.toml" >/dev/null
# The unpacked tool packs with the unpacked player beside it.
"$tool" pack "$demos/spring_oscillator.exp" --out "$PKG/spring"
"$tool" dump "$PKG/spring" >/dev/null
# The file type compiles into a MIME database: "*.exp" and the "kovra.y3." magic.
update-mime-database "$usr/share/mime" 2>/dev/null
grep -q ':application/x-quorrel-experiment:\*\.exp$' "$usr/share/mime/globs2"
grep -aq 'kovra\.y3\.' "$usr/share/mime/magic"
echo "check-package: $(basename "$deb") unpacks and runs"
