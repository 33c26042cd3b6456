#include "core/KeyFilter.h"

namespace quorel::core::KeyFilter
{
std::optional<char16_t> numberKey(char16_t c)
{
    if (c <= 31 || (c >= u'0' && c <= u'9'))
        return c;
    if (c >= u'０' && c <= u'９')
        return static_cast<char16_t>(c - u'０' + u'0');
    if (c >= u'Ⅰ' && c <= u'Ⅸ')
        return static_cast<char16_t>(c - u'Ⅰ' + u'1');
    return std::nullopt;
}
}
