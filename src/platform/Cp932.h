#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>
#include <initializer_list>

// Windows-31J, the code page of the Japanese systems whose files this program exchanges.
namespace quorel::platform::Cp932
{
// Whether the code page holds the character: it is written as itself and read back unchanged.
bool holds(char32_t character);
// Whether it holds every character of the text (an unpaired surrogate is no character).
bool holdsAll(QStringView text);

// A character the code page lacks fails the encoding (Reason::NotInCodePage, the character as
// its detail) instead of becoming "?" or nothing.
core::Result<QByteArray> encode(QStringView text);
// The texts encoded as one text, handed to sink a piece of at most 64 KiB at a time as it is made,
// so that a long text is never held a second time; a failure of sink ends the encoding with it.
// Every text is looked at before the first piece, so a refused text hands sink nothing.
core::Result<> encodeInPieces(std::initializer_list<QStringView> texts,
                              const std::function<core::Result<>(QByteArrayView piece)> &sink);
QString decode(QByteArrayView bytes);
}
