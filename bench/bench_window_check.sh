#!/usr/bin/env bash
# The window's check against the bare checker, under Xvfb: the time from the
# click on cmdCheckNow to the painted reason list, against
# `spamassassin -t -L < MESSAGE > REPORT`; medians, the difference, and PASS
# when the window adds at most 250 ms (Timer1's 100 ms included).
#
# Usage: bench/bench_window_check.sh [MESSAGE] [RUNS] [SCREENSHOT_FOLDER] [warm]
#   (defaults: the shipped clean newsletter, 7 runs, no screenshots)
# With "warm" the window keeps its checker running and the median of the
# clicks alone is judged (at most 200 ms); the daemon never runs as root, so
# run by root the benchmark runs as the user "nobody".
# Builds the release tree build-bench/ (bench/build.sh, shared with bench/run.sh) first.
set -euo pipefail
cd "$(dirname "$0")/.."

message=$(realpath "${1:-tests/data/messages/clean-newsletter.eml}")
runs=${2:-7}
shots=${3:-}
mode=${4:-}
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

bench/build.sh "$build" bench_window_check

# Private settings and working folder; the user's settings play no part.
mkdir -m 700 "$scratch/runtime"
export XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime
export LANG=C.UTF-8 QT_QPA_PLATFORM=xcb

as_user=()
if [ "$mode" = warm ] && [ "$(id -u)" -eq 0 ]; then
    chown -R nobody "$scratch"
    chmod 755 "$scratch"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$scratch")
fi
xvfb-run -a -s "-screen 0 1024x768x24" "${as_user[@]}" "$build/bin/bench_window_check" "$message" "$runs" "$shots" $mode
