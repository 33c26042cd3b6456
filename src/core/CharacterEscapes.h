#pragma once

#include <QString>
#include <QStringView>

// Texts put into a file whose code page lacks some of their characters, written so that the
// reader of the file gets those characters back.
namespace quorel::core::CharacterEscapes
{
// Whether the file's code page holds the character.
using Holds = bool (*)(char32_t character);

// Each character that holds refuses as an HTML numeric character reference ("&#12316;"), which a
// browser reads as that character in any encoding. An unpaired surrogate stays as it is: there is
// no character to refer to, and the file's writer says so.
QString characterReferences(QStringView text, Holds holds);

// Each character that holds refuses as its UTF-8 bytes, percent-encoded ("%E3%80%9C"): the form
// in which a browser or a downloader sends it in an address. Unpaired surrogates as above.
QString percentEncoded(QStringView text, Holds holds);
}
