#include "desktop/SaveDialogFilter.h"

using namespace Qt::StringLiterals;

namespace quorel::desktop::SaveDialogFilter
{
QStringList toNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList nameFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts).join(u' ');
        nameFilters.append(u"%1 (%2)"_s.arg(parts.at(i), patterns));
    }
    return nameFilters;
}
}
