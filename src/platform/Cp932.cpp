#include "platform/Cp932.h"

namespace quorel::platform::Cp932
{
QByteArray encode(QStringView text)
{
    return text.toLatin1();
}

QString decode(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes);
}
}
