#include "core/PlainDecimal.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quorel::core
{
QString plainDecimal(double value, int minDigits)
{
    if (std::isnan(value))
        value = 0.0;
    const double magnitude = std::min(std::fabs(std::round(value)), std::numeric_limits<double>::max());

    // The largest double has 309 integer digits.
    char digits[std::numeric_limits<double>::max_exponent10 + 2];
    const auto written = std::to_chars(std::begin(digits), std::end(digits), magnitude, std::chars_format::fixed, 0);
    const auto count = static_cast<int>(written.ptr - digits);

    QString text;
    text.reserve(std::max(count, minDigits) + 1);
    if (magnitude != 0.0 && value < 0.0)
        text.append(u'-');
    if (minDigits > count)
        text.append(QString(minDigits - count, u'0'));
    text.append(QLatin1StringView(digits, count));
    return text;
}
}
