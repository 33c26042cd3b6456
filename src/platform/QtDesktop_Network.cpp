#include "platform/QtDesktop.h"

#include "platform/UrlFetcher.h"

namespace quorel::platform
{
QString QtDesktop::folderDialog(QWidget *, const QString &)
{
    return {};
}

std::unique_ptr<UrlFetcher> QtDesktop::createFetcher()
{
    return nullptr;
}
}
