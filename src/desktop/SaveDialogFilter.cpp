#include "desktop/SaveDialogFilter.h"

using namespace Qt::StringLiterals;

namespace quorel::desktop::SaveDialogFilter
{
QStringList toNameFilters(const QList<FileType> &fileTypes)
{
    QStringList nameFilters;
    for (const FileType &type : fileTypes)
        nameFilters.append(u"%1 (%2)"_s.arg(type.description, type.patterns.join(u' ')));
    return nameFilters;
}
}
