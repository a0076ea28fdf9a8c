#pragma once

#include <QString>

namespace norvale {

// The organizational domain of a host name (RFC 7489): the registrable domain
// one label below its public suffix, from the public suffix list (libpsl, with
// the system's list where installed). "news.mail.example.co.uk" gives
// "example.co.uk". The name is compared in lower case, internationalised names
// in their ASCII form; a trailing dot is ignored. A name that is itself a public
// suffix, or that has no registrable part, is its own organizational domain.
QString OrganizationalDomain(const QString &host);

} // namespace norvale
