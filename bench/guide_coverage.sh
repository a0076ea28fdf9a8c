#!/bin/sh
# Coverage of the installed SpamAssassin rule set by the rule guides: every
# rule that has a score other than 0 in any of the four score sets (sub-rules,
# whose names start with "__", never show in a report and are left out).
#
#   bench/guide_coverage.sh [BUILD_DIR]
#
# The rule set is read through SpamAssassin's own configuration loader, so the
# rules, scores and descriptions are those the checker itself uses.
set -eu
here=$(CDPATH= cd -- "$(dirname -- "$0")" && pwd)
build=${1:-$here/../build}
tool=$build/bench/bench_guide_coverage
[ -x "$tool" ] || { echo "build first: $tool is missing" >&2; exit 1; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME=$home perl -MMail::SpamAssassin -e '
    my $sa = Mail::SpamAssassin->new({ local_tests_only => 1, dont_copy_prefs => 1,
        userprefs_filename => "/dev/null" });
    $sa->init(1);
    my $conf = $sa->{conf};
    my %nonzero;
    for my $set (0 .. 3) {
        my $scores = $conf->{scoreset}->[$set] or next;
        while (my ($rule, $score) = each %$scores) { $nonzero{$rule} = 1 if $score != 0; }
    }
    for my $rule (sort keys %nonzero) {
        my $description = $conf->{descriptions}->{$rule} // "";
        print "$rule\t$description\n";
    }' 2>/dev/null > "$home/rules.tsv"

echo "installed rules with a score: $(grep -vc '^__' "$home/rules.tsv")"
"$tool" "$here/../ide/guide.txt" "$here/../ide/guide.it.txt" < "$home/rules.tsv"
