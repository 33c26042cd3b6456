#include "platform/ImageDownload.h"

#include "core/Spaces.h"
#include "platform/UrlFetcher.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>

#include <climits>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace quorel::platform
{
namespace
{
    // A name that is empty, climbs out or holds a separator would write somewhere the user did not name.
    bool staysInFolder(const QString &fileName)
    {
        return !fileName.isEmpty() && fileName != "."_L1 && fileName != ".."_L1 && !fileName.contains(u'/')
            && !fileName.contains(u'\\') && !fileName.contains(QChar(0));
    }

    // The folder's limit on one name, in bytes; a longer name would be fetched only to be refused.
    qsizetype longestNameIn(const QString &folder)
    {
        const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
        return limit > 0 ? qsizetype(limit) : qsizetype(NAME_MAX);
    }
}

std::optional<QString> downloadFolder(const QString &folderText)
{
    QString folder = core::trimSpacesEndingInSlash(folderText);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

core::Result<> downloadImages(const core::PageImages &images, const QString &folderText, UrlFetcher &fetcher)
{
    const std::optional<QString> folder = downloadFolder(folderText);
    if (!folder)
        return core::fail(core::Reason::NoDownloadFolder);

    // Asked once: the folder stays the same for the whole run.
    const qsizetype longestName = longestNameIn(*folder);
    for (qsizetype k = 0; k < images.count(); ++k) {
        const QString fileName = images.fileName(k);
        const QString address = images.address(k);
        if (!staysInFolder(fileName)) {
            core::Failure leaves = core::fail(core::Reason::NameLeavesFolder);
            leaves.subject = fileName;
            return leaves;
        }
        const QString path = *folder + fileName;
        if (QFile::encodeName(fileName).size() > longestName)
            return core::during(core::Action::WriteFile, QDir::toNativeSeparators(path),
                                core::fail(core::Reason::NameTooLong));

        // Opened before the transfer, so that a folder that cannot take the file costs no download.
        WholeFile file(path);
        if (core::Result<> opened = file.open(); !opened)
            return opened;
        bool fileFailed = false;
        const core::Result<> fetched = fetcher.fetch(address, [&file, &fileFailed](QByteArrayView piece) {
            core::Result<> written = file.write(piece);
            fileFailed = !written;
            return written;
        });
        if (!fetched) {
            file.discard();
            // A file that failed names itself; a transfer that failed is named by its address.
            if (fileFailed)
                return fetched;
            return core::during(core::Action::Fetch, address, fetched.error());
        }
        if (core::Result<> committed = file.commit(); !committed)
            return committed;
    }
    return {};
}
}
