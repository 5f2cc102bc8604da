#pragma once

#include <QLoggingCategory>

// Results the user never sees but a developer chasing a fault wants: enable with
// QT_LOGGING_RULES="ventorix.*.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcNetwork)
Q_DECLARE_LOGGING_CATEGORY(lcFiles)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
