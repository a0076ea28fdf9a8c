#include "Logging.h"

namespace norvale {

Q_LOGGING_CATEGORY(lcChecker, "norvale.checker", QtWarningMsg)
Q_LOGGING_CATEGORY(lcWorkDir, "norvale.workdir", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "norvale.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcReadiness, "norvale.readiness", QtWarningMsg)
Q_LOGGING_CATEGORY(lcReport, "norvale.report", QtWarningMsg)
Q_LOGGING_CATEGORY(lcCli, "norvale.cli", QtWarningMsg)
Q_LOGGING_CATEGORY(lcUi, "norvale.ui", QtWarningMsg)

} // namespace norvale
