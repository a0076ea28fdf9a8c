#include "Settings.h"

#include "Logging.h"
#include "Numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <cerrno>

namespace norvale {

namespace {

int CheckBoxValue(QStringView text)
{
    const double value = RoundHalfEven(LeadingNumber(text));
    return value == 0.0 || value == 1.0 || value == 2.0 ? int(value) : 0;
}

// The last pair of a file ends with the file's line end; a kept pair never
// ends with one, so it reads back as it was written.
QString WithoutLineEnd(QStringView pair)
{
    while (pair.endsWith(u'\n') || pair.endsWith(u'\r'))
        pair.chop(1);
    return pair.toString();
}

} // namespace

Settings ParseSettingsString(QStringView text, QStringList *otherPairs)
{
    Settings settings;
    if (text.isEmpty())
        return settings;
    for (const QStringView pair : text.split(u'&')) {
        const QList<QStringView> pieces = pair.split(u'=');
        const QStringView key = pieces.value(0);
        const QStringView value = pieces.value(1);
        if (key == u"rules")
            settings.rules = value.toString();
        else if (key == u"thresholds")
            settings.thresholds = value.toString();
        else if (key == u"hidezero")
            settings.hideZero = CheckBoxValue(value);
        else if (key == u"onlinechecks")
            settings.onlineChecks = CheckBoxValue(value);
        else if (key == u"language") // the file's line end is no part of the last value
            settings.language = value.trimmed().toString();
        else if (key == u"warmchecker")
            settings.warmChecker = value.trimmed() == u"0" ? 0 : 1;
        else if (key == u"checkonsave")
            settings.checkOnSave = value.trimmed() == u"1" ? 1 : 0;
        else if (key == u"spamd")
            settings.spamdPool = value.trimmed().toString();
        else if (otherPairs && !key.isEmpty() && pieces.size() > 1)
            otherPairs->append(WithoutLineEnd(pair));
    }
    return settings;
}

QString FormatSettingsString(const Settings &settings, const QStringList &otherPairs)
{
    QString line = QStringLiteral("rules=") + settings.rules + QStringLiteral("&thresholds=")
        + settings.thresholds + QStringLiteral("&hidezero=") + QString::number(settings.hideZero)
        + QStringLiteral("&onlinechecks=") + QString::number(settings.onlineChecks);
    if (!settings.language.isEmpty())
        line += QStringLiteral("&language=") + settings.language;
    if (settings.warmChecker == 0)
        line += QStringLiteral("&warmchecker=0");
    if (settings.checkOnSave == 1)
        line += QStringLiteral("&checkonsave=1");
    if (!settings.spamdPool.isEmpty())
        line += QStringLiteral("&spamd=") + settings.spamdPool;
    for (const QString &pair : otherPairs)
        line += u'&' + pair;
    return line;
}

QString SettingsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/norvale/conf.ini");
}

Settings LoadSettings(const QString &path)
{
    return ReadSettingsFile(path).settings;
}

SettingsFile ReadSettingsFile(const QString &path)
{
    SettingsFile result;
    result.settings.thresholds = QString::fromLatin1(DefaultThresholds);

    const QFileInfo info(path);
    if (!info.exists()) {
        qCInfo(lcSettings).noquote() << "no settings file" << path << "- the defaults apply";
        return result;
    }
    result.state = SettingsFile::State::NotRead;
    // Only a regular file: opening a named pipe would wait for a writer forever.
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        qCInfo(lcSettings).noquote() << "the settings file" << path << "cannot be read:"
                                     << (info.isFile() ? file.errorString() : QStringLiteral("not a file"));
        return result;
    }
    // Read at most one byte past the limit, so that neither a huge file nor an
    // endless device is taken into memory.
    const QByteArray bytes = file.read(MaxSettingsFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxSettingsFileSize) {
        qCInfo(lcSettings).noquote() << "the settings file" << path << "cannot be read:"
                                     << (file.error() != QFileDevice::NoError ? file.errorString()
                                                                              : QStringLiteral("too large"));
        return result;
    }
    result.state = SettingsFile::State::Read;
    qCInfo(lcSettings).noquote() << "settings read from" << path;
    QStringDecoder decoder(QStringDecoder::Utf8); // drops a byte order mark
    const QString text = decoder(bytes);
    if (!text.isEmpty())
        result.settings = ParseSettingsString(text, &result.otherPairs);
    return result;
}

SaveOutcome SaveSettings(const Settings &settings, const QString &path, const QStringList &otherPairs)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    auto failure = [&](const QString &reason) {
        return SaveOutcome { false,
            QStringLiteral("Cannot save the settings to %1: %2").arg(shownPath, reason), reason };
    };
    // QSaveFile words some failures (a rename that fails) as "Unknown error";
    // the system's error number, cleared before each step, says what happened.
    auto reasonOf
        = [](const QSaveFile &file) { return errno != 0 ? qt_error_string(errno) : file.errorString(); };

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return failure(QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));

    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return failure(reasonOf(file));
    const QByteArray line = FormatSettingsString(settings, otherPairs).toUtf8() + '\n';
    errno = 0;
    if (file.write(line) != line.size()) {
        SaveOutcome outcome = failure(reasonOf(file));
        file.cancelWriting();
        return outcome;
    }
    errno = 0;
    if (!file.commit())
        return failure(reasonOf(file));
    return { true, QString(), QString() };
}

} // namespace norvale
