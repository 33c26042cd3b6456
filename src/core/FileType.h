#pragma once

#include <QString>
#include <QStringList>

namespace quorel::core
{
// One entry of a save dialog's list of file types.
struct FileType
{
    QString description;
    QStringList patterns; // such as "*.htm"
    // Without the dot, appended to a name typed without one while this type is chosen; none when empty.
    QString extension;
};
}
