#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-31J, the code page of the Japanese systems whose files this program exchanges.
namespace quorel::platform::Cp932
{
// Characters the code page cannot hold become "?".
QByteArray encode(QStringView text);
QString decode(QByteArrayView bytes);
}
