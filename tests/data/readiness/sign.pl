#!/usr/bin/perl
# Signs a fixture message with DKIM (relaxed/relaxed, rsa-sha256) using
# Mail::DKIM, an implementation independent of Norvale's own reading of
# signatures. Usage: sign.pl KEY.pem DOMAIN [METHOD] < unsigned.eml > signed.eml
# dkim-key.pem is a test-only key kept for the network checks, whose fixture
# DNS serves its public half (dkim-key.txt) as news2024._domainkey.
use strict;
use warnings;
use Mail::DKIM::Signer;
use Mail::DKIM::TextWrap;

my ($key, $domain, $method) = @ARGV;
my $message = do { local $/; <STDIN> };
$message =~ s/\r?\n/\r\n/g;
my $signer = Mail::DKIM::Signer->new(
    Algorithm => 'rsa-sha256',
    Method => $method // 'relaxed/relaxed',
    Domain => $domain,
    Selector => 'news2024',
    KeyFile => $key,
    Headers => 'from:to:subject:date:message-id:list-unsubscribe:list-unsubscribe-post:mime-version:content-type',
);
$signer->PRINT($message);
$signer->CLOSE;
my $signed = $signer->signature->as_string . "\r\n" . $message;
$signed =~ s/\r\n/\n/g;
print $signed;
