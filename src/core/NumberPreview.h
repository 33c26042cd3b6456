#pragma once

#include <QString>
#include <QStringView>

namespace quorel::core
{
// The start number as the generator will write it: padded with "0" to the digit count, or in
// the general number format when the count is not positive or too large to pad to.
QString numberPreview(QStringView startText, QStringView digitCountText);
}
