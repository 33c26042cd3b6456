#pragma once

#include <QString>
#include <QStringList>

namespace quorel::desktop::SaveDialogFilter
{
// "description|patterns|description|patterns…" with patterns joined by ';' becomes Qt's
// "description (pattern pattern)" entries, in the same order; a last description without patterns is ignored.
QStringList toNameFilters(const QString &filter);
}
