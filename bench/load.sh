#!/usr/bin/env bash
# Load benchmark: norvale-check --local --json over a corpus of our own
# messages (bench_corpus: plain text, HTML, multipart/alternative, PDF-like and
# image-like attachments, an inline image, non-ASCII headers, 1 KB to 280 KB),
# once over the first 20 in one process and once over all of them in another.
# It checks that
#  - every file got a result (a score) or a clear error (a non-empty text),
#  - memory stays flat: the peak resident memory of the run over all files is
#    within 10% of the run over 20.
#
# How memory is measured, in KiB, two figures per run:
#  - own peak: norvale-check's own peak resident set, the VmHWM line of its
#    /proc/self/status, written as it exits by a small library preloaded into
#    it (bench/peak_rss.cpp). Every file is checked in this one process, so
#    memory kept per file shows here. This is the figure the verdict judges.
#  - GNU time: `/usr/bin/time -f %M` (Debian package "time"), the ru_maxrss
#    that wait4() reports. Linux counts in it the largest child the program
#    waited for, and that is SpamAssassin's perl (over 100 MB), started afresh
#    for every file; so it mostly measures the checker. Shown, and held to the
#    same 10% for the record.
# Wall time is measured around each run: the total and per file.
#
# Usage: bench/load.sh [COUNT]   (default 200; COUNT of 20 or more)
# Builds a release tree in build-bench/ first (bench/build.sh; NORVALE_BENCH_BUILD
# names another). A check takes 2 to 5 seconds: expect 10 to 20 minutes.
set -euo pipefail
cd "$(dirname "$0")/.."

count=${1:-200}
small=20
build=${NORVALE_BENCH_BUILD:-build-bench}
limit=1.10

if [ "$count" -lt "$small" ]; then
    echo "usage: $0 [COUNT]   (COUNT of $small or more)" >&2
    exit 2
fi

