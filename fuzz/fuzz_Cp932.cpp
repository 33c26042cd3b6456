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

    // Once encoded, a text comes back unchanged: what the program writes, it reads the same.
    const QByteArray encoded = platform::Cp932::encode(text);
    const QString decodedAgain = platform::Cp932::decode(encoded);
    fuzz::require(platform::Cp932::encode(decodedAgain) == encoded, "encoded text survives a round trip");
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
