#include "core/AddressAnalysis.h"

#include "core/AsciiDigit.h"
#include "core/NumberReading.h"
#include "core/PlainDecimal.h"
#include "core/Spaces.h"

namespace quorel::core::AddressAnalysis
{
std::optional<Fields> analyse(QStringView address)
{
    const QStringView trimmed = trimSpaces(address);
    if (trimmed.isEmpty() || trimmed.endsWith(u'/'))
        return std::nullopt;

    // Walk from the right; `passed` counts the characters already behind the scan. The number
    // is the last run of digits after the last "/".
    enum class State
    {
        BeforeNumber,
        InNumber,
        PastNumber
    };
    const qsizetype length = address.size();
    State state = State::BeforeNumber;
    qsizetype passed = 0;
    qsizetype numberBegin = 0; // characters passed when its last digit was met
    qsizetype numberEnd = 0; // characters passed when the character before it was met
    for (; passed < length; ++passed) {
        const QChar c = address[length - 1 - passed];
        if (state == State::BeforeNumber && isAsciiDigit(c)) {
            numberBegin = passed;
            state = State::InNumber;
        } else if (state == State::InNumber && !isAsciiDigit(c)) {
            numberEnd = passed;
            state = State::PastNumber;
        }
        if (c == u'/')
            break;
    }
    // Digits running up to the first character ("001.jpg"): the number ends there, the head is empty.
    if (state == State::InNumber)
        numberEnd = passed;

    Fields result;
    const qsizetype fileNameBegin = length - passed;
    result.baseAddress = address.first(fileNameBegin).toString();
    result.head = address.sliced(fileNameBegin, passed - numberEnd).toString();
    if (state != State::BeforeNumber) {
        result.tail = address.last(numberBegin).toString();
        result.start = address.sliced(length - numberEnd, numberEnd - numberBegin).toString();
    }
    result.end = endFor(result.start);
    result.digitCount = digitCountFor(result.start);
    return result;
}

QString endFor(QStringView start)
{
    return plainDecimal(NumberReading::numericValue(start) + 50.0);
}

QString digitCountFor(QStringView start)
{
    return QString::number(start.size());
}
}
