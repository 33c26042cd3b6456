#include "platform/QtDesktop.h"

#include "platform/CurlFetcher.h"

#include <QDir>
#include <QFileDialog>

namespace quorel::platform
{
QString QtDesktop::folderDialog(QWidget *owner, const QString &title)
{
    // Always opens at the top of the file system, whatever folder the field names.
    return QFileDialog::getExistingDirectory(owner, title, QDir::rootPath(), QFileDialog::ShowDirsOnly);
}

std::unique_ptr<UrlFetcher> QtDesktop::createFetcher()
{
    return std::make_unique<CurlFetcher>();
}
}
