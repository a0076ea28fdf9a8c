#include "HeaderBlock.h"

namespace norvale {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The length of a field name at the start of line, when the line starts a
// field: printable ASCII up to a colon, optionally followed by blanks (the
// obsolete "Name :" form). Zero when it does not.
qsizetype FieldNameLength(const QByteArray &line, qsizetype &colon)
{
    qsizetype i = 0;
    while (i < line.size() && line[i] != ':' && uchar(line[i]) > 32 && uchar(line[i]) < 127)
        ++i;
    const qsizetype nameEnd = i;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    if (nameEnd == 0 || i >= line.size() || line[i] != ':')
        return 0;
    colon = i;
    return nameEnd;
}

} // namespace

HeaderBlock HeaderBlock::Parse(const QByteArray &message)
{
    HeaderBlock block;
    QByteArray rawValue; // the current field's value with its folding
    bool inField = false;
    const auto endField = [&] {
        if (!inField)
            return;
        QByteArray unfolded;
        unfolded.reserve(rawValue.size());
        for (qsizetype i = 0; i < rawValue.size(); ++i) {
            const char c = rawValue[i];
            if (c == '\r' || c == '\n')
                continue;
            unfolded += c;
        }
        block.m_fields.last().value = unfolded.trimmed();
        inField = false;
    };

    qsizetype pos = 0;
    bool first = true;
    while (pos < message.size()) {
        qsizetype end = message.indexOf('\n', pos);
        const qsizetype next = end < 0 ? message.size() : end + 1;
        if (end < 0)
            end = message.size();
        qsizetype lineEnd = end;
        if (lineEnd > pos && message[lineEnd - 1] == '\r')
            --lineEnd;
        const QByteArray line = message.mid(pos, lineEnd - pos);
        pos = next;

        if (line.isEmpty()) {
            block.m_bodyOffset = next;
            break;
        }
        if (first && line.startsWith("From ")) {
            first = false;
            continue;
        }
        first = false;

        qsizetype colon = 0;
        QByteArray fieldName;
        if (IsBlank(line[0])) {
            if (inField) {
                rawValue += "\r\n" + line;
            } else {
                block.m_badLines << line;
            }
        } else if (const qsizetype nameLength = FieldNameLength(line, colon)) {
            endField();
            fieldName = line.left(nameLength);
            block.m_fields.append({ fieldName, {} });
            rawValue = line.mid(colon + 1);
            inField = true;
        } else {
            endField();
            block.m_badLines << line;
        }
        if (line.size() > block.m_longestLine) {
            block.m_longestLine = line.size();
            block.m_longestLineField = inField ? block.m_fields.last().name : QByteArray();
        }
    }
    endField();
    return block;
}

QList<const HeaderField *> HeaderBlock::all(const char *name) const
{
    QList<const HeaderField *> found;
    for (const HeaderField &field : m_fields) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            found << &field;
    }
    return found;
}

} // namespace norvale
