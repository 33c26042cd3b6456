#pragma once

#include "desktop/Desktop.h"

#include <QStringList>

namespace quorel::desktop::SaveDialogFilter
{
// Qt's "description (pattern pattern)" entries, in the same order.
QStringList toNameFilters(const QList<FileType> &fileTypes);
}
