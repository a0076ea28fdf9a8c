#!/usr/bin/env bash
# The window's check against the bare checker, under Xvfb: the time from the
# click on cmdCheckNow to the painted reason list, against
# `spamassassin -t -L < MESSAGE > REPORT`; medians, the difference, and PASS
# when the window adds at most 250 ms (Timer1's 100 ms included).
#
# Usage: bench/bench_window_check.sh [MESSAGE] [RUNS] [SCREENSHOT_FOLDER]
#   (defaults: the shipped clean newsletter, 7 runs, no screenshots)
# Builds a release tree (BUILD, default build-bench-window/) first.
set -euo pipefail
cd "$(dirname "$0")/.."

message=$(realpath "${1:-tests/data/messages/clean-newsletter.eml}")
runs=${2:-7}
shots=${3:-}
build=${BUILD:-build-bench-window}
if [ -n "$shots" ]; then
    mkdir -p "$shots"
    shots=$(realpath "$shots")
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if [ ! -f "$build/build.ninja" ]; then
    cmake -S bench/bench_window_check -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >"$scratch/build.log" ||
        { cat "$scratch/build.log"; exit 1; }
fi
cmake --build "$build" --target bench_window_check -j2 >"$scratch/build.log" || { cat "$scratch/build.log"; exit 1; }

# Private settings and working folder; the user's settings play no part.
mkdir -m 700 "$scratch/runtime"
export XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime
export LANG=C.UTF-8 QT_QPA_PLATFORM=xcb

xvfb-run -a -s "-screen 0 1024x768x24" "$build/bin/bench_window_check" "$message" "$runs" "$shots"
