#pragma once

#include <QIcon>
#include <QImage>

// The window's picture: a page of thumbnails, in the 16 colours of the classic VGA palette.
namespace quorel::ui::WindowIcon
{
// size is a multiple of 16: the picture is drawn on a grid of 16 by 16 units.
QImage image(int size);
QIcon icon();
}
