#include "DkimSignature.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cctype>
#include <optional>

namespace norvale {

namespace {

bool IsWsp(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

QByteArray WithoutWhitespace(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const char c : text) {
        if (!IsWsp(c))
            out += c;
    }
    return out;
}

bool IsTagName(const QByteArray &name)
{
    if (name.isEmpty() || !std::isalpha(uchar(name[0])))
        return false;
    for (const char c : name) {
        if (!std::isalnum(uchar(c)) && c != '_')
            return false;
    }
    return true;
}

bool IsDomain(const QByteArray &domain)
{
    if (domain.isEmpty() || domain.size() > 253 || !domain.contains('.'))
        return false;
    for (const QByteArray &label : domain.split('.')) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith('-') || label.endsWith('-'))
            return false;
        for (const char c : label) {
            if (!std::isalnum(uchar(c)) && c != '-' && c != '_')
                return false;
        }
    }
    return true;
}

bool IsBase64(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    const QByteArray::FromBase64Result result
        = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    return result.decodingStatus == QByteArray::Base64DecodingStatus::Ok && !result.decoded.isEmpty();
}

// The signer's canonical form of a body (RFC 6376 3.4.3 and 3.4.4), fed to
// the hash line by line so that no copy of the body is made. Every line ends
// with CR LF as it was sent, though the file may end its lines with LF alone;
// empty lines at the end are left out, as are (relaxed) blanks at line ends,
// and runs of blanks become one space.
class CanonicalBody
{
public:
    CanonicalBody(bool relaxed, QCryptographicHash::Algorithm method, qint64 limit)
        : m_relaxed(relaxed)
        , m_hash(method)
        , m_limit(limit)
    { }

    void addLine(QByteArrayView line)
    {
        if (m_relaxed) {
            m_line.truncate(0);
            bool blank = false;
            for (const char c : line) {
                if (c == ' ' || c == '\t') {
                    blank = true;
                    continue;
                }
                if (blank)
                    m_line += ' ';
                blank = false;
                m_line += c;
            }
            line = m_line;
        }
        if (line.isEmpty()) {
            ++m_pendingEmpty;
            return;
        }
        for (; m_pendingEmpty > 0; --m_pendingEmpty)
            feed("\r\n");
        feed(line);
        feed("\r\n");
    }

    // The hash of the whole canonical body; none when l= asks for more than it has.
    std::optional<QByteArray> result()
    {
        if (m_length == 0 && !m_relaxed)
            feed("\r\n"); // a simple empty body is one line end
        if (m_limit >= 0 && m_limit > m_length)
            return std::nullopt;
        return m_hash.result();
    }

private:
    void feed(QByteArrayView bytes)
    {
        qsizetype size = bytes.size();
        if (m_limit >= 0)
            size = qsizetype(std::clamp<qint64>(m_limit - m_length, 0, size));
        m_hash.addData(bytes.first(size));
        m_length += bytes.size();
    }

    const bool m_relaxed;
    QCryptographicHash m_hash;
    const qint64 m_limit; // l=, or -1 for the whole body
    qint64 m_length = 0; // of the canonical body so far
    qsizetype m_pendingEmpty = 0; // empty lines not yet known to be followed by more
    QByteArray m_line; // the relaxed form of the current line
};

} // namespace

DkimSignature DkimSignature::Parse(const QByteArray &value)
{
    DkimSignature signature;
    for (const QByteArray &part : value.split(';')) {
        const QByteArray tag = part.trimmed();
        if (tag.isEmpty())
            continue;
        const qsizetype equals = tag.indexOf('=');
        const QByteArray name = equals < 0 ? tag : tag.left(equals).trimmed();
        if (equals < 0 || !IsTagName(name) || signature.m_tags.contains(name)) {
            if (signature.m_badTag.isEmpty())
                signature.m_badTag = name.left(20);
            continue;
        }
        signature.m_tags.insert(name, tag.mid(equals + 1).trimmed());
    }

    const auto bad = [&signature](const char *tag) {
        if (signature.m_badTag.isEmpty())
            signature.m_badTag = tag;
    };
    if (signature.m_tags.value("v") != "1")
        bad("v");
    if (!signature.m_tags.contains("a") || signature.m_tags.value("a").isEmpty())
        bad("a");
    if (!IsBase64(WithoutWhitespace(signature.m_tags.value("b"))))
        bad("b");
    if (!IsBase64(WithoutWhitespace(signature.m_tags.value("bh"))))
        bad("bh");
    signature.m_domain = signature.m_tags.value("d").toLower();
    if (!IsDomain(signature.m_domain))
        bad("d");
    for (const QByteArray &name : signature.m_tags.value("h").split(':')) {
        const QByteArray header = WithoutWhitespace(name).toLower();
        if (!header.isEmpty())
            signature.m_signedHeaders << header;
    }
    if (signature.m_signedHeaders.isEmpty())
        bad("h");
    if (signature.m_tags.value("s").isEmpty())
        bad("s");
    if (signature.m_tags.contains("l")) {
        bool ok = false;
        signature.m_tags.value("l").toLongLong(&ok);
        if (!ok)
            bad("l");
    }
    return signature;
}

bool DkimSignature::covers(const char *headerName) const
{
    return m_signedHeaders.contains(QByteArray(headerName).toLower());
}

QByteArray DkimSignature::unknownMethod() const
{
    const QByteArray algorithm = m_tags.value("a").toLower();
    if (algorithm != "rsa-sha256" && algorithm != "rsa-sha1" && algorithm != "ed25519-sha256")
        return "a=" + algorithm.left(40);
    const QByteArray canon = m_tags.value("c", "simple/simple").toLower();
    const qsizetype slash = canon.indexOf('/');
    const QByteArray bodyCanon = slash < 0 ? QByteArrayLiteral("simple") : canon.mid(slash + 1);
    const QByteArray headerCanon = slash < 0 ? canon : canon.left(slash);
    if ((bodyCanon != "simple" && bodyCanon != "relaxed")
        || (headerCanon != "simple" && headerCanon != "relaxed"))
        return "c=" + canon.left(40);
    return {};
}

DkimSignature::BodyHash DkimSignature::checkBody(const QByteArray &body) const
{
    if (!wellFormed() || !unknownMethod().isEmpty())
        return BodyHash::Unknown;
    const QByteArray canon = m_tags.value("c", "simple/simple").toLower();
    const auto method = m_tags.value("a").toLower().endsWith("sha1") ? QCryptographicHash::Sha1
                                                                     : QCryptographicHash::Sha256;
    const qint64 limit = m_tags.contains("l") ? m_tags.value("l").toLongLong() : -1;
    if (m_tags.contains("l") && limit < 0)
        return BodyHash::Unknown;
    CanonicalBody canonical(canon.endsWith("/relaxed"), method, limit);
    qsizetype pos = 0;
    while (pos < body.size()) {
        qsizetype end = body.indexOf('\n', pos);
        const qsizetype next = end < 0 ? body.size() : end + 1;
        if (end < 0)
            end = body.size();
        else if (end > pos && body[end - 1] == '\r')
            --end;
        canonical.addLine(QByteArrayView(body).sliced(pos, end - pos));
        pos = next;
    }
    const std::optional<QByteArray> hash = canonical.result();
    if (!hash)
        return BodyHash::Unknown;
    const QByteArray expected = QByteArray::fromBase64(WithoutWhitespace(m_tags.value("bh")));
    return *hash == expected ? BodyHash::Matches : BodyHash::Differs;
}

} // namespace norvale
