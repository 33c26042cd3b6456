#pragma once

#include "core/CharacterEscapes.h"
#include "core/PageImages.h"
#include "core/Result.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace quorel::core
{
// The pattern fields and page options of one press of Create, as their texts stand.
struct PageRequest
{
    QString baseAddress; // already trimmed and given its trailing "/"
    QString head;
    QString tail;
    QString digitCountText;
    QString startText;
    QString endText;
    bool thumbnails = false;
    QString sizeText;
    QString columnsText;
    bool addressOnly = false;
    bool useCheckFolder = false;
    // Names of the check folder's files matching the tail; asked only once the start and end are valid.
    std::function<QStringList()> listCheckFolder;
    // The characters of the code page the text is saved in. The page writes the others as character
    // references and the address list percent-encoded, so that they survive the saving; the
    // download lists keep them as typed. Every character is held when not given.
    CharacterEscapes::Holds codePageHolds = nullptr;
    // Makes room for the page text before it is written, once (QString::reserve when not given).
    std::function<void(QString &text, qsizetype units)> reserveText;
};

struct PageResult
{
    QString text;
    PageImages images;
    qint64 leftOut = 0; // numbers the check folder left out
};

namespace PageLimits
{
    constexpr qsizetype maxImages = 32767;
    // UTF-16 units, 256 MiB of text.
    constexpr qsizetype maxPageUnits = 128 * 1024 * 1024;
    // Longer texts are shown cut, followed by a marker line.
    constexpr qsizetype displayUnits = 30720;
}

QString pageHeader(bool thumbnails);

// The base address without leading and trailing spaces, ending in "/" unless it is empty.
QString baseAddress(QStringView text);

// The page (or the address list) for the request, or the message that refuses it. The text is
// written into storage's memory when that is large enough, so that a caller handing back the last
// page's text allocates nothing.
core::Result<PageResult> generatePage(const PageRequest &request, QString storage = {});

// What the output box shows of a page text.
QString displayText(const QString &text);

// n with at least `digits` digits, zero-filled after the sign.
QString numberText(qint64 n, qint64 digits);
}
