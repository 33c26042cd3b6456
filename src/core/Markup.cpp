#include "core/Markup.h"

namespace quorel::core::Markup
{
namespace
{
    constexpr QLatin1StringView crlf("\r\n");

    void appendImageLine(QString &page, QStringView address, QStringView fileName, QStringView attributes)
    {
        page += QLatin1StringView("<a href=\"");
        page += address;
        page += QLatin1StringView("\"><img src=\"");
        page += address;
        page += QLatin1StringView("\"alt=\"");
        page += fileName;
        page += u' ';
        page += attributes;
        page += QLatin1StringView("<br></a>\r\n");
    }

    void appendLabelLine(QString &page, QStringView number)
    {
        page += QLatin1StringView("FileNo=");
        page += number;
        page += QLatin1StringView("     \r\n");
    }
}

void appendPageHeader(QString &page, PageKind kind)
{
    page += QLatin1StringView("<html>\r\n<title>Tessaly</title>\r\n");
    if (kind == PageKind::Thumbnail)
        page += QLatin1StringView("<table border=0>");
}

void declareCharset(QString &page)
{
    // Right after the page's first line, "<html>".
    const qsizetype firstLineEnd = page.indexOf(crlf) + crlf.size();
    page.insert(firstLineEnd, charsetDeclaration);
}

QString imageAttributes(PageKind kind, QStringView size)
{
    if (kind == PageKind::Plain)
        return QStringLiteral("\">");
    QString attributes = QStringLiteral("\" width=\"");
    attributes += size;
    attributes += QLatin1StringView("\" height=\"");
    attributes += size;
    attributes += QLatin1StringView("\" border=\"0\">");
    return attributes;
}

void appendPlainBlock(QString &page, QStringView number, QStringView prev, QStringView next, QStringView address,
                      QStringView fileName, QStringView attributes)
{
    page += crlf;
    page += QLatin1StringView("<A NAME=\"");
    page += number;
    page += QLatin1StringView("\">\r\n");
    appendLabelLine(page, number);
    if (!prev.isNull()) {
        page += QLatin1StringView("<A HREF=\"#");
        page += prev;
        page += QLatin1StringView("\">Prev</a>     \r\n");
    }
    if (!next.isNull()) {
        page += QLatin1StringView("<A HREF=\"#");
        page += next;
        page += QLatin1StringView("\">Next</a>\r\n");
    }
    page += QLatin1StringView("<BR>");
    appendImageLine(page, address, fileName, attributes);
}

void appendThumbnailCell(QString &page, bool opensRow, QStringView number, QStringView address, QStringView fileName,
                         QStringView attributes)
{
    page += opensRow ? QLatin1StringView("<TR><TD>") : QLatin1StringView("<TD>");
    appendLabelLine(page, number);
    appendImageLine(page, address, fileName, attributes);
    page += QLatin1StringView("</TD>");
}

void appendPageClose(QString &page, PageKind kind)
{
    if (kind == PageKind::Thumbnail)
        page += QLatin1StringView("</TABLE>\r\n</HTML>");
}

void appendAddressLine(QString &list, QStringView address)
{
    list += address;
    list += crlf;
}
}
