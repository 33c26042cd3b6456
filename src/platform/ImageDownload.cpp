#include "platform/ImageDownload.h"

#include "core/Spaces.h"
#include "platform/UrlFetcher.h"

#include <algorithm>

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
}

std::optional<QString> downloadFolder(const QString &folderText)
{
    QString folder = core::trimSpaces(folderText).toString();
    if (folder.isEmpty())
        return std::nullopt;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

std::optional<QString> downloadImages(const core::OneBasedStrings &urls, const core::OneBasedStrings &fileNames,
                                      qint16 count, const QString &folderText, UrlFetcher &fetcher,
                                      const FileWriter &writeFile)
{
    const std::optional<QString> folder = downloadFolder(folderText);
    if (!folder)
        return u"出力フォルダを指定してください。"_s;

    // A count beyond the lists would read past their ends.
    const qsizetype last = std::min({qsizetype(count), urls.size(), fileNames.size()});
    for (qsizetype k = 1; k <= last; ++k) {
        const QString &fileName = fileNames.at(k);
        if (!staysInFolder(fileName))
            return u"ファイル「%1」は保存できません。名前が出力フォルダの中のファイルを指していません。"_s.arg(fileName);
        const FetchResult fetched = fetcher.fetch(urls.at(k));
        if (!fetched.ok)
            return u"「%1」を取得できませんでした。%2"_s.arg(urls.at(k), fetched.errorText);
        if (const core::Result<> written = writeFile(*folder + fileName, fetched.body); !written)
            return written.error();
    }
    return std::nullopt;
}
}
