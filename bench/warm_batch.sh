#!/usr/bin/env bash
# Batch benchmark for the checker kept running between messages:
# norvale-check --local --json over COUNT copies of real messages (the shipped
# samples and SpamAssassin's own examples), timed from the command's start, so
# the daemon's start-up is counted. Prints messages per second, Norvale's own
# peak resident memory (VmHWM, through the peak_rss preload hook when built,
# else GNU time's figure, which counts the largest child too) and the
# daemon's resident memory (all its processes together), sampled every 0.2 s.
# Then the first COLD_COUNT of them with --cold --jobs 1, the checker started
# afresh per file, for comparison.
#
# Usage: bench/warm_batch.sh [COUNT] [JOBS]   (defaults 200, the processors)
# Uses the build tree in NORVALE_BENCH_BUILD (default build). The preload hook
# is built only with -DNORVALE_BUILD_BENCH=ON: for Norvale's own figure, run
# `bench/build.sh build-bench norvale-check peak_rss` and set
# NORVALE_BENCH_BUILD=build-bench. The daemon never runs as root: run by root,
# the commands run as the user "nobody".
# The machine may be shared: the figures are as noisy as its load (uptime).
set -euo pipefail
cd "$(dirname "$0")/.."

count=${1:-200}
jobs=${2:-$(nproc)}
build=${NORVALE_BENCH_BUILD:-build}
program=$(realpath "$build/bin/norvale-check")
hook=""
[ -f "$build/bench/peak_rss.so" ] && hook=$(realpath "$build/bench/peak_rss.so")

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/messages" "$scratch/home" "$scratch/config" "$scratch/run"
sources=(samples/newsletter.eml tests/data/messages/clean-newsletter.eml tests/data/messages/gtube.eml
    /usr/share/doc/spamassassin/examples/sample-nonspam.txt /usr/share/doc/spamassassin/examples/sample-spam.txt)
for i in $(seq 1 "$count"); do
    cp "${sources[$((i % ${#sources[@]}))]}" "$scratch/messages/m$(printf %04d "$i").eml"
done
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody "$scratch"
    chmod 755 "$scratch"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

# Sums the resident memory of the daemon's processes (parent and children;
# the children's command lines do not name the socket).
daemon_rss() {
    local total=0 pid
    for pid in $(pgrep -f "spamd.*--socketpath=$scratch/run" || true); do
        for p in "$pid" $(pgrep -P "$pid" || true); do
            kib=$(awk '/^VmRSS/ {print $2}' "/proc/$p/status" 2>/dev/null || true)
            total=$((total + ${kib:-0}))
        done
    done
    echo "$total"
}

run() { # name, options...
    local name=$1; shift
    local start end peak=0 now
    start=$(date +%s.%N)
    # The hook goes into norvale-check alone, not into setpriv or time before it.
    env HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run" \
        "${as_user[@]}" /usr/bin/time -f %M -o "$scratch/$name.time" \
        env ${hook:+LD_PRELOAD="$hook" NORVALE_PEAK_RSS_FILE="$scratch/$name.own"} \
        "$program" --local --json "$@" "$scratch"/messages/*.eml >"$scratch/$name.json" 2>"$scratch/$name.err" &
    local command=$!
    while kill -0 "$command" 2>/dev/null; do
        now=$(daemon_rss)
        [ "$now" -gt "$peak" ] && peak=$now
        sleep 0.2
    done
    wait "$command" || true
    end=$(date +%s.%N)
    local scored
    scored=$(grep -c '"score"' "$scratch/$name.json" || true)
    local own="n/a"
    [ -f "$scratch/$name.own" ] && own=$(cat "$scratch/$name.own")
    awk -v n="$count" -v s="$start" -v e="$end" -v name="$name" -v scored="$scored" -v own="$own" \
        -v gnu="$(cat "$scratch/$name.time")" -v daemon="$peak" 'BEGIN {
        printf "%-24s %4d files, %4d scored, %7.1f s, %6.2f msg/s, own peak %s KiB, GNU time %s KiB, daemon peak %d KiB\n",
            name, n, scored, e - s, n / (e - s), own, gnu, daemon }'
}

echo "load before: $(uptime)"
run "warm --jobs $jobs" --jobs "$jobs"
# The cold path over the first COLD_COUNT files only (default 20): a file takes seconds.
cold=${COLD_COUNT:-20}
if [ "$cold" -gt 0 ]; then
    mkdir -p "$scratch/coldset"
    mv $(ls -d "$scratch"/messages/*.eml | tail -n +"$((cold + 1))") "$scratch/coldset/"
    count=$cold run "cold --jobs 1, $cold files" --cold --jobs 1
fi
echo "load after: $(uptime)"
