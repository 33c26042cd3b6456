#pragma once

#include <QString>
#include <QStringView>

namespace quorel::core
{
// The text without leading and trailing spaces; other white space stays, as typed.
inline QStringView trimSpaces(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.sliced(first, last - first);
}

// The text without leading and trailing spaces, ending in "/" unless it is empty: a base address or a
// folder, ready for a name to be appended.
inline QString trimSpacesEndingInSlash(QStringView text)
{
    QString trimmed = trimSpaces(text).toString();
    if (!trimmed.isEmpty() && !trimmed.endsWith(u'/'))
        trimmed += u'/';
    return trimmed;
}
}
