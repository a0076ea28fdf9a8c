#!/usr/bin/env bash
# Norvale's one entry point for a fresh Debian 12 machine.
#
#   ./dev.sh run    install what Norvale needs, build it, and run it
#   ./dev.sh test   install what building and testing need, build, run every test
#
# Both are safe to run again: packages already installed are not fetched, and
# the build only redoes what changed.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libgmime-3.0-dev
    spamassassin
)

BUILD_DIR=${NORVALE_BUILD_DIR:-build}

install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
}

build() {
    local werror=OFF
    [ "${CI:-}" = "true" ] && werror=ON
    if [ ! -f "$BUILD_DIR/build.ninja" ]; then
        cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORVALE_WERROR=$werror "$@"
    fi
    cmake --build "$BUILD_DIR"
}

case "${1:-}" in
run)
    install_packages "${PACKAGES[@]}"
    build
    "$BUILD_DIR/bin/norvale-check" samples/newsletter.eml
    ;;
test)
    install_packages "${PACKAGES[@]}"
    build
    ctest --test-dir "$BUILD_DIR" --output-on-failure --no-tests=error
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
