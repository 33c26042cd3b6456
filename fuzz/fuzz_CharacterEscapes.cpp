// Any text put into a saved page or address list, read back as its reader reads it.
#include "core/CharacterEscapes.h"
#include "platform/Cp932.h"

#include "FuzzSupport.h"

#include <QStringDecoder>

#include <cstdint>

using namespace quorel;

namespace
{
// The numeric character references "&#digits;" resolved, as a browser reads them in the page.
QString resolveReferences(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.sliced(i).startsWith(u"&#")) {
            qsizetype end = i + 2;
            char32_t value = 0;
            while (end < text.size() && end - i < 10 && text[end].isDigit() && text[end].unicode() < 0x80)
                value = value * 10 + (text[end++].unicode() - u'0');
            if (end > i + 2 && end < text.size() && text[end] == u';' && value <= 0x10FFFF) {
                // Not QString::fromUcs4, which drops a U+FEFF as a byte-order mark.
                if (value > 0xFFFF) {
                    out += QChar(QChar::highSurrogate(value));
                    out += QChar(QChar::lowSurrogate(value));
                } else {
                    out += QChar(char16_t(value));
                }
                i = end;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool holdsNoUnpairedSurrogate(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return false;
    }
    return true;
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = fuzz::textOf({reinterpret_cast<const char *>(data), size});
    const bool wellFormed = holdsNoUnpairedSurrogate(text);

    // The page: Windows-31J bytes that read back, references resolved, as the text itself reads.
    const QString page = core::CharacterEscapes::characterReferences(text, &platform::Cp932::holds);
    const core::Result<QByteArray> pageBytes = platform::Cp932::encode(page);
    fuzz::require(pageBytes.ok() == wellFormed, "a page text is written unless it holds no character");
    if (pageBytes) {
        const QString read = resolveReferences(platform::Cp932::decode(*pageBytes));
        fuzz::require(read == resolveReferences(text), "the page reads as the text");
        if (!text.contains(u"&#"))
            fuzz::require(read == text, "the page gives the text back");
    }

    // The address list: Windows-31J bytes that, percent-decoded as UTF-8, give the text back.
    const QString list = core::CharacterEscapes::percentEncoded(text, &platform::Cp932::holds);
    const core::Result<QByteArray> listBytes = platform::Cp932::encode(list);
    fuzz::require(listBytes.ok() == wellFormed, "a list text is written unless it holds no character");
    if (listBytes && !text.contains(u'%')) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        const QString read = utf8(QByteArray::fromPercentEncoding(platform::Cp932::decode(*listBytes).toUtf8()));
        fuzz::require(read == text, "the list gives the text back");
    }
    return 0;
}
