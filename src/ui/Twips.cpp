#include "ui/Twips.h"

#include <QVariant>
#include <QWidget>

#include <cmath>

namespace quorel::ui::Twips
{
namespace
{
    constexpr char propertyName[] = "quorelTwips";

    int toPixels(double twips)
    {
        return static_cast<int>(std::lround(twips / perPixel));
    }
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

namespace
{
    template<typename Change> void changeGeometry(QWidget *widget, Change change)
    {
        QRectF twips = geometry(widget);
        change(twips);
        setGeometry(widget, twips);
    }
}

void setLeft(QWidget *widget, double left)
{
    changeGeometry(widget, [left](QRectF &twips) { twips.moveLeft(left); });
}

void setTop(QWidget *widget, double top)
{
    changeGeometry(widget, [top](QRectF &twips) { twips.moveTop(top); });
}

void setWidth(QWidget *widget, double width)
{
    changeGeometry(widget, [width](QRectF &twips) { twips.setWidth(width); });
}

void setHeight(QWidget *widget, double height)
{
    changeGeometry(widget, [height](QRectF &twips) { twips.setHeight(height); });
}
}
