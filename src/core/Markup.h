#pragma once

#include <QString>
#include <QStringView>

// The pieces of the generated page, character for character; nothing inserted is escaped.
namespace quorel::core::Markup
{
enum class PageKind
{
    Plain,
    Thumbnail,
};

void appendPageHeader(QString &page, PageKind kind);

// Tells browsers the page's character set, which those set for another language would not guess.
// Only a page with a character outside ASCII needs it; one of ASCII alone stays as it always was.
void declareCharset(QString &page);
constexpr QLatin1StringView
    charsetDeclaration("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n");

// The text that closes every img tag (it starts by closing the alt value).
QString imageAttributes(PageKind kind, QStringView size);

// An image block of the plain page; prev and next are null views when the block has no such link.
void appendPlainBlock(QString &page, QStringView number, QStringView prev, QStringView next, QStringView address,
                      QStringView fileName, QStringView attributes);

void appendThumbnailCell(QString &page, bool opensRow, QStringView number, QStringView address, QStringView fileName,
                         QStringView attributes);

void appendPageClose(QString &page, PageKind kind);

void appendAddressLine(QString &list, QStringView address);

// Characters a plain block or thumbnail cell adds beyond its inserted values, as an upper bound.
constexpr qsizetype fixedCharactersPerImage = 160;
}
