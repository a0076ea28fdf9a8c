#!/usr/bin/env bash
# Norvale's benchmarks, in one run:
#  1. norvale-check --cold (the checker started afresh, as with the warm
#     checker switched off) on a message against the bare checker commands it wraps
#     (spamassassin -t -L, then spamassassin -R, on the same file): the ratio of
#     their median wall times. Target: at most 1.05.
#  2. ScoreReport on a synthetic report of 10,000 rule rows. Target: < 20 ms.
#  3. The sending readiness checks of a 100 KB newsletter. Target: < 20 ms.
#
# Usage: bench/run.sh [MESSAGE] [RUNS]   (defaults: the shipped clean newsletter, 15)
# Builds a release tree in build-bench/ first (bench/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

message=${1:-tests/data/messages/clean-newsletter.eml}
runs=${2:-15}
build=build-bench

bench/build.sh "$build" norvale-check bench_scorereport bench_readiness

# The same private home, settings and working folder for both sides; the
# user's settings and SpamAssassin's own user data play no part.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home"
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch
export LANGUAGE=C LC_ALL=C

now_ns() { date +%s%N; }

norvale_once() {
    "$build/bin/norvale-check" --cold --local "$message" >/dev/null
}
bare_once() {
    spamassassin -t -L <"$message" >"$scratch/report.txt" 2>/dev/null
    spamassassin -R <"$message" >/dev/null 2>&1
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One warm-up each, then alternate so drift in the machine's load hits both.
norvale_once; bare_once
: >"$scratch/norvale.ns"; : >"$scratch/bare.ns"
for _ in $(seq "$runs"); do
    t0=$(now_ns); norvale_once; t1=$(now_ns); bare_once; t2=$(now_ns)
    echo $((t1 - t0)) >>"$scratch/norvale.ns"
    echo $((t2 - t1)) >>"$scratch/bare.ns"
done
norvale_ms=$(median <"$scratch/norvale.ns" | awk '{ printf "%.1f", $1 / 1e6 }')
bare_ms=$(median <"$scratch/bare.ns" | awk '{ printf "%.1f", $1 / 1e6 }')
ratio=$(awk -v a="$norvale_ms" -v b="$bare_ms" 'BEGIN { printf "%.3f", a / b }')
verdict=$(awk -v r="$ratio" 'BEGIN { print (r <= 1.05) ? "PASS" : "FAIL" }')

echo "check overhead ($runs runs, median wall time, $message)"
echo "  norvale-check --cold --local:       $norvale_ms ms"
echo "  spamassassin -t -L, spamassassin -R: $bare_ms ms"
echo "  ratio: $ratio (target: at most 1.05): $verdict"
echo
"$build/bench/bench_scorereport"
echo
"$build/bench/bench_readiness"
