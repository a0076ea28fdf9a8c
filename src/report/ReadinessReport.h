#pragma once

#include "ReadinessCheck.h"

#include <QJsonObject>
#include <QString>

namespace norvale {

// The sending readiness findings put into words from the catalogue, for the
// window, the terminal and scripts. Every value taken from the message is
// data: escaped in HTML, its control characters made visible on a terminal.

// "2 problems, 1 warning", or the ready text when there is neither.
QString ReadinessSummary(const ReadinessResult &result);

// A finding's name, what was found (the problem text with its arguments, and
// the value), and what to change (empty when nothing); plain text.
QString FindingTitle(const ReadinessFinding &finding);
QString FindingText(const ReadinessFinding &finding);
QString FindingAdvice(const ReadinessFinding &finding);
QString StatusText(ReadinessStatus status);

// The report section: a heading, the summary and a table of the findings
// (status, check, finding with what to change), problems first. Escaped HTML
// with no links, images or other resources. The heading is <h`level`>, with
// the id `anchor` when one is given.
QString ReadinessHtml(const ReadinessResult &result, int level = 2, const QString &anchor = {});

// The same as a table for the terminal, the finding column wrapped to fit
// `width` characters: the heading and summary indented by two spaces, the
// rows by four.
QString ReadinessTerminalText(const ReadinessResult &result, int width);

// {"ready", "problems", "warnings", "findings": [{"id", "status", "check",
// "finding", "value", "advice"}]} in the findings' own order.
QJsonObject ReadinessJson(const ReadinessResult &result);

} // namespace norvale
