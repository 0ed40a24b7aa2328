#!/bin/sh
# Installs every Debian package the project needs to build, test, fuzz, run
# and package (dpkg-shlibdeps and file for the package's library dependencies,
# strip for packed players, update-mime-database for the file-type check,
# help2man for the manual pages, man and appstreamcli to check them and the
# software centre's entry).
# Packages already present are skipped; the package lists are refreshed only
# when something has to be installed.
set -eu

PACKAGES="cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev qt6-multimedia-dev
libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-wqy-microhei qt6-translations-l10n
fonts-liberation2 xvfb xauth clang-format dpkg-dev file binutils shared-mime-info
libtomlplusplus-dev libjsoncpp-dev help2man man-db appstream"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    echo "install-deps: every package is present"
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
echo "install-deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
# shellcheck disable=SC2086 # the list is meant to split into words
$SUDO apt-get install -y --no-install-recommends $missing
