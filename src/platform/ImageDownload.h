#pragma once

#include "core/OneBasedStrings.h"
#include "core/Result.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

namespace quorel::platform
{
class UrlFetcher;

// Writes one file whole; nothing on success, otherwise the sentence to show.
using FileWriter = std::function<core::Result<>(const QString &path, QByteArrayView bytes)>;

// The folder text trimmed and ending in "/"; nothing when it is empty, since that would mean the root.
std::optional<QString> downloadFolder(const QString &folderText);

// Fetches entries 1 to count of urls, one at a time, and writes each under its entry of fileNames
// in the folder. Stops at the first entry that cannot be fetched or written and returns the message
// naming it; the files written before it stay. Nothing when every entry was written.
std::optional<QString> downloadImages(const core::OneBasedStrings &urls, const core::OneBasedStrings &fileNames,
                                      qint16 count, const QString &folderText, UrlFetcher &fetcher,
                                      const FileWriter &writeFile);
}
