#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QMap>

namespace norvale {

// One DKIM-Signature header field, read for what can be known from the file
// alone (RFC 6376): whether it is well-formed, which domain signed, which
// header fields it covers, and whether the body still has the hash the signer
// recorded. Whether the signature itself is valid needs the signer's public
// key from the DNS and is not decided here.
class DkimSignature
{
public:
    enum class BodyHash
    {
        Matches, // the body hashes to bh=
        Differs, // the body was changed after signing
        Unknown // an algorithm or canonicalization this reader does not know, or l= beyond the body
    };

    // Reads the field's value (unfolded). A tag list that cannot be read, a
    // repeated tag, or a missing or unusable v=, a=, b=, bh=, d=, h= or s= makes
    // the signature malformed; badTag() then names the first such tag.
    static DkimSignature Parse(const QByteArray &value);

    bool wellFormed() const { return m_badTag.isEmpty(); }
    const QByteArray &badTag() const { return m_badTag; }
    // d=, lower case.
    const QByteArray &domain() const { return m_domain; }
    // h=, each name trimmed and in lower case.
    const QByteArrayList &signedHeaders() const { return m_signedHeaders; }
    bool covers(const char *headerName) const;
    // The algorithm or canonicalization that made a body hash Unknown.
    QByteArray unknownMethod() const;

    // Compares the hash of `body` (the message after the header block, as the
    // file holds it; LF line ends count as CR LF, as they are sent) with bh=.
    BodyHash checkBody(const QByteArray &body) const;

private:
    QMap<QByteArray, QByteArray> m_tags;
    QByteArray m_badTag;
    QByteArray m_domain;
    QByteArrayList m_signedHeaders;
};

} // namespace norvale
