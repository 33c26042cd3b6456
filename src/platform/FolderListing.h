#pragma once

#include <QString>
#include <QStringList>

namespace quorel::platform::FolderListing
{
// Names (without path) of the regular, non-hidden files in folder whose names end in tail,
// compared without regard to case: the wildcard "*" followed by the tail.
QStringList filesEndingWith(const QString &folder, const QString &tail);
}
