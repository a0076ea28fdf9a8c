#include "DkimSignature.h"

#include <QCryptographicHash>

#include <cctype>

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

// Every line end becomes CR LF: files on disk end their lines with LF, and the
// signer hashed the message as it was sent.
QByteArray WithCrlf(const QByteArray &body)
{
    QByteArray out;
    out.reserve(body.size() + body.size() / 32);
    for (qsizetype i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\n' && (i == 0 || body[i - 1] != '\r'))
            out += '\r';
        out += c;
    }
    return out;
}

QByteArray SimpleBody(QByteArray body)
{
    if (!body.isEmpty() && !body.endsWith("\r\n"))
        body += "\r\n";
    while (body.endsWith("\r\n\r\n"))
        body.chop(2);
    return body.isEmpty() || body == "\r\n" ? QByteArrayLiteral("\r\n") : body;
}

QByteArray RelaxedBody(const QByteArray &body)
{
    QByteArray out;
    out.reserve(body.size());
    qsizetype pos = 0;
    while (pos < body.size()) {
        qsizetype end = body.indexOf("\r\n", pos);
        const bool hasEnd = end >= 0;
        if (!hasEnd)
            end = body.size();
        bool blank = false;
        QByteArray line;
        for (qsizetype i = pos; i < end; ++i) {
            const char c = body[i];
            if (c == ' ' || c == '\t') {
                blank = true;
                continue;
            }
            if (blank && !line.isEmpty())
                line += ' ';
            blank = false;
            line += c;
        }
        out += line;
        out += "\r\n";
        pos = hasEnd ? end + 2 : body.size();
    }
    while (out.endsWith("\r\n\r\n"))
        out.chop(2);
    if (out == "\r\n")
        out.clear();
    return out;
}

} // namespace

DkimSignature DkimSignature::Parse(const QByteArray &value)
{
    DkimSignature signature;
    for (const QByteArray &part : value.split(';')) {
        const QByteArray spec = part.trimmed();
        if (spec.isEmpty())
            continue;
        const qsizetype equals = spec.indexOf('=');
        const QByteArray name = equals < 0 ? spec : spec.left(equals).trimmed();
        if (equals < 0 || !IsTagName(name) || signature.m_tags.contains(name)) {
            if (signature.m_badTag.isEmpty())
                signature.m_badTag = name.left(20);
            continue;
        }
        signature.m_tags.insert(name, spec.mid(equals + 1).trimmed());
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
    const bool relaxed = canon.endsWith("/relaxed");
    QByteArray canonical = relaxed ? RelaxedBody(WithCrlf(body)) : SimpleBody(WithCrlf(body));
    if (m_tags.contains("l")) {
        const qint64 length = m_tags.value("l").toLongLong();
        if (length < 0 || length > canonical.size())
            return BodyHash::Unknown;
        canonical.truncate(length);
    }
    const auto method = m_tags.value("a").toLower().endsWith("sha1") ? QCryptographicHash::Sha1
                                                                     : QCryptographicHash::Sha256;
    const QByteArray expected = QByteArray::fromBase64(WithoutWhitespace(m_tags.value("bh")));
    return QCryptographicHash::hash(canonical, method) == expected ? BodyHash::Matches : BodyHash::Differs;
}

} // namespace norvale
