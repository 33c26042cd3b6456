#include "ui/WindowIcon.h"

#include <QPainter>
#include <QPixmap>

namespace quorel::ui::WindowIcon
{
namespace
{
    const QList<QRgb> &palette16()
    {
        static const QList<QRgb> colours{
            qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
        };
        return colours;
    }

    // One thumbnail: sky, sun and a green hill inside a dark frame; u is the picture's unit in pixels.
    void drawThumbnail(QPainter &p, int x, int y, int u)
    {
        const int w = 6 * u, h = 5 * u;
        p.fillRect(x, y, w, h, QColor(palette16()[0]));
        p.fillRect(x + 1, y + 1, w - 2, h - 2, QColor(palette16()[14]));
        p.fillRect(x + w - 1 - 2 * u, y + 1 + u / 2, u, u, QColor(palette16()[11]));
        p.fillRect(x + 1, y + h - 1 - 2 * u, w - 2, 2 * u, QColor(palette16()[2]));
        p.fillRect(x + 1 + u, y + h - 1 - 3 * u, 2 * u, u, QColor(palette16()[10]));
    }
}

QImage image(int size)
{
    QImage canvas(size, size, QImage::Format_RGB32);
    canvas.fill(QColor(palette16()[13]));
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing, false);
        const int u = size / 16; // 1 at 16 x 16, 2 at 32 x 32
        p.fillRect(0, 0, size, size, QColor(palette16()[4]));
        p.fillRect(u, u, size - 2 * u, size - 2 * u, QColor(palette16()[15]));
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 2; ++column)
                drawThumbnail(p, u + u + column * 7 * u, 2 * u + row * 6 * u, u);
        }
        p.fillRect(2 * u, size - 3 * u, size - 4 * u, u, QColor(palette16()[8]));
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
