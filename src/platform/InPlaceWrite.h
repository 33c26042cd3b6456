#pragma once

#include "platform/FileWriteStrategy.h"

#include <memory>

namespace quorel::platform::WholeFileParts
{
// A folder that takes no new file can still hold a file its user may write, as a page kept in a
// shared folder, or a writable file mounted into a read-only tree. No temporary file can stand
// beside it, so the file itself is overwritten. That gives up the whole-or-nothing guarantee: a
// crash or kill while commit() writes leaves new bytes before old ones. The bytes are held back
// until commit() so that a failure before then leaves the file as it was, and commit() claims the
// room first so that a full disk does too.
class InPlaceWrite final : public Strategy
{
public:
    // Nothing, with error set, where the file cannot be written after all (a read-only mount, an
    // ACL): asked before any byte is held back, so that no download waits for it in vain.
    static std::unique_ptr<InPlaceWrite> open(const Place &place, int &error);
    ~InPlaceWrite() override;
    InPlaceWrite(const InPlaceWrite &) = delete;
    InPlaceWrite &operator=(const InPlaceWrite &) = delete;

    core::Result<> write(QByteArrayView bytes) override;
    core::Result<> commit() override;

private:
    explicit InPlaceWrite(Place place);
    core::Result<> spill(QByteArrayView bytes);

    Place m_place;
    QByteArray m_pending; // the bytes held back while they are few
    int m_spool = -1; // an unnamed temporary file holding them once they are not
    QString m_spoolFolder;
    qint64 m_spooled = 0;
};
}
