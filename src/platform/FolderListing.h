#pragma once

#include <QString>
#include <QStringList>

namespace quorel::platform::FolderListing
{
// Names (without path) of the regular, non-hidden files in folder whose names end in tail,
// compared without regard to case: the wildcard "*" followed by the tail.
QStringList filesEndingWith(const QString &folder, const QString &tail);

// Where a folder picker for the folder named by text opens: that folder when it exists, else the
// nearest folder above it that does (a relative text counts from the working folder). Empty when
// the text holds nothing but spaces.
QString nearestExistingFolder(const QString &text);
}
