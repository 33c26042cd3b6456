// Writes the window's icon as the icon theme's PNG files, so the installed icon is drawn by the
// same code as the one in the title bar.
#include "ui/WindowIcon.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <hicolor folder>\n", argv[0]);
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]);
    for (const int size : {16, 32}) {
        const QString folder = u"%1/%2x%2/apps"_s.arg(root).arg(size);
        const QString path = folder + u"/quorel.png"_s;
        if (!QDir().mkpath(folder) || !quorel::ui::WindowIcon::image(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
