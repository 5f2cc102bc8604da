#include "ProcessStart.h"

#include <QByteArray>
#include <QtGlobal>

namespace ProcessStart {

void interpretRegularExpressions()
{
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_REGEXP_JIT"))
        qputenv("QT_ENABLE_REGEXP_JIT", "0");
}

} // namespace ProcessStart
