#pragma once

#include "core/PageGenerator.h"

namespace quorel::bench
{
// The most images a page holds, numbered with five digits, as plain page; thumbnails take five to
// a row of 80 px.
inline core::PageRequest largestPage(QString baseAddress = QStringLiteral("http://www.example.org/photos/2026/"))
{
    core::PageRequest request;
    request.baseAddress = std::move(baseAddress);
    request.head = QStringLiteral("img");
    request.tail = QStringLiteral(".jpg");
    request.digitCountText = QStringLiteral("5");
    request.startText = QStringLiteral("0");
    request.endText = QStringLiteral("32766");
    request.sizeText = QStringLiteral("80");
    request.columnsText = QStringLiteral("5");
    return request;
}
}
