#!/usr/bin/env bash
# The window's check against the bare checker, under Xvfb: the time from the
# click on cmdCheckNow to the painted reason list, against
# `spamassassin -t -L < MESSAGE > REPORT`; medians, the difference, and PASS
# when the window adds at most 250 ms (Timer1's 100 ms included).
#
# Usage: bench/bench_window_check.sh [MESSAGE] [RUNS] [SCREENSHOT_FOLDER]
#   (defaults: the shipped clean newsletter, 7 runs, no screenshots)
# Builds the release tree build-bench/ (shared with bench/run.sh) first.
set -euo pipefail
cd "$(dirname "$0")/.."

message=$(realpath "${1:-tests/data/messages/clean-newsletter.eml}")
runs=${2:-7}
shots=${3:-}
build=build-bench
if [ -n "$shots" ]; then
    mkdir -p "$shots"
    shots=$(realpath "$shots")
fi

if ! command -v xvfb-run >/dev/null; then
    sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q xvfb xauth
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNORVALE_BUILD_TESTS=OFF >"$scratch/build.log" ||
        { cat "$scratch/build.log"; exit 1; }
fi
cmake --build "$build" --target bench_window_check -j2 >"$scratch/build.log" || { cat "$scratch/build.log"; exit 1; }

# Private settings and working folder; the user's settings play no part.
mkdir -m 700 "$scratch/runtime"
export XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime
export LANG=C.UTF-8 QT_QPA_PLATFORM=xcb

xvfb-run -a -s "-screen 0 1024x768x24" "$build/bin/bench_window_check" "$message" "$runs" "$shots"
