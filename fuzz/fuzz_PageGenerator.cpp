// The page generator on arbitrary field texts, bounded so one run stays small.
#include "core/NumberReading.h"
#include "core/PageGenerator.h"

#include "FuzzSupport.h"

#include <cstdint>

using namespace quorel;
using namespace quorel::core;
using namespace Qt::StringLiterals;

namespace
{
constexpr std::size_t maxTextBytes = 300;
constexpr std::int64_t maxRange = 400;
constexpr double maxDigits = 300;

// Either free text or a whole number dressed the ways a user types one.
QString consumeNumberText(FuzzedDataProvider &input, std::int64_t number)
{
    switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0:
        return fuzz::consumeText(input, 24);
    case 1:
        return QString::number(number);
    case 2:
        return u"  "_s + QString::number(number) + u" "_s;
    case 3:
        return QString::number(number) + u".5"_s;
    default:
        return (number < 0 ? u"-"_s : u"+"_s) + QString::number(qAbs(number)).rightJustified(12, u'0');
    }
}

// Names as the check folder might list them: some produce a match, some sort anywhere.
QStringList consumeCheckFolder(FuzzedDataProvider &input, const PageRequest &request, std::int64_t start)
{
    QStringList names;
    const int count = input.ConsumeIntegralInRange(0, 40);
    for (int i = 0; i < count; ++i) {
        if (input.ConsumeBool()) {
            const std::int64_t n = start + input.ConsumeIntegralInRange<std::int64_t>(-2, maxRange);
            const qint64 digits = input.ConsumeIntegralInRange(0, 12);
            const QString name = request.head + numberText(n, digits) + request.tail;
            names.append(input.ConsumeBool() ? name.toUpper() : name);
        } else {
            names.append(fuzz::consumeText(input, 40));
        }
    }
    return names;
}

void checkResult(const PageRequest &request, const Result<PageResult> &outcome)
{
    if (!outcome) {
        fuzz::require(outcome.error().action == Action::None, "a refusal is the request's own");
        return;
    }
    const PageResult &result = *outcome;
    const PageImages &images = result.images;
    fuzz::require(images.addresses().size() == images.fileNames().size(), "one file name per address");
    fuzz::require(images.count() <= PageLimits::maxImages, "the image limit holds");
    fuzz::require(result.text.size() <= PageLimits::maxPageUnits, "the size limit holds");
    for (qsizetype i = 0; i < images.count(); ++i)
        fuzz::require(images.address(i) == request.baseAddress + images.fileName(i),
                      "the address is the base and the file name");
    fuzz::require(displayText(result.text).size() <= PageLimits::displayUnits + 64, "the shown text is cut");
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    PageRequest request;
    request.baseAddress = baseAddress(fuzz::consumeText(input, maxTextBytes));
    request.head = fuzz::consumeText(input, maxTextBytes);
    request.tail = fuzz::consumeText(input, maxTextBytes);
    request.thumbnails = input.ConsumeBool();
    request.addressOnly = input.ConsumeBool();
    request.useCheckFolder = input.ConsumeBool();
    request.sizeText = fuzz::consumeText(input, maxTextBytes);
    request.columnsText = consumeNumberText(input, input.ConsumeIntegral<std::int32_t>());

    const std::int64_t start = input.ConsumeIntegral<std::int32_t>();
    request.startText = consumeNumberText(input, start);
    request.endText = consumeNumberText(input, start + input.ConsumeIntegralInRange<std::int64_t>(-3, maxRange));
    // Free text may still name a far end; the run is kept to a few hundred numbers.
    const auto first = NumberReading::wholeValueOfNumericText(request.startText);
    const auto last = NumberReading::wholeValueOfNumericText(request.endText);
    if (first && last && std::int64_t(*last) - *first > maxRange)
        request.endText = QString::number(std::int64_t(*first) + maxRange);

    request.digitCountText = consumeNumberText(input, input.ConsumeIntegralInRange(-5, 40));
    if (NumberReading::numericValue(request.digitCountText) > maxDigits)
        request.digitCountText = QString::number(maxDigits);

    const QStringList checkFolder = consumeCheckFolder(input, request, start);
    request.listCheckFolder = [&checkFolder] { return checkFolder; };

    checkResult(request, generatePage(request));
    return 0;
}
