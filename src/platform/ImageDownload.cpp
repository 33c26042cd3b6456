#include "platform/ImageDownload.h"

#include "core/Spaces.h"
#include "platform/OpenFolder.h"
#include "platform/UrlFetcher.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
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
        return failure.reason == core::Reason::ServerNotFound || failure.reason == core::Reason::ConnectFailed
            || failure.reason == core::Reason::NoAnswer;
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

    // The file an image goes into, opened before its transfer so that a folder that cannot take the
    // file costs no download.
    core::Result<std::unique_ptr<WholeFile>> openImageFile(const OpenFolder &folder, const QString &folderPath,
                                                           const QString &fileName, qsizetype longestName)
    {
        if (!staysInFolder(fileName)) {
            core::Failure leaves = core::fail(core::Reason::NameLeavesFolder);
            leaves.subject = fileName;
            return leaves;
        }
        if (QFile::encodeName(fileName).size() > longestName)
            return core::during(core::Action::WriteFile, QDir::toNativeSeparators(folderPath + fileName),
                                core::fail(core::Reason::NameTooLong));
        auto file = std::make_unique<WholeFile>(folder.fd(), folderPath, fileName);
        if (core::Result<> opened = file->open(); !opened)
            return opened.error();
        return file;
    }

    // An image whose transfer runs, with the file it streams into.
    struct InFlight
    {
        std::unique_ptr<WholeFile> file;
        bool fileFailed = false;
    };

    // The file of an image whose transfer ended: kept under its name after a success, dropped otherwise.
    core::Result<> settle(InFlight &image, const QString &address, const core::Result<> &fetched)
    {
        if (fetched)
            return image.file->commit();
        image.file->discard();
        // A file that failed names itself; a transfer that failed is named by its address.
        if (image.fileFailed)
            return fetched;
        return core::during(core::Action::Fetch, address, fetched.error());
    }
}

std::optional<QString> downloadFolderPath(const QString &downloadFolder)
{
    QString folder = core::trimSpacesEndingInSlash(downloadFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

core::Result<core::DownloadReport> downloadImages(const core::PageImages &images, const QString &downloadFolder,
                                                  UrlFetcher &fetcher,
                                                  const std::function<void(qsizetype ended)> &imageEnded)
{
    const std::optional<QString> folder = downloadFolderPath(downloadFolder);
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
    std::map<qsizetype, InFlight> inFlight;
    QList<std::pair<qsizetype, core::Failure>> failures; // listed in number order once the run is over
    QHash<QString, int> silentInARow; // by host: a machine that is down answers on no port
    qsizetype ended = 0;

    // Transfers end in any order; every image is accounted for as it ends, until the run ends.
    const auto account = [&](qsizetype k, const core::Result<> &saved, bool fetched) {
        if (report.endedEarly)
            return;
        if (!saved && saved.error().reason == core::Reason::TransferStopped) {
            // Stopped in flight: not fetched, like the images after it.
            report.endedEarly = saved.error();
            return;
        }
        int &silent = silentInARow[QUrl(images.address(k).trimmed(), QUrl::TolerantMode).host().toLower()];
        if (saved) {
            ++report.saved;
            silent = 0;
        } else {
            const core::Failure &failure = saved.error();
            failures.append({k, failure});
            if (noAnswer(failure))
                ++silent;
            else if (fetched)
                silent = 0;
            if (endsTheRun(failure))
                report.endedEarly = failure;
            else if (silent >= core::DownloadReport::silentServersLimit)
                report.endedEarly = core::fail(core::Reason::ServersSilent);
        }
        if (imageEnded)
            imageEnded(++ended);
        // The transfers still running belong to a run that is over.
        if (report.endedEarly)
            fetcher.stop();
    };

    for (qsizetype next = 0;;) {
        for (; !report.endedEarly && next < images.count() && fetcher.room() > 0; ++next) {
            core::Result<std::unique_ptr<WholeFile>> file
                = openImageFile(*opened, *folder, images.fileName(next), longestName);
            if (!file) {
                account(next, file.error(), false);
                continue;
            }
            InFlight &image = inFlight[next];
            image.file = std::move(*file);
            fetcher.add(next, images.address(next), [&image](QByteArrayView piece) {
                core::Result<> written = image.file->write(piece);
                image.fileFailed = !written;
                return written;
            });
        }
        const QList<UrlFetcher::Ended> done = fetcher.next();
        if (done.isEmpty())
            break;
        for (const UrlFetcher::Ended &transfer : done) {
            const auto image = inFlight.find(transfer.tag);
            if (report.endedEarly) {
                image->second.file->discard();
                inFlight.erase(image);
                continue;
            }
            const core::Result<> saved = settle(image->second, images.address(transfer.tag), transfer.result);
            inFlight.erase(image);
            account(transfer.tag, saved, true);
        }
    }
    std::sort(failures.begin(), failures.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[k, failure] : std::as_const(failures))
        report.addFailure(k, images.fileName(k), failure);
    return report;
}
}
