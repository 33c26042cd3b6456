#include "core/NumberPreview.h"

#include "core/NumberReading.h"
#include "core/PlainDecimal.h"

namespace quorel::core
{
namespace
{
    // The count is held in 16 bits; larger counts get no padding rather than a huge text.
    constexpr double largestPaddedCount = 32766;

    QString generalNumber(double value)
    {
        // Fifteen significant digits, an exponent only where they do not suffice: 5, 12, 1.5, 1E+20.
        return QString::number(value, 'G', 15);
    }
}

QString numberPreview(QStringView startText, QStringView digitCountText)
{
    const double count = NumberReading::roundHalfEven(NumberReading::numericValue(digitCountText));
    const double start = NumberReading::numericValue(startText);
    if (count <= 0 || count > largestPaddedCount)
        return generalNumber(start);
    return plainDecimal(start, static_cast<int>(count));
}
}
