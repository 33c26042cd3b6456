#include "platform/ImageDownload.h"

#include "core/Spaces.h"
#include "platform/OpenFolder.h"
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
    qsizetype longestNameIn(const OpenFolder &folder)
    {
        const long limit = ::fpathconf(folder.fd(), _PC_NAME_MAX);
        return limit > 0 ? qsizetype(limit) : qsizetype(NAME_MAX);
    }

    // The server was never reached: the next image from it would most likely wait out the same.
    bool noAnswer(const core::Failure &failure)
    {
        return failure.reason == core::Reason::ServerNotFound || failure.reason == core::Reason::ConnectFailed;
    }

    // Whatever comes next would fail the same way: the folder takes no files, or the run was stopped.
    // A failure of one file alone (a name in the way, a rename refused, an error nobody foresaw)
    // leaves the others to be tried.
    bool endsTheRun(const core::Failure &failure)
    {
        switch (failure.reason) {
        case core::Reason::FolderMissing:
        case core::Reason::NotPermitted:
        case core::Reason::DiskFull:
        case core::Reason::TransferNotReady:
        case core::Reason::TransferStopped:
            return true;
        default:
            return false;
        }
    }

    core::Result<> downloadOne(const QString &address, const OpenFolder &folder, const QString &folderPath,
                               const QString &fileName, qsizetype longestName, UrlFetcher &fetcher)
    {
        if (!staysInFolder(fileName)) {
            core::Failure leaves = core::fail(core::Reason::NameLeavesFolder);
            leaves.subject = fileName;
            return leaves;
        }
        if (QFile::encodeName(fileName).size() > longestName)
            return core::during(core::Action::WriteFile, QDir::toNativeSeparators(folderPath + fileName),
                                core::fail(core::Reason::NameTooLong));

        // Opened before the transfer, so that a folder that cannot take the file costs no download.
        WholeFile file(folder.fd(), folderPath, fileName);
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
        return file.commit();
    }
}

std::optional<QString> downloadFolder(const QString &folderText)
{
    QString folder = core::trimSpacesEndingInSlash(folderText);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

core::Result<core::DownloadReport> downloadImages(const core::PageImages &images, const QString &folderText,
                                                  UrlFetcher &fetcher,
                                                  const std::function<void(qsizetype ended)> &imageEnded)
{
    const std::optional<QString> folder = downloadFolder(folderText);
    if (!folder)
        return core::fail(core::Reason::NoDownloadFolder);

    core::DownloadReport report;
    report.total = images.count();
    // Opened once: every image goes into the folder the path named at the start, whatever becomes
    // of the path meanwhile.
    const core::Result<OpenFolder> opened = OpenFolder::open(*folder);
    if (!opened) {
        report.endedEarly = opened.error();
        return report;
    }
    const qsizetype longestName = longestNameIn(*opened);
    int silentInARow = 0;
    for (qsizetype k = 0; k < images.count() && !report.endedEarly; ++k) {
        const QString fileName = images.fileName(k);
        const core::Result<> saved = downloadOne(images.address(k), *opened, *folder, fileName, longestName, fetcher);
        if (saved) {
            ++report.saved;
            silentInARow = 0;
        } else {
            const core::Failure &failure = saved.error();
            report.addFailure(fileName, failure);
            silentInARow = noAnswer(failure) ? silentInARow + 1 : 0;
            if (endsTheRun(failure))
                report.endedEarly = failure;
            else if (silentInARow >= core::DownloadReport::silentServersLimit)
                report.endedEarly = core::fail(core::Reason::ServersSilent);
        }
        if (imageEnded)
            imageEnded(k + 1);
    }
    return report;
}
}
