#pragma once

#include <QRectF>

class QWidget;

// Positions are kept in twips (15 to a pixel) so that layout arithmetic stays exact;
// the widget's pixel geometry follows them.
namespace quorel::ui::Twips
{
constexpr double perPixel = 15.0;

void setGeometry(QWidget *widget, const QRectF &twips);
QRectF geometry(const QWidget *widget);

void setLeft(QWidget *widget, double left);
void setTop(QWidget *widget, double top);
void setWidth(QWidget *widget, double width);
void setHeight(QWidget *widget, double height);
}
