#pragma once

#include <QLoggingCategory>

namespace norvale {

// Norvale's diagnostics: what the user need not see, one category per area.
// Each shows its warnings and hides its info and debug lines unless the
// logging rules ask for them (QT_LOGGING_RULES="norvale.*.info=true", or
// norvale-check --verbose). The kept-running checker has its own category,
// lcWarmChecker ("norvale.warmchecker", WarmChecker.h).
Q_DECLARE_LOGGING_CATEGORY(lcChecker) // norvale.checker: the checker runs of a check
Q_DECLARE_LOGGING_CATEGORY(lcWorkDir) // norvale.workdir: the private working folder
Q_DECLARE_LOGGING_CATEGORY(lcSettings) // norvale.settings: reading and saving the settings file
Q_DECLARE_LOGGING_CATEGORY(lcReadiness) // norvale.readiness: the sending readiness checks
Q_DECLARE_LOGGING_CATEGORY(lcReport) // norvale.report: the full report
Q_DECLARE_LOGGING_CATEGORY(lcCli) // norvale.cli: norvale-check's own steps
Q_DECLARE_LOGGING_CATEGORY(lcUi) // norvale.ui: the window

} // namespace norvale
