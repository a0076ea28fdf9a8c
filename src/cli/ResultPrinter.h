#pragma once

#include "FileCheck.h"

#include <QList>
#include <QString>

namespace norvale {

// The text form: per file its path, the score, the verdict level and text,
// and the reasons in report order as an aligned table (points, type,
// description, rule name) whose description column wraps to fit `width`
// characters. Numbers are written in the user's locale.
QString FormatResultText(const FileCheckResult &result, bool hideZero, int width);

// One JSON document for all files: {"version", "files": [{"path", "score",
// "level", "verdict", "reasons": [{"points", "type", "description", "rule"}]}
// or {"path", "error"}]}. Numbers are JSON numbers; a score past the last
// limit has level and verdict null.
QByteArray FormatResultsJson(const QList<FileCheckResult> &results, bool hideZero);

} // namespace norvale
