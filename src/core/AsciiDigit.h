#pragma once

#include <QChar>

namespace quorel::core
{
// Only ASCII digits count: a full-width digit is an ordinary character of an address or a field.
inline bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
}
