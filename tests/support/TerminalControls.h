#pragma once

#include <QString>

// True when the text holds a character that acts on a terminal (a C0 control
// other than the line feed, DEL, a C1 control, a bidirectional embedding,
// override or isolate): what norvale-check must never print as it is.
inline bool HasTerminalControls(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\n') || (u >= 0x7f && u <= 0x9f) || (u >= 0x202a && u <= 0x202e)
            || (u >= 0x2066 && u <= 0x2069))
            return true;
    }
    return false;
}
