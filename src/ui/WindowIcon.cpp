#include "ui/WindowIcon.h"

#include <QPainter>
#include <QPixmap>

namespace quorel::ui::WindowIcon
{
namespace
{
    // The icon is drawn in the sixteen colours of the classic desktop palette, named here.
    namespace Colour
    {
        constexpr QRgb black = qRgb(0, 0, 0);
        constexpr QRgb green = qRgb(0, 128, 0);
        constexpr QRgb navy = qRgb(0, 0, 128);
        constexpr QRgb grey = qRgb(128, 128, 128);
        constexpr QRgb lime = qRgb(0, 255, 0);
        constexpr QRgb yellow = qRgb(255, 255, 0);
        constexpr QRgb magenta = qRgb(255, 0, 255);
        constexpr QRgb cyan = qRgb(0, 255, 255);
        constexpr QRgb white = qRgb(255, 255, 255);
    }

    const QList<QRgb> &palette16()
    {
        static const QList<QRgb> colours{
            Colour::black,     qRgb(128, 0, 0),     Colour::green, qRgb(128, 128, 0), Colour::navy, qRgb(128, 0, 128),
            qRgb(0, 128, 128), qRgb(192, 192, 192), Colour::grey,  qRgb(255, 0, 0),   Colour::lime, Colour::yellow,
            qRgb(0, 0, 255),   Colour::magenta,     Colour::cyan,  Colour::white,
        };
        return colours;
    }

    // One thumbnail: sky, sun and a green hill inside a dark frame; u is the picture's unit in pixels.
    void drawThumbnail(QPainter &p, int x, int y, int u)
    {
        const int w = 6 * u, h = 5 * u;
        p.fillRect(x, y, w, h, QColor(Colour::black));
        p.fillRect(x + 1, y + 1, w - 2, h - 2, QColor(Colour::cyan));
        p.fillRect(x + w - 1 - 2 * u, y + 1 + u / 2, u, u, QColor(Colour::yellow));
        p.fillRect(x + 1, y + h - 1 - 2 * u, w - 2, 2 * u, QColor(Colour::green));
        p.fillRect(x + 1 + u, y + h - 1 - 3 * u, 2 * u, u, QColor(Colour::lime));
    }
}

QImage image(int size)
{
    QImage canvas(size, size, QImage::Format_RGB32);
    canvas.fill(QColor(Colour::magenta));
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing, false);
        const int u = size / 16; // 1 at 16 x 16, 2 at 32 x 32
        p.fillRect(0, 0, size, size, QColor(Colour::navy));
        p.fillRect(u, u, size - 2 * u, size - 2 * u, QColor(Colour::white));
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 2; ++column)
                drawThumbnail(p, u + u + column * 7 * u, 2 * u + row * 6 * u, u);
        }
        p.fillRect(2 * u, size - 3 * u, size - 4 * u, u, QColor(Colour::grey));
    }
    QImage indexed = canvas.convertToFormat(QImage::Format_Indexed8, palette16(), Qt::ThresholdDither);
    return indexed;
}

QIcon icon()
{
    QIcon result;
    result.addPixmap(QPixmap::fromImage(image(16)));
    result.addPixmap(QPixmap::fromImage(image(32)));
    return result;
}
}
