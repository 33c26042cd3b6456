#include "platform/QtDesktop.h"

namespace quorel::platform
{
bool QtDesktop::anotherInstanceRunning(const QString &)
{
    return false;
}
}
