#!/bin/sh
# Records what the installed spamassassin says about each test message, for
# the "recorded" fake checker (tests/data/fake-checkers/recorded), which the
# tests that are not about the checker itself run instead of the real one.
# Each recording is the checker's whole output for "spamassassin -t -L -D rules"
# under the message's checksum: <checksum>.out its standard output (the
# message and its report), <checksum>.debug its rule debugging output (the
# evidence); index.tsv lists checksum and message.
# Run it again after the checker or its rules change: tst_spamcheck compares
# every recording with what the installed checker says now.
#
#   tests/data/recorded/record.sh             the messages of the tests and the sample
#   tests/data/recorded/record.sh FILE...     these messages (added to the index)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../../.." && pwd)
cd "$source_dir"
if [ $# -eq 0 ]; then
    # shellcheck disable=SC2046 # the repository's names hold no spaces
    set -- $(find tests/data -name '*.eml' | sort) samples/newsletter.eml
fi
# A home of its own, so no user's preferences reach the recordings.
HOME=$(mktemp -d)
export HOME
trap 'rm -rf "$HOME"' EXIT
touch "$here/index.tsv"
for message in "$@"; do
    key=$(cksum <"$message" | tr ' ' -)
    LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE= spamassassin -t -L -D rules <"$message" >"$here/$key.out" 2>"$here/$key.debug"
    # One line per message: a new recording replaces the message's old one.
    awk -F '\t' -v m="$message" '$2 != m' "$here/index.tsv" >"$here/index.tsv.new"
    printf '%s\t%s\n' "$key" "$message" >>"$here/index.tsv.new"
    sort -t "$(printf '\t')" -k2 "$here/index.tsv.new" >"$here/index.tsv"
    rm -f "$here/index.tsv.new"
done
# Recordings no message of the index names any more.
for recording in "$here"/*.out "$here"/*.debug; do
    key=$(basename "${recording%.*}")
    cut -f1 "$here/index.tsv" | grep -q -x -F "$key" || rm -f "$recording"
done
cat "$here/index.tsv"
