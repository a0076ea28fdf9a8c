#!/bin/sh
# Captures the rules the installed SpamAssassin fires, offline, on the public
# reference messages that are not part of the repository: Debian's example
# messages and CPython's e-mail test messages (package
# libpython3.11-testsuite). The rule guide's tests read the list instead of
# running the checker on every one of these messages.
#
#   bench/fired_rules.sh [OUTPUT]     (default: tests/data/fired-rules.tsv)
#
# Each line: a label (set/file name), a tab, the fired rules sorted and
# separated by spaces. Run it again after a rule update and commit the result.
set -eu
here=$(CDPATH= cd -- "$(dirname -- "$0")" && pwd)
out=${1:-$here/../tests/data/fired-rules.tsv}
debian=/usr/share/doc/spamassassin/examples
cpython=/usr/lib/python3.11/test/test_email/data
[ -d "$debian" ] || { echo "missing $debian: install spamassassin" >&2; exit 1; }
[ -d "$cpython" ] || { echo "missing $cpython: install libpython3.11-testsuite" >&2; exit 1; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
{
    echo "# Rules fired offline by the installed checker on the reference messages."
    echo "# Written by bench/fired_rules.sh; do not edit by hand."
    for f in "$debian"/sample-*.txt "$cpython"/msg_*.txt; do
        case $f in "$debian"/*) echo "debian/${f##*/}	$f" ;; *) echo "cpython/${f##*/}	$f" ;; esac
    done | HOME=$home LC_ALL=C LANGUAGE=C perl "$here/fired_rules.pl"
} > "$out.tmp"
mv "$out.tmp" "$out"
echo "$(grep -vc '^#' "$out") messages written to $out"
