#pragma once

#include <QString>

namespace quorel::platform::LargeText
{
// QString::reserve for a text of many megabytes, in memory the system gives in huge pages where it
// can: on some virtual machines the first touch of each fresh 4 KiB page costs more than writing
// the page's text.
void reserve(QString &text, qsizetype units);
}
