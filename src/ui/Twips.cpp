#include "ui/Twips.h"

#include <QVariant>
#include <QWidget>

#include <cmath>

namespace quorel::ui::Twips
{
namespace
{
    constexpr char propertyName[] = "quorelTwips";

    int toPixels(double twips) { return static_cast<int>(std::lround(twips / perPixel)); }
}

void setGeometry(QWidget *widget, const QRectF &twips)
{
    widget->setProperty(propertyName, twips);
    widget->setGeometry(toPixels(twips.left()), toPixels(twips.top()), std::max(0, toPixels(twips.width())),
                        std::max(0, toPixels(twips.height())));
}

QRectF geometry(const QWidget *widget)
{
    const QVariant stored = widget->property(propertyName);
    if (stored.isValid())
        return stored.toRectF();
    const QRect pixels = widget->geometry();
    return {pixels.x() * perPixel, pixels.y() * perPixel, pixels.width() * perPixel, pixels.height() * perPixel};
}

void setLeft(QWidget *widget, double left)
{
    QRectF r = geometry(widget);
    r.moveLeft(left);
    setGeometry(widget, r);
}

void setTop(QWidget *widget, double top)
{
    QRectF r = geometry(widget);
    r.moveTop(top);
    setGeometry(widget, r);
}

void setWidth(QWidget *widget, double width)
{
    QRectF r = geometry(widget);
    r.setWidth(width);
    setGeometry(widget, r);
}

void setHeight(QWidget *widget, double height)
{
    QRectF r = geometry(widget);
    r.setHeight(height);
    setGeometry(widget, r);
}
}
