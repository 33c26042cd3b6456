#pragma once

#include "core/PageImages.h"
#include "core/Result.h"

#include <QString>

#include <optional>

namespace quorel::platform
{
class UrlFetcher;

// The folder text trimmed and ending in "/"; nothing when it is empty, since that would mean the root.
std::optional<QString> downloadFolder(const QString &folderText);

// Fetches each image in turn, streaming it into its file name in the folder; a file appears under
// its name only once its transfer ended well. Stops at the first image that cannot be fetched or
// written and fails with what names it; the files written before it stay.
core::Result<> downloadImages(const core::PageImages &images, const QString &folderText, UrlFetcher &fetcher);
}
