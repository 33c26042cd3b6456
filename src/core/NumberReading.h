#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

// How a field's text is read as a number.
namespace quorel::core::NumberReading
{
// The text, apart from leading and trailing spaces, is an optional sign, digits with an
// optional decimal point and fraction (at least one digit), and nothing else.
bool isNumeric(QStringView text);

// The number at the start of the text (leading spaces skipped); 0 when there is none.
double numericValue(QStringView text);

// Nearest whole number, a half going to the even neighbour.
double roundHalfEven(double value);

// roundHalfEven as a 32-bit signed integer; nothing when it does not fit.
std::optional<std::int32_t> wholeValue32(double value);

// The whole value of a numeric text (nothing when the text is not numeric or does not fit).
std::optional<std::int32_t> wholeValueOfNumericText(QStringView text);
}
