#pragma once

#include <QString>

namespace quorel::core
{
// A whole number written in plain decimal digits: a minus sign when negative, no exponent,
// no leading zeros, at least minDigits digits (padded on the left with "0"). The value is
// first taken to the nearest whole number, a half away from zero; beyond the range of
// double it stands for the largest value double holds.
QString plainDecimal(double value, int minDigits = 1);
}
