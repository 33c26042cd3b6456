#include "platform/desktop/QtDesktop.h"

#include "platform/FetcherModule.h"
#include "platform/UrlFetcher.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLibrary>
#include <QUrl>

namespace quorel::platform
{
void QtDesktop::beep()
{
    QApplication::beep();
}

void QtDesktop::openWithAssociatedProgram(const QString &path)
{
    // Whether a program took the file is not reported, as the user sees that for themselves.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

namespace
{
    // Found from the program's folder as they lie installed; the build tree lays them out alike.
    FetcherModule::Create *loadFetcherModule()
    {
        QLibrary module(QCoreApplication::applicationDirPath() + u'/' + QStringLiteral(QUOREL_FETCHER_MODULE));
        const auto create = reinterpret_cast<FetcherModule::Create *>(module.resolve(FetcherModule::createSymbol));
        if (!create)
            qWarning("The download module cannot be loaded: %s", qUtf8Printable(module.errorString()));
        return create;
    }
}

std::unique_ptr<UrlFetcher> QtDesktop::createFetcher()
{
    static FetcherModule::Create *const create = loadFetcherModule();
    if (!create)
        return nullptr;
    return std::unique_ptr<UrlFetcher>(create());
}
}
