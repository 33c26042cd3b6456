#pragma once

#include <QString>

namespace quorel::platform::ProgramInfo
{
// The folder that holds the running program, in native form without a trailing separator
// unless it is the root.
QString programFolder();
// The running program's file name without its extension.
QString programBaseName();
}
