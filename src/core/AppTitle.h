#pragma once

#include <QString>

namespace quorel::core
{
// The program's title: the window's caption, and the title of every message box that names none of its own.
inline QString appTitle()
{
    return QStringLiteral("Tessaly作成");
}
}
