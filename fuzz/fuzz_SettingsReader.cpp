// The settings reader on arbitrary file bytes, applied to a recording stand-in for the window.
#include "core/SettingsFormat.h"
#include "platform/FileIO.h"

#include "FuzzSupport.h"

#include <cstdint>

using namespace quorel;
using namespace quorel::core::SettingsFormat;

namespace
{
class RecordingTarget final : public Target
{
public:
    explicit RecordingTarget(qsizetype lineCount)
        : m_lineCount(lineCount)
    { }

    void readList(ListField, const QStringList &entries) override
    {
        m_entries += entries.size();
        fuzz::require(m_entries <= m_lineCount, "list entries are lines of the file");
    }

    void readText(TextField, const QString &) override { }

    void readCheck(CheckField, std::optional<core::CheckState> state) override
    {
        fuzz::require(!state || (int(*state) >= 0 && int(*state) <= 2), "check values stay 0, 1 or 2");
    }

private:
    const qsizetype m_lineCount;
    qsizetype m_entries = 0;
};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList lines = platform::FileIO::decodeLines(bytes);
    RecordingTarget target(lines.size());
    read(lines, target);
    return 0;
}
