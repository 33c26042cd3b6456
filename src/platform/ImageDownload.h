#pragma once

#include "core/OneBasedStrings.h"
#include "core/Result.h"

#include <QString>

#include <optional>

namespace quorel::platform
{
class UrlFetcher;

// The folder text trimmed and ending in "/"; nothing when it is empty, since that would mean the root.
std::optional<QString> downloadFolder(const QString &folderText);

// Fetches entries 1 to count of urls, one at a time, streaming each into its entry of fileNames in
// the folder; a file appears under its name only once its transfer ended well. Stops at the first
// entry that cannot be fetched or written and fails with the message naming it; the files written
// before it stay.
core::Result<> downloadImages(const core::OneBasedStrings &urls, const core::OneBasedStrings &fileNames, qint16 count,
                              const QString &folderText, UrlFetcher &fetcher);
}
