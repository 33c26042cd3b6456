#pragma once

#include <QString>

// The pages made from base address pics, head img, tail .jpg, two digits and the numbers 1 to 3
// (thumbnails: size 80, two columns).
namespace quorel::tests::WorkedPages
{
inline const QString plain = QStringLiteral(
    "<html>\r\n<title>Tessaly</title>\r\n"
    "\r\n<A NAME=\"01\">\r\nFileNo=01     \r\n<A HREF=\"#02\">Next</a>\r\n"
    "<BR><a href=\"pics/img01.jpg\"><img src=\"pics/img01.jpg\"alt=\"img01.jpg \"><br></a>\r\n"
    "\r\n<A NAME=\"02\">\r\nFileNo=02     \r\n<A HREF=\"#01\">Prev</a>     \r\n<A HREF=\"#03\">Next</a>\r\n"
    "<BR><a href=\"pics/img02.jpg\"><img src=\"pics/img02.jpg\"alt=\"img02.jpg \"><br></a>\r\n"
    "\r\n<A NAME=\"03\">\r\nFileNo=03     \r\n<A HREF=\"#02\">Prev</a>     \r\n"
    "<BR><a href=\"pics/img03.jpg\"><img src=\"pics/img03.jpg\"alt=\"img03.jpg \"><br></a>\r\n");

inline const QString thumbnails
    = QStringLiteral("<html>\r\n<title>Tessaly</title>\r\n"
                     "<table border=0><TD>FileNo=01     \r\n"
                     "<a href=\"pics/img01.jpg\"><img src=\"pics/img01.jpg\"alt=\"img01.jpg \" width=\"80\" "
                     "height=\"80\" border=\"0\"><br></a>\r\n"
                     "</TD><TR><TD>FileNo=02     \r\n"
                     "<a href=\"pics/img02.jpg\"><img src=\"pics/img02.jpg\"alt=\"img02.jpg \" width=\"80\" "
                     "height=\"80\" border=\"0\"><br></a>\r\n"
                     "</TD><TD>FileNo=03     \r\n"
                     "<a href=\"pics/img03.jpg\"><img src=\"pics/img03.jpg\"alt=\"img03.jpg \" width=\"80\" "
                     "height=\"80\" border=\"0\"><br></a>\r\n"
                     "</TD></TABLE>\r\n</HTML>");

inline const QString addressList = QStringLiteral("pics/img01.jpg\r\npics/img02.jpg\r\npics/img03.jpg\r\n");
}
