#include "platform/Cp932.h"

#include <unicode/ucnv.h>
#include <unicode/uset.h>

#include <QtGlobal>

#include <algorithm>
#include <bitset>
#include <cstddef>
#include <memory>

namespace quorel::platform::Cp932
{
namespace
{
    struct ConverterCloser
    {
        void operator()(UConverter *converter) const { ucnv_close(converter); }
    };
    using Converter = std::unique_ptr<UConverter, ConverterCloser>;

    Converter openConverter()
    {
        UErrorCode status = U_ZERO_ERROR;
        Converter converter(ucnv_open("windows-31j", &status));
        if (U_FAILURE(status))
            qFatal("The Windows-31J converter of ICU is missing: %s", u_errorName(status));
        // ICU's own substitute for this code page is 0xFC 0xFC, which Windows shows as a kanji.
        ucnv_setSubstChars(converter.get(), "?", 1, &status);
        return converter;
    }

    // The characters the code page maps both ways. Not what the converter leaves unrefused: it
    // drops default-ignorable characters it cannot map (joiners, variation selectors) unasked.
    // The code page holds nothing beyond the first plane.
    std::bitset<0x10000> heldCharacters()
    {
        std::bitset<0x10000> held;
        const Converter converter = openConverter();
        const std::unique_ptr<USet, decltype(&uset_close)> set(uset_openEmpty(), &uset_close);
        UErrorCode status = U_ZERO_ERROR;
        ucnv_getUnicodeSet(converter.get(), set.get(), UCNV_ROUNDTRIP_SET, &status);
        if (U_FAILURE(status))
            qFatal("The characters of the Windows-31J converter are unknown: %s", u_errorName(status));
        const int32_t ranges = uset_getItemCount(set.get());
        for (int32_t i = 0; i < ranges; ++i) {
            UChar32 first = 0;
            UChar32 last = 0;
            status = U_ZERO_ERROR;
            if (uset_getItem(set.get(), i, &first, &last, nullptr, 0, &status) != 0)
                continue; // a string, not a range
            for (UChar32 c = first; c <= std::min<UChar32>(last, 0xFFFF); ++c)
                held.set(std::size_t(c));
        }
        return held;
    }

    const std::bitset<0x10000> &heldTable()
    {
        static const std::bitset<0x10000> table = heldCharacters();
        return table;
    }

    // The index of the first character of text that the code page lacks, or -1. ASCII, which it
    // holds whole, is passed over a block at a time.
    qsizetype firstMissing(QStringView text)
    {
        const char16_t *const units = text.utf16();
        const qsizetype size = text.size();
        constexpr qsizetype block = 32;
        qsizetype i = 0;
        while (i < size) {
            if (size - i >= block) {
                char16_t any = 0;
                for (qsizetype k = 0; k < block; ++k)
                    any |= units[i + k];
                if (any < 0x80) {
                    i += block;
                    continue;
                }
            }
            const qsizetype end = std::min(i + block, size);
            for (; i < end; ++i)
                if (units[i] >= 0x80 && (QChar::isSurrogate(units[i]) || !heldTable().test(units[i])))
                    return i;
        }
        return -1;
    }

    core::Failure missingCharacter(QStringView text, qsizetype at)
    {
        const bool pair = QChar::isHighSurrogate(text[at].unicode()) && at + 1 < text.size()
            && QChar::isLowSurrogate(text[at + 1].unicode());
        return core::fail(core::Reason::NotInCodePage, text.sliced(at, pair ? 2 : 1).toString());
    }

    void appendPiece(QString &text, const UChar *piece, qsizetype size)
    {
        text.append(QStringView(piece, size));
    }

    // ucnv_fromUnicode or ucnv_toUnicode.
    template<typename Target, typename Source>
    using IcuConversion = void (*)(UConverter *, Target **, const Target *, const Source **, const Source *, int32_t *,
                                   UBool, UErrorCode *);

    // In pieces, so a text of any length passes through ICU's int-sized buffers.
    template<typename Target, typename Source, typename Output>
    void convertInPieces(IcuConversion<Target, Source> convert, const Source *source, const Source *sourceEnd,
                         Output &output)
    {
        constexpr qsizetype pieceSize = 8192;
        const Converter converter = openConverter();
        Target piece[pieceSize];
        UErrorCode status = U_ZERO_ERROR;
        do {
            status = U_ZERO_ERROR;
            Target *target = piece;
            convert(converter.get(), &target, piece + pieceSize, &source, sourceEnd, nullptr, true, &status);
            appendPiece(output, piece, target - piece);
        } while (status == U_BUFFER_OVERFLOW_ERROR);
    }
}

bool holds(char32_t character)
{
    return character < 0x10000 && !QChar::isSurrogate(character) && heldTable().test(character);
}

bool holdsAll(QStringView text)
{
    return firstMissing(text) < 0;
}

core::Result<QByteArray> encode(QStringView text)
{
    QByteArray bytes;
    if (core::Result<> encoded = encodeInPieces({text},
                                                [&bytes](QByteArrayView piece) {
                                                    bytes.append(piece);
                                                    return core::Result<>();
                                                });
        !encoded)
        return encoded.error();
    return bytes;
}

core::Result<> encodeInPieces(std::initializer_list<QStringView> texts,
                              const std::function<core::Result<>(QByteArrayView piece)> &sink)
{
    // Small enough to come from memory the process already holds, large enough for few writes.
    constexpr qsizetype pieceSize = 64 * 1024;
    for (const QStringView text : texts)
        if (const qsizetype missing = firstMissing(text); missing >= 0)
            return missingCharacter(text, missing);
    const Converter converter = openConverter();
    const auto piece = std::make_unique_for_overwrite<char[]>(pieceSize);
    std::size_t left = texts.size();
    for (const QStringView text : texts) {
        // Flushed only after the last text, so a character split between two is encoded whole.
        const bool last = --left == 0;
        const auto *source = reinterpret_cast<const UChar *>(text.utf16());
        const UChar *const sourceEnd = source + text.size();
        UErrorCode status = U_ZERO_ERROR;
        do {
            status = U_ZERO_ERROR;
            char *target = piece.get();
            ucnv_fromUnicode(converter.get(), &target, piece.get() + pieceSize, &source, sourceEnd, nullptr, last,
                             &status);
            if (target != piece.get())
                if (core::Result<> taken = sink(QByteArrayView(piece.get(), target - piece.get())); !taken)
                    return taken;
        } while (status == U_BUFFER_OVERFLOW_ERROR);
    }
    return {};
}

QString decode(QByteArrayView bytes)
{
    QString text;
    convertInPieces(&ucnv_toUnicode, bytes.data(), bytes.data() + bytes.size(), text);
    return text;
}
}
