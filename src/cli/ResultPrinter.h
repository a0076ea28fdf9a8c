#pragma once

#include "FileCheck.h"

#include <QJsonObject>
#include <QList>
#include <QString>

namespace norvale {

// The text form: per file its path, the score, the verdict level and text,
// and the reasons as an aligned table (points, type, description, rule name)
// whose description column wraps to fit `width` characters. Reasons are
// listed by points, highest first, then by rule name, in text and JSON alike,
// so that the output of two runs can be compared. Numbers are written in the
// user's locale. The file's name and the reasons' texts have their control
// characters escaped (EscapeForTerminal); JSON has them as \u escapes, so
// its texts read back unchanged.
QString FormatResultText(const FileCheckResult &result, bool hideZero, int width);

// One JSON document for all files: {"files": [{"path", "error"} or {"path",
// "level", "readiness" (when checked: ReadinessJson), "reasons":
// [{"description", "points", "rule", "type"}], "score", "verdict"}],
// "version"}, keys in that order, indented as QJsonDocument writes it.
// Numbers are JSON numbers; a score past the last limit has level and verdict
// null. It is written piece by piece as the files are checked, so that memory
// does not grow with their number: JsonDocumentHead(), then FormatFileJson()
// for each file (`first` for the first one), then JsonDocumentTail().
QByteArray JsonDocumentHead();
// `extra` (the full report's keys) is added to a checked file's entry.
QByteArray FormatFileJson(
    const FileCheckResult &result, bool hideZero, bool first, const QJsonObject &extra = QJsonObject());
QByteArray JsonDocumentTail();

} // namespace norvale
