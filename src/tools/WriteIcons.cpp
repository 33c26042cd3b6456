// Writes the window's icon as the icon theme's PNG files, so the installed icon is drawn by the
// same code as the one in the title bar. The build names the sizes, as it names the files it
// expects.
#include "ui/WindowIcon.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <hicolor folder> <size>...\n", argv[0]);
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]);
    for (int i = 2; i < argc; ++i) {
        bool isNumber = false;
        const int size = QByteArray(argv[i]).toInt(&isNumber);
        // The picture is drawn on a grid of 16 units; other sizes would leave a ragged edge.
        if (!isNumber || size <= 0 || size % 16 != 0) {
            std::fprintf(stderr, "not a multiple of 16: %s\n", argv[i]);
            return 2;
        }
        const QString folder = u"%1/%2x%2/apps"_s.arg(root).arg(size);
        const QString path = folder + u"/quorel.png"_s;
        if (!QDir().mkpath(folder) || !quorel::ui::WindowIcon::image(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
