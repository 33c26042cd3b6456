#include "platform/Cp932.h"

#include <unicode/ucnv.h>

#include <QtGlobal>

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

// Converted in pieces, so a text of any length passes through the int-sized ICU calls.
constexpr qsizetype pieceSize = 8192;
}

QByteArray encode(QStringView text)
{
    const Converter converter = openConverter();
    QByteArray bytes;
    const auto *source = reinterpret_cast<const UChar *>(text.utf16());
    const UChar *const sourceEnd = source + text.size();
    char piece[pieceSize];
    UErrorCode status = U_ZERO_ERROR;
    do {
        status = U_ZERO_ERROR;
        char *target = piece;
        ucnv_fromUnicode(converter.get(), &target, piece + pieceSize, &source, sourceEnd, nullptr, true, &status);
        bytes.append(piece, target - piece);
    } while (status == U_BUFFER_OVERFLOW_ERROR);
    return bytes;
}

QString decode(QByteArrayView bytes)
{
    const Converter converter = openConverter();
    QString text;
    const char *source = bytes.data();
    const char *const sourceEnd = source + bytes.size();
    UChar piece[pieceSize];
    UErrorCode status = U_ZERO_ERROR;
    do {
        status = U_ZERO_ERROR;
        UChar *target = piece;
        ucnv_toUnicode(converter.get(), &target, piece + pieceSize, &source, sourceEnd, nullptr, true, &status);
        text.append(QStringView(piece, target - piece));
    } while (status == U_BUFFER_OVERFLOW_ERROR);
    return text;
}
}
