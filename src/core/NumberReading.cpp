#include "core/NumberReading.h"

#include "core/AsciiDigit.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <string>

namespace quorel::core::NumberReading
{
namespace
{
    qsizetype skipSpaces(QStringView text, qsizetype pos)
    {
        while (pos < text.size() && text[pos] == u' ')
            ++pos;
        return pos;
    }

    // Length of the longest number (sign, digits, point, fraction) at the start of the text;
    // 0 when no digit is there.
    qsizetype numberPrefixLength(QStringView text)
    {
        qsizetype pos = 0;
        if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-'))
            ++pos;
        qsizetype digits = 0;
        while (pos < text.size() && isAsciiDigit(text[pos])) {
            ++pos;
            ++digits;
        }
        if (pos < text.size() && text[pos] == u'.') {
            ++pos;
            while (pos < text.size() && isAsciiDigit(text[pos])) {
                ++pos;
                ++digits;
            }
        }
        return digits > 0 ? pos : 0;
    }

    // The decimal point is always ".", whatever the user's locale says.
    double parse(QStringView number)
    {
        std::string ascii;
        ascii.reserve(static_cast<std::size_t>(number.size()));
        for (QChar c : number) {
            if (c != u'+')
                ascii.push_back(static_cast<char>(c.unicode()));
        }
        double value = 0.0;
        const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
        if (error == std::errc::result_out_of_range) {
            // Too large for a double, or too close to zero.
            const auto point = std::find(ascii.begin(), ascii.end(), '.');
            const bool large = std::any_of(ascii.begin(), point, [](char c) { return c >= '1' && c <= '9'; });
            value = large ? HUGE_VAL : 0.0;
            if (ascii.front() == '-')
                value = -value;
        }
        return value;
    }
}

bool isNumeric(QStringView text)
{
    const qsizetype begin = skipSpaces(text, 0);
    const QStringView rest = text.mid(begin);
    const qsizetype length = numberPrefixLength(rest);
    return length > 0 && skipSpaces(rest, length) == rest.size();
}

double numericValue(QStringView text)
{
    const QStringView rest = text.mid(skipSpaces(text, 0));
    const qsizetype length = numberPrefixLength(rest);
    return length > 0 ? parse(rest.first(length)) : 0.0;
}

double roundHalfEven(double value)
{
    // nearbyint follows the rounding mode, which is round-to-nearest-even unless someone changed it.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return rounded;
}

std::optional<std::int32_t> wholeValue32(double value)
{
    const double rounded = roundHalfEven(value);
    if (!(rounded >= INT32_MIN && rounded <= INT32_MAX))
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int32_t> wholeValueOfNumericText(QStringView text)
{
    if (!isNumeric(text))
        return std::nullopt;
    return wholeValue32(numericValue(text));
}
}
