#include "platform/ImageDownload.h"

#include "core/Spaces.h"
#include "platform/UrlFetcher.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <climits>
#include <unistd.h>

using namespace Qt::StringLiterals;

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

core::Result<> downloadImages(const core::OneBasedStrings &urls, const core::OneBasedStrings &fileNames, qint16 count,
                              const QString &folderText, UrlFetcher &fetcher)
{
    const std::optional<QString> folder = downloadFolder(folderText);
    if (!folder)
        return core::fail(u"出力フォルダを指定してください。"_s);

    // A count beyond the lists would read past their ends.
    const qsizetype last = std::min({qsizetype(count), urls.size(), fileNames.size()});
    // Asked once: the folder stays the same for the whole run.
    const qsizetype longestName = longestNameIn(*folder);
    for (qsizetype k = 1; k <= last; ++k) {
        const QString &fileName = fileNames.at(k);
        if (!staysInFolder(fileName))
            return core::fail(
                u"ファイル「%1」は保存できません。名前が出力フォルダの中のファイルを指していません。"_s.arg(fileName));
        const QString path = *folder + fileName;
        if (QFile::encodeName(fileName).size() > longestName)
            return core::fail(u"ファイル「%1」に書き込めませんでした。ファイル名が長すぎます。"_s.arg(
                QDir::toNativeSeparators(path)));

        // Opened before the transfer, so that a folder that cannot take the file costs no download.
        WholeFile file(path);
        if (core::Result<> opened = file.open(); !opened)
            return opened;
        bool fileFailed = false;
        const core::Result<> fetched = fetcher.fetch(urls.at(k), [&file, &fileFailed](QByteArrayView piece) {
            core::Result<> written = file.write(piece);
            fileFailed = !written;
            return written;
        });
        if (!fetched) {
            file.discard();
            // A file that failed names itself; a transfer that failed is named by its address.
            if (fileFailed)
                return fetched;
            return core::fail(u"「%1」を取得できませんでした。%2"_s.arg(urls.at(k), fetched.error()));
        }
        if (core::Result<> committed = file.commit(); !committed)
            return committed;
    }
    return {};
}
}
