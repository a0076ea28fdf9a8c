#pragma once

#include "DnsLookup.h"
#include "ReadinessCheck.h"

namespace norvale {

// The sending readiness checks that need the DNS, made only when the user
// allows network tests: the From domain's DMARC record and policy (asked at the
// domain, then at its organizational domain), its SPF record, and the DKIM
// signature verified with the signer's public key. Appends their findings to
// `result`, whose offline checks said what to look up, and drops the message
// bytes it kept for them. Every lookup has a time limit; a lookup that gets no
// usable answer gives a finding that says the check could not be made, never a
// pass, and once the DNS has not answered no further lookup waits for it.
void AddNetworkFindings(ReadinessResult &result, const DnsSettings &dns);

} // namespace norvale
