#pragma once

// Helpers shared by the fuzz targets: turning the fuzzer's bytes into the texts
// the readers take, the locales every target tries, and a check that stops the
// run with a message the fuzzer records beside the input.

#include <QList>
#include <QLocale>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace norvale::fuzz {

// The locales whose number formats a user may have: "." or "," as decimal
// separator, "," or "." or a narrow no-break space grouping digits.
inline const QList<QLocale> &Locales()
{
    static const QList<QLocale> locales { QLocale::c(), QLocale(QStringLiteral("de_DE")),
        QLocale(QStringLiteral("it_IT")), QLocale(QStringLiteral("fr_FR")) };
    return locales;
}

inline QString Text(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The input as UTF-8 text cut at its NUL characters, so that one input can
// carry several texts; the returned list always has at least `count` parts.
inline QList<QString> Parts(const uint8_t *data, size_t size, qsizetype count)
{
    QList<QString> parts = Text(data, size).split(QChar(0));
    while (parts.size() < count)
        parts.append(QString());
    return parts;
}

[[noreturn]] inline void Fail(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, condition);
    std::abort();
}

} // namespace norvale::fuzz

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            norvale::fuzz::Fail(#condition, __FILE__, __LINE__);                                             \
    } while (false)
