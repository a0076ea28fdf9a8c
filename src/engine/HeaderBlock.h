#pragma once

#include <QByteArray>
#include <QList>

namespace norvale {

// One header field as the file holds it.
struct HeaderField
{
    QByteArray name; // as written, without the colon
    QByteArray value; // unfolded (line breaks before white space removed) and trimmed
};

// The header block of a message file, read line by line without judging the
// content: a field starts with "Name:" (printable ASCII, no blank before the
// colon except the obsolete form "Name :"), a line that starts with a blank
// continues the field before it, and anything else is a bad line, kept for the
// report. Lines end at LF, with or without CR. An mbox "From " line before the
// first field is skipped. The block ends at the first empty line; without one
// the whole file is header and there is no body.
class HeaderBlock
{
public:
    static HeaderBlock Parse(const QByteArray &message);

    const QList<HeaderField> &fields() const { return m_fields; }
    // Fields with this name, compared without regard to case, in file order.
    QList<const HeaderField *> all(const char *name) const;
    // The lines that are neither a field nor a continuation.
    const QList<QByteArray> &badLines() const { return m_badLines; }
    // The longest line (without its line end), in bytes, and the field it belongs to.
    qsizetype longestLine() const { return m_longestLine; }
    const QByteArray &longestLineField() const { return m_longestLineField; }
    // Where the body starts (after the empty line), or -1 when there is no empty line.
    qsizetype bodyOffset() const { return m_bodyOffset; }

private:
    QList<HeaderField> m_fields;
    QList<QByteArray> m_badLines;
    qsizetype m_longestLine = 0;
    QByteArray m_longestLineField;
    qsizetype m_bodyOffset = -1;
};

} // namespace norvale
