#!/bin/sh
# Builds what a benchmark needs in a release tree with the benchmark programs:
# the "bench" preset of CMakePresets.json (build-bench/, -DNORVALE_BUILD_BENCH=ON),
# in another folder when one is named. A folder configured without the
# benchmark programs is configured again.
#
#   bench/build.sh BUILD_DIR TARGET...
#
# Quiet when all goes well; on a failure it prints what CMake said.
set -eu
cd "$(dirname "$0")/.."
build=$1
shift
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if [ ! -f "$build/build.ninja" ] || ! grep -q '^NORVALE_BUILD_BENCH:BOOL=ON$' "$build/CMakeCache.txt"; then
    cmake --preset bench -B "$build" >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
fi
cmake --build "$build" --target "$@" >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
