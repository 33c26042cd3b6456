#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string_view>

// Helpers shared by the libFuzzer targets.
namespace quorel::fuzz
{
// A broken promise of the code under test: reported like a crash, so libFuzzer keeps the input.
inline void require(bool holds, const char *what)
{
    if (holds)
        return;
    std::fprintf(stderr, "Broken: %s\n", what);
    std::abort();
}

// Text from raw bytes, ASCII kept as it is so the fuzzer finds digits, spaces and "/" quickly.
// 0xFF takes the next two bytes as one UTF-16 unit (lone surrogates too); other high bytes pick a
// character that often trips text handling (full-width digits, case mappings that change length).
inline QString textOf(std::string_view bytes)
{
    static constexpr char16_t tricky[] = {
        u'０', u'９', u'\u3000', u'\u00A0', u'İ', u'ß', u'ẞ', u'Σ', u'ﬀ', u'画', u'¥', u'\uFFFD', 0xD800, 0xDFFF,
    };
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            text.append(QChar(char16_t(byte)));
        } else if (byte == 0xFF && i + 2 < bytes.size()) {
            text.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[i + 1]) << 8
                                                    | static_cast<unsigned char>(bytes[i + 2]))));
            i += 2;
        } else {
            text.append(QChar(tricky[byte % std::size(tricky)]));
        }
    }
    return text;
}

// A text of at most maxBytes input bytes.
inline QString consumeText(FuzzedDataProvider &input, std::size_t maxBytes)
{
    return textOf(input.ConsumeRandomLengthString(maxBytes));
}
}
