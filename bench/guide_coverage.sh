#!/bin/sh
# Coverage of the installed SpamAssassin rule set by the rule guides: every
# rule that has a score other than 0 in any of the four score sets (sub-rules,
# whose names start with "__", never show in a report and are left out).
#
#   bench/guide_coverage.sh [BUILD_DIR]
#
# Without BUILD_DIR it builds its tool in build-bench/ (bench/build.sh); a
# BUILD_DIR named must hold it already (configured with -DNORVALE_BUILD_BENCH=ON).
#
# The rule set is read through SpamAssassin's own configuration loader, so the
# rules, scores and descriptions are those the checker itself uses.
#
# Then the same for the rules that fire: on the repository's messages (test
# data and the sample newsletter, checked now) and on the reference messages
# captured in tests/data/fired-rules.tsv (bench/fired_rules.sh). Each of these
# should have an entry of its own.
set -eu
here=$(CDPATH= cd -- "$(dirname -- "$0")" && pwd)
if [ $# -eq 0 ]; then
    build=$here/../build-bench
    "$here/build.sh" "$build" bench_guide_coverage
else
    build=$1
fi
tool=$build/bench/bench_guide_coverage
[ -x "$tool" ] || {
    echo "build first: $tool is missing (configure $build with -DNORVALE_BUILD_BENCH=ON)" >&2
    exit 1
}

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

root=$here/..
echo "rules fired on the repository's messages and the captured reference messages:"
{
    find "$root/tests/data" -name '*.eml' | sort | while read -r f; do printf '%s\t%s\n' "$f" "$f"; done
    printf '%s\t%s\n' "$root/samples/newsletter.eml" "$root/samples/newsletter.eml"
} | HOME=$home LC_ALL=C LANGUAGE=C perl "$here/fired_rules.pl" > "$home/fired.tsv"
grep -v '^#' "$root/tests/data/fired-rules.tsv" >> "$home/fired.tsv"
echo "messages: $(wc -l < "$home/fired.tsv")"
cut -f2 "$home/fired.tsv" | tr ' ' '\n' | sort -u | "$tool" "$root/ide/guide.txt" "$root/ide/guide.it.txt"
