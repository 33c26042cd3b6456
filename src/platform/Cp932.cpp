#include "platform/Cp932.h"

#include <unicode/ucnv.h>

#include <QtGlobal>

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

QByteArray encode(QStringView text)
{
    QByteArray bytes;
    (void)encodeInPieces({text}, [&bytes](QByteArrayView piece) {
        bytes.append(piece);
        return core::Result<>();
    });
    return bytes;
}

core::Result<> encodeInPieces(std::initializer_list<QStringView> texts,
                              const std::function<core::Result<>(QByteArrayView piece)> &sink)
{
    // Small enough to come from memory the process already holds, large enough for few writes.
    constexpr qsizetype pieceSize = 64 * 1024;
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
