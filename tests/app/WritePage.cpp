// Writes a page as Create and Save make it, for checks that open it where users do.
// Usage: quorel_write_page <file> <base address> <head> <tail> <first> <last> <digits> plain|thumbnails
#include "core/PageGenerator.h"
#include "platform/Cp932.h"
#include "platform/FileIO.h"
#include "ui/Messages.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() != 8) {
        std::fprintf(stderr, "usage: %s <file> <base> <head> <tail> <first> <last> <digits> plain|thumbnails\n",
                     argv[0]);
        return 2;
    }
    quorel::core::PageRequest request;
    request.baseAddress = quorel::core::baseAddress(arguments.at(1));
    request.head = arguments.at(2);
    request.tail = arguments.at(3);
    request.startText = arguments.at(4);
    request.endText = arguments.at(5);
    request.digitCountText = arguments.at(6);
    request.thumbnails = arguments.at(7) == QLatin1StringView("thumbnails");
    request.sizeText = QStringLiteral("80");
    request.columnsText = QStringLiteral("5");
    request.codePageHolds = &quorel::platform::Cp932::holds;
    const auto page = quorel::core::generatePage(request);
    const quorel::core::Result<> written = page
        ? quorel::platform::FileIO::writeText(arguments.at(0), page->text + QStringLiteral("\r\n"))
        : quorel::core::Result<>(page.error());
    if (!written) {
        std::fprintf(stderr, "%s\n", qPrintable(quorel::ui::Messages::describe(written.error())));
        return 1;
    }
    return 0;
}
