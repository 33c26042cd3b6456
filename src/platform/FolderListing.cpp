#include "platform/FolderListing.h"

#include <QDir>

namespace quorel::platform::FolderListing
{
QStringList filesEndingWith(const QString &folder, const QString &tail)
{
    // Folder and pattern are joined by a separator, so an empty folder text means the root.
    QDir dir(folder.isEmpty() ? QDir::rootPath() : folder);
    QStringList names;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name.endsWith(tail, Qt::CaseInsensitive))
            names.append(name);
    }
    return names;
}
}
