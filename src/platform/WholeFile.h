#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace quorel::platform
{
// A file that appears under its name whole or not at all. The bytes go into an unnamed file in the
// target's folder (O_TMPFILE) that only commit() links in and renames over the target, so a crash
// or kill at any moment before then leaves nothing behind. Where the file system has no unnamed
// files, a hidden ".quorel-XXXXXX" file stands in and is removed on every failure. Not forced to
// disk: an fsync per file costs more than a whole download of small images.
// Only regular files are written: a device, pipe or socket (or a link to one) is refused unopened.
// A file whose mode bits deny writing is never replaced, also when root runs the program.
// A link is written through only when this user or the owner of its folder owns it (see the constructor).
class WholeFile
{
public:
    explicit WholeFile(QString path);
    ~WholeFile(); // discards what was not committed
    WholeFile(const WholeFile &) = delete;
    WholeFile &operator=(const WholeFile &) = delete;

    core::Result<> open();
    core::Result<> write(QByteArrayView bytes);
    core::Result<> commit();
    void discard();

private:
    core::Result<> failure(core::Reason reason, QString detail = {}) const;
    core::Result<> failureFromErrno(int error) const;
    core::Result<> openTemporary(const QString &folder);
    core::Result<> mayWriteInPlace();
    int openTargetInPlace() const;
    core::Result<> holdBack(QByteArrayView bytes);
    core::Result<> commitInPlace();

    QString m_path; // as the user named it, for messages
    QString m_target; // the file the bytes end up in (a link's target)
    QString m_namedTemporary; // the stand-in's name, when unnamed files are not to be had
    QString m_untrustedLink; // a link on the way to the target that open() refuses to follow
    bool m_linkLoop = false; // the target is still a link after as many as are followed
    int m_fd = -1;
    bool m_keepPermissions = false;
    unsigned m_permissions = 0;
    unsigned m_owner = 0;
    unsigned m_group = 0;
    // The folder takes no new file, so commit() writes into the target itself (see open()).
    bool m_inPlace = false;
    QByteArray m_pending; // what an in-place write holds back until commit(), while it is small
    int m_spool = -1; // an unnamed file holding it back once it is not; -2 when none can be made
    qint64 m_spooled = 0;
};
}
