// The check-folder merge on arbitrary listed names and asked file names.
#include "core/CheckFolderMerge.h"

#include "FuzzSupport.h"

#include <algorithm>
#include <cstdint>

using namespace quorel;
using namespace quorel::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    QStringList listed;
    const int listedCount = input.ConsumeIntegralInRange(0, 64);
    for (int i = 0; i < listedCount; ++i)
        listed.append(fuzz::consumeText(input, 40));
    const QString startName = fuzz::consumeText(input, 40);

    CheckFolderMerge merge(listed, startName);
    fuzz::require(merge.isOn() == !listed.isEmpty(), "the merge runs whenever names are listed");
    const QStringList &checkList = merge.checkList();
    fuzz::require(std::is_sorted(checkList.cbegin(), checkList.cend()), "the check list is sorted");

    // Asked names: mostly listed ones in another case, so matches happen.
    qsizetype leftOut = 0;
    while (input.remaining_bytes() > 0) {
        QString name = fuzz::consumeText(input, 40);
        if (!listed.isEmpty() && input.ConsumeBool()) {
            name = listed.at(input.ConsumeIntegralInRange<qsizetype>(0, listed.size() - 1));
            if (input.ConsumeBool())
                name = name.toUpper();
        }
        const bool wasOn = merge.isOn();
        if (merge.leavesOut(name)) {
            fuzz::require(wasOn, "a finished merge leaves nothing out");
            fuzz::require(leftOut < checkList.size(), "only listed names are left out");
            fuzz::require(name.toLower() == checkList.at(leftOut).toLower(), "matches follow the check list");
            ++leftOut;
        }
    }
    return 0;
}
