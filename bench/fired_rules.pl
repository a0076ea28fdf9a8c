#!/usr/bin/perl
# Reads "label<TAB>path" lines on standard input and prints, for each message,
# "label<TAB>rules": the rules the installed SpamAssassin fires on it offline,
# sorted, separated by spaces. The rule set is loaded once for all messages
# with the settings of "spamassassin -t -L", so the rules are the same as the
# command line checker's, at a fraction of its start-up time per message.
use strict;
use warnings;
use Mail::SpamAssassin;

my $checker = Mail::SpamAssassin->new({ local_tests_only => 1, dont_copy_prefs => 1,
    userprefs_filename => "/dev/null" });
$checker->init(1);
while (my $line = <STDIN>) {
    chomp $line;
    my ($label, $path) = split /\t/, $line, 2;
    open my $fh, "<", $path or die "$path: $!\n";
    my $text = do { local $/; <$fh> };
    close $fh;
    my $message = $checker->parse($text);
    my $status = $checker->check($message);
    my @rules = sort grep { length } split /,/, $status->get_names_of_tests_hit;
    print "$label\t@rules\n";
    $status->finish;
    $message->finish;
}
