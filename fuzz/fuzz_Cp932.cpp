// The CP932 decoder on arbitrary bytes, and the encoder on what it decodes.
#include "platform/Cp932.h"

#include "FuzzSupport.h"

#include <cstdint>

using namespace quorel;

namespace
{
// The converter works in pieces of this many units; padding the input moves its bytes over a seam.
constexpr qsizetype pieceSize = 8192;

void checkConversions(QByteArrayView bytes)
{
    const QString text = platform::Cp932::decode(bytes);
    fuzz::require(text.size() <= bytes.size(), "decoding gives at most one unit per byte");

    // What the program writes, it reads the same; what it cannot write, it refuses.
    const core::Result<QByteArray> encoded = platform::Cp932::encode(text);
    fuzz::require(encoded.ok() == platform::Cp932::holdsAll(text),
                  "the encoding fails just where a character is missing");
    if (!encoded) {
        fuzz::require(encoded.error().reason == core::Reason::NotInCodePage, "a missing character is named");
        return;
    }
    fuzz::require(platform::Cp932::decode(*encoded) == text, "encoded text survives a round trip");
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    checkConversions(bytes);
    if (!bytes.isEmpty()) {
        // The first byte says how far before the seam the rest begins.
        QByteArray padded(pieceSize - bytes.front() % 8, 'a');
        padded.append(bytes.sliced(1));
        checkConversions(padded);
    }
    return 0;
}
