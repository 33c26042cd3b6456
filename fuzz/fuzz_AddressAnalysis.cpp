// The analysis of a sample address on arbitrary text.
#include "core/AddressAnalysis.h"
#include "core/AsciiDigit.h"

#include "FuzzSupport.h"

#include <algorithm>
#include <cstdint>

using namespace quorel;
using namespace quorel::core;

namespace
{
bool hasDigit(QStringView text)
{
    return std::any_of(text.begin(), text.end(), isAsciiDigit);
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString address = fuzz::textOf({reinterpret_cast<const char *>(data), size});
    const auto result = AddressAnalysis::analyse(address);
    if (!result) {
        QStringView rest = address;
        while (rest.endsWith(u' '))
            rest.chop(1);
        fuzz::require(rest.isEmpty() || rest.endsWith(u'/'), "only an empty or analysed address is refused");
        return 0;
    }
    const AddressAnalysis::Fields &r = *result;
    fuzz::require(r.baseAddress + r.head + r.start + r.tail == address, "the fields put together give the address");
    fuzz::require(r.baseAddress.isEmpty() || r.baseAddress.endsWith(u'/'), "the base ends in /");
    fuzz::require(!(r.head + r.start + r.tail).contains(u'/'), "the file name holds no /");
    fuzz::require(std::all_of(r.start.cbegin(), r.start.cend(), isAsciiDigit), "the start is ASCII digits");
    // The number is the last run of digits, taken whole.
    fuzz::require(!hasDigit(r.tail), "the tail holds no digit");
    fuzz::require(r.start.isEmpty() ? !hasDigit(r.head) : r.head.isEmpty() || !isAsciiDigit(r.head.back()),
                  "the head does not end in a digit of the number");
    fuzz::require(r.digitCount == QString::number(r.start.size()), "the digit count is the start's length");
    return 0;
}