if [ ! -x /usr/bin/time ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: time"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q time
fi

bench/build.sh "$build" norvale-check bench_corpus peak_rss
hook=$(realpath "$build/bench/peak_rss.so")

# Private settings, working folder and checker home: the user's settings play
# no part, and the checker's second run (-R) learns nothing into the user's data.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch HOME=$scratch/home
export LANGUAGE=C LC_ALL=C
mkdir -p "$HOME"

"$build/bench/bench_corpus" "$scratch/corpus" "$count"
mapfile -t messages < <(find "$scratch/corpus" -name '*.eml' | sort)
if [ "${#messages[@]}" -ne "$count" ]; then
    echo "bench_corpus wrote ${#messages[@]} messages, not $count" >&2
    exit 1
fi
corpus_kib=$(du -sk "$scratch/corpus" | cut -f1)

now_ns() { date +%s%N; }

# run NAME FILE...: one norvale-check over the files; leaves NAME.json,
# NAME.err, NAME.rc, NAME.own (own peak), NAME.time (GNU time) and NAME.ns.
run() {
    local name=$1
    shift
    local t0 t1 rc=0
    t0=$(now_ns)
    /usr/bin/time -f %M -o "$scratch/$name.time" \
        env LD_PRELOAD="$hook" NORVALE_PEAK_RSS_FILE="$scratch/$name.own" \
        "$build/bin/norvale-check" --local --json "$@" >"$scratch/$name.json" 2>"$scratch/$name.err" || rc=$?
    t1=$(now_ns)
    echo "$rc" >"$scratch/$name.rc"
    echo $((t1 - t0)) >"$scratch/$name.ns"
}

# verify NAME FILES: every file has an entry with a score or a non-empty
# error, and the exit status says whether any could not be checked. Prints
# "<scored> <errors>" or a reason, and fails on a reason.
verify() {
    local name=$1 files=$2 rc paths scores errors empty
    rc=$(cat "$scratch/$name.rc")
    # One file per entry of "files"; its keys stand 12 spaces deep.
    paths=$(grep -cE '^ {12}"path": ' "$scratch/$name.json" || true)
    scores=$(grep -cE '^ {12}"score": ' "$scratch/$name.json" || true)
    errors=$(grep -cE '^ {12}"error": "[^"]' "$scratch/$name.json" || true)
    empty=$(grep -cE '^ {12}"error": ""' "$scratch/$name.json" || true)
    if [ "$paths" -ne "$files" ] || [ $((scores + errors)) -ne "$files" ] || [ "$empty" -ne 0 ]; then
        echo "$files files, $paths entries, $scores scores, $errors errors, $empty empty errors"
        return 1
    fi
    if { [ "$errors" -eq 0 ] && [ "$rc" -ne 0 ]; } || { [ "$errors" -gt 0 ] && [ "$rc" -ne 1 ]; }; then
        echo "exit status $rc with $errors errors"
        return 1
    fi
    echo "$scores $errors"
}

echo "norvale-check --local --json over $small and over $count messages ($((corpus_kib / 1024)) MiB in all)..." >&2
run small "${messages[@]:0:$small}"
run all "${messages[@]}"

status=0
for name in small all; do
    files=$small
    [ "$name" = all ] && files=$count
    if ! result=$(verify "$name" "$files"); then
        echo "FAIL: the run over $files files: $result" >&2
        sed -n '1,20p' "$scratch/$name.err" >&2
        status=1
    fi
    read -r scored failed <<<"$result" || true
    [[ "$scored $failed" =~ ^[0-9]+\ [0-9]+$ ]] || scored=- failed=-
    printf -v "${name}_scored" '%s' "$scored"
    printf -v "${name}_failed" '%s' "$failed"
done

own_small=$(cat "$scratch/small.own")
own_all=$(cat "$scratch/all.own")
# The last line: GNU time puts one about a non-zero exit status first.
time_small=$(tail -n 1 "$scratch/small.time")
time_all=$(tail -n 1 "$scratch/all.time")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
within() { awk -v r="$1" -v l="$limit" 'BEGIN { print (r <= l) ? "PASS" : "FAIL" }'; }
own_ratio=$(ratio "$own_all" "$own_small")
time_ratio=$(ratio "$time_all" "$time_small")
own_verdict=$(within "$own_ratio")
time_verdict=$(within "$time_ratio")
seconds() { awk -v ns="$1" 'BEGIN { printf "%.1f", ns / 1e9 }'; }
per_file() { awk -v ns="$1" -v n="$2" 'BEGIN { printf "%.0f", ns / 1e6 / n }'; }
small_ns=$(cat "$scratch/small.ns")
all_ns=$(cat "$scratch/all.ns")

echo "load: norvale-check --local --json, $count messages of our own ($((corpus_kib / 1024)) MiB)"
printf '  %-22s %12s %12s\n' "" "first $small" "all $count"
printf '  %-22s %12s %12s\n' "files scored" "$small_scored" "$all_scored"
printf '  %-22s %12s %12s\n' "files with an error" "$small_failed" "$all_failed"
printf '  %-22s %12s %12s\n' "exit status" "$(cat "$scratch/small.rc")" "$(cat "$scratch/all.rc")"
printf '  %-22s %12s %12s\n' "wall time (s)" "$(seconds "$small_ns")" "$(seconds "$all_ns")"
printf '  %-22s %12s %12s\n' "per file (ms)" "$(per_file "$small_ns" "$small")" "$(per_file "$all_ns" "$count")"
printf '  %-22s %12s %12s\n' "own peak (KiB)" "$own_small" "$own_all"
printf '  %-22s %12s %12s\n' "GNU time %M (KiB)" "$time_small" "$time_all"
echo "  own peak ratio $count/$small: $own_ratio (limit $limit): $own_verdict"
echo "  GNU time ratio $count/$small: $time_ratio (limit $limit, mostly the checker): $time_verdict"
[ "$own_verdict" = PASS ] && [ "$time_verdict" = PASS ] || status=1
if [ "$status" -eq 0 ]; then
    echo "PASS"
else
    echo "FAIL"
fi
exit "$status"
