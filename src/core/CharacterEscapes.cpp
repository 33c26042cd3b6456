#include "core/CharacterEscapes.h"

namespace quorel::core::CharacterEscapes
{
namespace
{
    // The text with escape(character, out) in place of each whole character that holds refuses.
    template<typename Escape> QString escaped(QStringView text, Holds holds, Escape escape)
    {
        QString out;
        qsizetype copied = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar unit = text[i];
            if (unit.unicode() < 0x80)
                continue;
            char32_t character = unit.unicode();
            qsizetype units = 1;
            if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                character = QChar::surrogateToUcs4(unit, text[i + 1]);
                units = 2;
            } else if (unit.isSurrogate()) {
                continue;
            }
            if (holds(character)) {
                i += units - 1;
                continue;
            }
            out += text.sliced(copied, i - copied);
            escape(character, out);
            i += units - 1;
            copied = i + 1;
        }
        if (copied == 0)
            return text.toString();
        out += text.sliced(copied);
        return out;
    }
}

QString characterReferences(QStringView text, Holds holds)
{
    return escaped(text, holds, [](char32_t character, QString &out) {
        out += QLatin1StringView("&#");
        out += QString::number(uint(character));
        out += u';';
    });
}

QString percentEncoded(QStringView text, Holds holds)
{
    return escaped(text, holds, [](char32_t character, QString &out) {
        static constexpr char hex[] = "0123456789ABCDEF";
        // Not QString::fromUcs4, which takes a leading U+FEFF for a byte-order mark and drops it.
        QString one;
        if (character > 0xFFFF) {
            one += QChar(QChar::highSurrogate(character));
            one += QChar(QChar::lowSurrogate(character));
        } else {
            one += QChar(char16_t(character));
        }
        for (const char byte : one.toUtf8()) {
            out += u'%';
            out += QLatin1Char(hex[uchar(byte) >> 4]);
            out += QLatin1Char(hex[uchar(byte) & 0xF]);
        }
    });
}
}
