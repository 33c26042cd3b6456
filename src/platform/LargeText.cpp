#include "platform/LargeText.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace quorel::platform::LargeText
{
void reserve(QString &text, qsizetype units)
{
    if (text.capacity() >= units && text.isDetached())
        return;
    // Advised before a byte is written: a huge page is only given where no small page lies yet.
    // The text so far moves in after the advice.
    QString room;
    room.reserve(units);
    const auto pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(room.constData());
    const std::uintptr_t end = begin + static_cast<std::uintptr_t>(room.capacity()) * sizeof(QChar);
    const std::uintptr_t first = (begin + pageSize - 1) & ~(pageSize - 1);
    const std::uintptr_t last = end & ~(pageSize - 1);
    // Only advice: where the system has no huge pages the text lies in small ones, as without it.
    if (last > first)
        ::madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
    room.append(text);
    text = std::move(room);
}
}
