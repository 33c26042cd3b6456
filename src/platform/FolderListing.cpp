#include "platform/FolderListing.h"

#include "core/Spaces.h"

#include <QDir>
#include <QFileInfo>

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

QString nearestExistingFolder(const QString &text)
{
    const QStringView trimmed = core::trimSpaces(text);
    if (trimmed.isEmpty())
        return {};
    // Climbs by the text alone: a folder's ".." could lead elsewhere through a link.
    QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(trimmed.toString()));
    while (!QFileInfo(folder).isDir() && !QDir(folder).isRoot())
        folder = QFileInfo(folder).absolutePath();
    return folder;
}
}
