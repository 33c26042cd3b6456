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
// Characters the code page cannot hold become "?".
QByteArray encode(QStringView text);
// The texts encoded as one text, handed to sink a piece of at most 64 KiB at a time as it is made,
// so that a long text is never held a second time; a failure of sink ends the encoding with it.
core::Result<> encodeInPieces(std::initializer_list<QStringView> texts,
                              const std::function<core::Result<>(QByteArrayView piece)> &sink);
QString decode(QByteArrayView bytes);
}
