#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>

namespace quorel::platform
{
namespace WholeFileParts
{
    class Strategy;
}

// A file that appears under its name whole or not at all. The bytes go into an unnamed file in the
// target's folder that only commit() links in and renames over the target, so a crash or kill at
// any moment before then leaves nothing behind; where the file system has no unnamed files a hidden
// stand-in does, and where the folder takes no new file at all the file is written in place (see
// the classes in WholeFileParts). Not forced to disk: an fsync per file costs more than a whole
// download of small images.
// Only regular files are written: a device, pipe or socket (or a link to one) is refused unopened.
// A file whose mode bits deny writing is never replaced, also when root runs the program.
// A link is written through only when this user or the owner of its folder owns it, and to the very
// bytes of its target, whatever they are.
class WholeFile
{
public:
    explicit WholeFile(QString path);
    // name in a folder held open by folderFd, whose path (ending in "/") is shown in failures.
    WholeFile(int folderFd, const QString &folderPath, const QString &name);
    ~WholeFile(); // discards what was not committed
    WholeFile(const WholeFile &) = delete;
    WholeFile &operator=(const WholeFile &) = delete;

    core::Result<> open();
    core::Result<> write(QByteArrayView bytes);
    core::Result<> commit();
    void discard();

private:
    void followLinks();
    QString shown(const QByteArray &path) const;
    core::Result<> named(core::Failure failure) const;

    QString m_path; // as the user named it, for messages
    int m_base; // the folder m_target is relative to (borrowed), or AT_FDCWD
    QString m_baseShown; // its path, ending in "/"
    QByteArray m_target; // the file the bytes end up in: a link's target, byte for byte
    std::optional<core::Failure> m_refused; // why the target is not to be written at all
    int m_folder = -1; // the target's folder, held open from open() on
    std::unique_ptr<WholeFileParts::Strategy> m_write;
};
}
