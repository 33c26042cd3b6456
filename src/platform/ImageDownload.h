#pragma once

#include "core/DownloadReport.h"
#include "core/PageImages.h"
#include "core/Result.h"

#include <QString>

#include <functional>
#include <optional>

namespace quorel::platform
{
class UrlFetcher;

// The download folder as typed, trimmed and ending in "/"; nothing when it is empty, since that would mean the root.
std::optional<QString> downloadFolderPath(const QString &downloadFolder);

// Fetches the images, several at once, each streaming into its file name in the folder; a file
// appears under its name only once its transfer ended well with a success answer, so a failed image
// leaves any older file of its name as it was. A failed image does not end the run: only a folder
// that cannot take files, a server from which silentServersLimit images in a row got no answer, or
// a stop does, and the images still in flight then count as not fetched. The folder is opened
// once, before the first image, and every image goes into it whatever becomes of its path
// meanwhile; one that cannot be opened ends the run before any image. The report lists the
// failures in the order of the images. imageEnded hears how many images have ended so far. Fails
// only when the download folder is left empty.
core::Result<core::DownloadReport> downloadImages(const core::PageImages &images, const QString &downloadFolder,
                                                  UrlFetcher &fetcher,
                                                  const std::function<void(qsizetype ended)> &imageEnded = {});
}
