// The CP932 decoder on arbitrary bytes, and the encoder on what it decodes.
#include "platform/Cp932.h"

#include "FuzzSupport.h"

#include <cstdint>

using namespace quorel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const QString text = platform::Cp932::decode(bytes);
    fuzz::require(text.size() <= bytes.size(), "decoding gives at most one unit per byte");

    // Once encoded, a text comes back unchanged: what the program writes, it reads the same.
    const QByteArray encoded = platform::Cp932::encode(text);
    const QString decodedAgain = platform::Cp932::decode(encoded);
    fuzz::require(platform::Cp932::encode(decodedAgain) == encoded, "encoded text survives a round trip");
    return 0;
}
