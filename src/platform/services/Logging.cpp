#include "services/Logging.h"

Q_LOGGING_CATEGORY(lcNetwork, "ventorix.network", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFiles, "ventorix.files", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "ventorix.settings", QtWarningMsg)
